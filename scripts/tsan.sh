#!/usr/bin/env bash
# Builds the tests of the threaded parts (the sound output and the preview runner) under
# ThreadSanitizer in build/tsan and runs them. Exits non-zero on a failure or a race report.
set -euo pipefail
cd "$(dirname "$0")/.."

JOBS=${JOBS:-$(nproc)}
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXA_TSAN=ON -DVEXA_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1" "${launcher[@]}" >/dev/null
cmake --build build/tsan -j "$JOBS" --target audio_out_tests preview_tests
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
build/tsan/tests/audio_out/audio_out_tests --gtest_brief=1
build/tsan/tests/preview/preview_tests --gtest_brief=1
