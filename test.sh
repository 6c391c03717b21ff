#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test twice: an optimised build and a build
# under AddressSanitizer and UndefinedBehaviorSanitizer. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh run build test

# One compile more than there are cores keeps them busy while another job links or waits on the
# disk; the tests run one per core.
BUILD_JOBS=${JOBS:-$(( $(nproc) + 1 ))}
JOBS=${JOBS:-$(nproc)}

configure() { # configure DIR ARGS...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
}

stage() { echo "== $1 (${SECONDS}s so far)"; }

stage "optimised build"
configure build/release -DCMAKE_BUILD_TYPE=Release -DVEXA_BUILD_TESTS=ON -DVEXA_BUILD_BENCH=ON -DVEXA_WERROR=ON  # benchmarks must keep building
cmake --build build/release -j "$BUILD_JOBS"
(cd build/release && ctest --output-on-failure -j "$JOBS")

stage "sanitizer build (address, undefined)"
configure build/asan -DCMAKE_BUILD_TYPE=Debug -DVEXA_SANITIZE=ON -DVEXA_BUILD_TESTS=ON -DVEXA_BUILD_BENCH=OFF -DVEXA_WERROR=ON -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g1"  # line tables are enough for the reports
cmake --build build/asan -j "$BUILD_JOBS"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
(cd build/asan && ctest --output-on-failure -j "$JOBS")

stage "thread sanitizer (the threaded parts)"
scripts/tsan.sh

if [ -x scripts/fuzz.sh ]; then
  stage "fuzzing (bounded)"
  scripts/fuzz.sh "${FUZZ_SECONDS:-10}"
fi
stage "done"
