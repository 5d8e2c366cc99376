#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game in the run folder
# (the folder holding bitmaps, sounds and midi).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/tools/build.sh" "$root/build"
cd "$root/build/run"
exec ./zandor-puzzle
