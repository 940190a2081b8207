#!/usr/bin/env bash
# Builds and runs every test: once in the normal build, once under AddressSanitizer + UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
jobs=$(nproc)
export TZ=UTC
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
run() { # build dir, extra cmake options...
  local dir=$1; shift
  cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}
run "$root/build"
run "$root/build-asan" -DCORVAN_SANITIZE=ON -DCORVAN_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
