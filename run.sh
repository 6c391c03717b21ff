#!/usr/bin/env bash
# Installs what is missing, builds the optimised programs and runs the main job.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_BENCH=ON >/dev/null
cmake --build build/release -j "${JOBS:-$(nproc)}"

# The main job: what the headless renderer makes of the start-up project.
build/release/src/app/vexa-render --info
