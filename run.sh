#!/usr/bin/env bash
# Installs what is missing, builds the optimised programs and runs the main job.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_BENCH=ON >/dev/null
cmake --build build/release -j "${JOBS:-$(nproc)}"

# The main job: write the example project, then show what the headless renderer reads from it.
rm -rf out/example
build/release/src/app/vexa-make-example out/example >/dev/null
build/release/src/app/vexa-render --info out/example/demo.vxpj
