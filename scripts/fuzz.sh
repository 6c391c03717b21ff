#!/usr/bin/env bash
# Builds every libFuzzer target (CMake targets named fuzz_*) with clang in build/fuzz and runs
# each for a bounded time on a fresh corpus. Exits non-zero when a target finds a crash.
#   scripts/fuzz.sh [seconds per target, default 20]
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build/fuzz"
SECONDS_PER_TARGET="${1:-20}"

# Libraries get coverage instrumentation too (fuzzer-no-link), so the fuzzer is guided by the
# code under test; every target runs under AddressSanitizer and UndefinedBehaviorSanitizer.
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link \
  -DVEXA_BUILD_FUZZ=ON -DVEXA_BUILD_TESTS=ON -DVEXA_SANITIZE=ON -DVEXA_WERROR=OFF >/dev/null

mapfile -t TARGETS < <(cmake --build "$BUILD" --target help | sed -n 's/^\(fuzz_[A-Za-z0-9_]*\):.*/\1/p' | sort -u)
if [ ${#TARGETS[@]} -eq 0 ]; then
  echo "fuzz: no fuzz_* targets" >&2
  exit 1
fi
cmake --build "$BUILD" --target "${TARGETS[@]}" -j2

status=0
for t in "${TARGETS[@]}"; do
  exe="$(find "$BUILD" -type f -name "$t" -perm -u+x | head -n1)"
  if [ -z "$exe" ]; then
    echo "fuzz: $t was not built" >&2
    status=1
    continue
  fi
  corpus="$BUILD/corpus/$t"
  artifacts="$BUILD/artifacts/$t/"
  rm -rf "$corpus"
  mkdir -p "$corpus" "$artifacts"
  echo "fuzz: $t for ${SECONDS_PER_TARGET}s"
  if ! "$exe" -max_total_time="$SECONDS_PER_TARGET" -artifact_prefix="$artifacts" -print_final_stats=1 \
      "$corpus" >"$BUILD/$t.log" 2>&1; then
    echo "fuzz: $t FAILED, see $BUILD/$t.log and $artifacts" >&2
    tail -n 30 "$BUILD/$t.log" >&2
    status=1
  else
    grep -aE '^stat::number_of_executed_units' "$BUILD/$t.log" || true
  fi
done
exit $status
