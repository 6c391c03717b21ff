#!/usr/bin/env bash
# Installs what is missing, builds the optimised programs and runs the main job.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh run build
# The programs only: the tests and benchmarks, with what they need, come with ./test.sh.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_BENCH=OFF >/dev/null
cmake --build build/release -j "${JOBS:-$(nproc)}"

# The main job: generate the demo project into examples/demo with our own code, show what the
# headless renderer reads from it, and render its pictures to out/demo.avi (the renderer prints
# the codec, size, frames and duration of what it wrote) and its sound to out/demo.wav.
rm -rf examples/demo
build/release/src/app/vexa-make-example examples/demo >/dev/null
build/release/src/app/vexa-render --info examples/demo/demo.vxpj
mkdir -p out
build/release/src/app/vexa-render examples/demo/demo.vxpj -o out/demo.avi --wav out/demo.wav
