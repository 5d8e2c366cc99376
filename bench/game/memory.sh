#!/usr/bin/env bash
# Peak memory (maximum resident set) of a whole game with music, under Xvfb:
# start with no profile (music on), Start, Scramble, let the song play for a
# few seconds, close the window. Repeats and prints the median in MB.
# Usage: bench/game/memory.sh [build-dir] [runs] [seconds of music]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
runs="${2:-3}"
seconds="${3:-8}"
source "$root/bench/game/xvfb.sh"

cd "$build/run"
peaks=()
for i in $(seq "$runs"); do
  rm -rf "$work/config"
  mkdir -p "$work/config"
  XDG_CONFIG_HOME="$work/config" /usr/bin/time -v -o "$work/time.txt" ./zandor-puzzle 2>/dev/null &
  wrapper=$!
  setup=$(xdotool search --sync --onlyvisible --name "^Player Setup$" | head -1)
  sleep 0.3
  # Keys go through the server to the focused window (keys sent to a
  # window directly can stick and repeat).
  xdotool windowfocus --sync "$setup"
  xdotool key Return
  game=$(xdotool search --sync --onlyvisible --name "^Zandor Puzzle by" | head -1)
  sleep 0.3
  # Enter presses Scramble.
  xdotool windowfocus --sync "$game"
  xdotool key Return
  sleep "$seconds"
  xdotool key Escape 2>/dev/null || true
  wait "$wrapper"
  status=$(awk -F': ' '/Exit status/ {print $2}' "$work/time.txt")
  kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
  peaks+=("$kb")
  echo "run $i: max RSS $((kb / 1024)) MB, exit status $status"
done
median=$(printf '%s\n' "${peaks[@]}" | sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}')
echo "median peak memory of a game with music: $((median / 1024)) MB (${runs} runs)"
