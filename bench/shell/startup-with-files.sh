#!/usr/bin/env bash
# Time and peak memory (maximum resident set) of a start of the game up to its
# window, under Xvfb, with a profile and data files of your choosing: a huge or
# odd profile, or a run folder whose sounds and songs are huge. Start is pressed
# in Player Setup; a message box that follows (settings not saved) is answered.
# Usage: bench/shell/startup-with-files.sh [build-dir] [profile-file|none] [run-folder]
#   run-folder defaults to <build-dir>/run; it must hold the game's data and
#   an executable zandor-puzzle (a link to the built one will do).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$root/build}"
profile="${2:-none}"
run="${3:-$build/run}"
source "$root/bench/game/xvfb.sh"

mkdir -p "$work/config"
[ "$profile" != none ] && cp "$profile" "$work/config/zandor-puzzle.INI"
cd "$run"
now() { date +%s%N; }
start=$(now)
XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy /usr/bin/time -v -o "$work/time.txt" ./zandor-puzzle 2>/dev/null &
wrapper=$!
until setup=$(xdotool search --onlyvisible --name "^Player Setup$" 2>/dev/null | head -1) && [ -n "$setup" ]; do :; done
shown=$(now)
sleep 0.3
xdotool windowfocus --sync "$setup"
xdotool key Return
pressed=$(now)
told=0
until game=$(xdotool search --onlyvisible --name "^Zandor Puzzle by" 2>/dev/null | head -1) && [ -n "$game" ]; do
  box=$(xdotool search --onlyvisible --name "^(zandor-puzzle|Zandor Puzzle)$" 2>/dev/null | head -1 || true)
  if [ -n "$box" ] && [ "$told" = 0 ]; then
    told=1
    xdotool windowfocus --sync "$box"
    xdotool key Return
  fi
done
ready=$(now)
sleep 0.5
xdotool windowfocus --sync "$game"
xdotool key Escape
wait "$wrapper" || true
kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
echo "start to Player Setup: $(((shown - start) / 1000000)) ms"
echo "Start to the game window: $(((ready - pressed) / 1000000)) ms$([ "$told" = 1 ] && echo ' (a message box was answered)')"
echo "peak memory: $((kb / 1024)) MB"
