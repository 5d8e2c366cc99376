#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
# Usage: tools/test.sh [build-dir] [extra cmake arguments...]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
shift || true
bash "$root/tools/build.sh" "$build" "$@"
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
