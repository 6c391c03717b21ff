#!/usr/bin/env bash
# Installs what is missing, builds the optimised programs and runs the main job.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh run build
# The programs only: the tests and benchmarks, with what they need, come with ./test.sh.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=OFF -DVEXA_BUILD_BENCH=OFF >/dev/null
cmake --build build/release -j "${JOBS:-$(nproc)}"

# The demo project, generated into examples/demo with our own code.
rm -rf examples/demo
build/release/src/app/vexa-make-example examples/demo >/dev/null

# With a display, the main job is the editor with the demo open.
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec build/release/src/app/vexa-studio examples/demo/demo.vxpj
fi

# Without one: show what the headless renderer reads from the demo, and render its pictures to
# out/demo.avi (the renderer prints the codec, size, frames and duration of what it wrote) and
# its sound to out/demo.wav.
build/release/src/app/vexa-render --info examples/demo/demo.vxpj
mkdir -p out
build/release/src/app/vexa-render examples/demo/demo.vxpj -o out/demo.avi --wav out/demo.wav
echo
echo "No display (\$DISPLAY, \$WAYLAND_DISPLAY): the demo was rendered instead of opened in the editor."
echo "On a desktop, start the editor with:"
echo "  build/release/src/app/vexa-studio examples/demo/demo.vxpj"
