#!/usr/bin/env bash
# Installs what is missing and builds the program, its tests and benchmarks.
# Usage: tools/build.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/install-deps.sh"
build="${1:-$root/build}"
shift || true
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
