#!/usr/bin/env bash
# Builds the BMP reader's fuzzer with clang in its own folder and runs it for
# a while (default 60 seconds). Fails on a crash, a leak, an undefined
# operation or an allocation above 256 MiB.
# Usage: tests/imaging/fuzz/run.sh [seconds] [build-dir]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)"
seconds="${1:-60}"
build="${2:-$root/build-fuzz}"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANDOR_FUZZ=ON -DZANDOR_BUILD_BENCH=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target bmp_read_fuzz bmp_fuzz_seeds
corpus="$build/bmp-corpus"
mkdir -p "$corpus"
"$build/tests/imaging/fuzz/bmp_fuzz_seeds" "$corpus"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$build/tests/imaging/fuzz/bmp_read_fuzz" "$corpus" -max_total_time="$seconds" -rss_limit_mb=2048 \
  -malloc_limit_mb=256 -max_len=65536 -print_final_stats=1 -artifact_prefix="$build/"
