#!/usr/bin/env bash
# Builds and runs every test: once in the normal build, once under AddressSanitizer + UBSan, then a bounded
# libFuzzer run of the JPEG 2000 decoder in its own clang build (only the fuzz target is built there).
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
fuzz="$root/build-fuzz"
cmake -S "$root" -B "$fuzz" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCORVAN_FUZZ=ON \
      -DCORVAN_BENCH=OFF >/dev/null
cmake --build "$fuzz" --target fuzz_jp2
ctest --test-dir "$fuzz" -R '^fuzz_jp2_bounded$' --output-on-failure
