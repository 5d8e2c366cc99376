#!/usr/bin/env bash
# Builds the fuzzers with clang in their own folder and runs each for a while
# (default 60 seconds): bmp_read_fuzz (the DIB image's BMP reader) and
# picture_load_fuzz (the picture loader, file to 300 x 300 picture, as the
# game reads its pictures). Fails on a crash, a leak, an undefined operation
# or an allocation above 256 MiB.
# Usage: tests/imaging/fuzz/run.sh [seconds] [build-dir] [fuzzer...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
seconds="${1:-60}"
build="${2:-$root/build-fuzz}"
shift $(($# < 2 ? $# : 2))
fuzzers=("$@")
[ ${#fuzzers[@]} -gt 0 ] || fuzzers=(bmp_read_fuzz picture_load_fuzz)
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANDOR_FUZZ=ON -DZANDOR_BUILD_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${fuzzers[@]}" bmp_fuzz_seeds
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for fuzzer in "${fuzzers[@]}"; do
  corpus="$build/corpus-$fuzzer"
  mkdir -p "$corpus"
  "$build/tests/imaging/fuzz/bmp_fuzz_seeds" "$corpus"
  echo "== $fuzzer for $seconds seconds"
  "$build/tests/imaging/fuzz/$fuzzer" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
    -malloc_limit_mb=256 -max_len=65536 -timeout=10 -print_final_stats=1 -artifact_prefix="$build/$fuzzer-"
done
