#!/usr/bin/env bash
# Time from starting the program to "Player Setup" mapped on screen, under
# Xvfb, with no profile (the first start of a player). Prints every run and
# the median in milliseconds. The clock stops when xdotool first sees the
# window mapped; each look costs a few milliseconds.
# Usage: bench/game/startup.sh [build-dir] [runs]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
runs="${2:-15}"
source "$root/bench/game/xvfb.sh"

cd "$build/run"
times=()
for i in $(seq "$runs"); do
  rm -rf "$work/config"
  mkdir -p "$work/config"
  start=$(date +%s%N)
  XDG_CONFIG_HOME="$work/config" ./zandor-puzzle 2>/dev/null &
  game=$!
  # Poll (xdotool's own --sync waits half a second between looks).
  until xdotool search --onlyvisible --name "^Player Setup$" >/dev/null 2>&1; do :; done
  end=$(date +%s%N)
  kill "$game"
  wait "$game" 2>/dev/null || true
  ms=$(( (end - start) / 1000000 ))
  times+=("$ms")
  echo "run $i: $ms ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}')
echo "median start to Player Setup: $median ms (${runs} runs)"
