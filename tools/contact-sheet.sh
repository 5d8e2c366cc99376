#!/usr/bin/env bash
# Before/after contact sheet of what the player sees: "Player Setup", the game
# window, the congratulation and the about box, each at 1x and at
# QT_SCALE_FACTOR=2, taken from the real program under Xvfb and driven with
# xdotool, laid out side by side into one PNG.
#
# Usage: tools/contact-sheet.sh [-o OUT.png] BEFORE AFTER
#   BEFORE, AFTER  a build folder (its run/ holds zandor-puzzle) or a git
#                  revision, which is built in a temporary worktree first
#   -o OUT.png     the sheet; default build/contact-sheet/before-after.png
# The single shots land beside the sheet (before-setup-1x.png, ...).
#
# Example: tools/contact-sheet.sh main build
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build/contact-sheet/before-after.png"
if [ "${1:-}" = "-o" ]; then
  out="$(realpath -m "$2")"
  shift 2
fi
if [ $# -ne 2 ]; then
  sed -n '2,13p' "${BASH_SOURCE[0]}" | sed 's/^# \{0,1\}//'
  exit 2
fi
shots="$(dirname "$out")"
mkdir -p "$shots"
# Under the build folder, so that a revision's build shares the compiler
# cache with the other checkouts.
mkdir -p "$root/build"
work="$(mktemp -d "$root/build/.contact-sheet.XXXXXX")"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for wt in "$work"/src-*; do
    [ -d "$wt" ] && git -C "$root" worktree remove --force "$wt" >/dev/null 2>&1 || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# The run folder of a build folder, or of a revision built here.
run_dir() {
  local what="$1" tag="$2"
  if [ -x "$what/run/zandor-puzzle" ]; then
    realpath "$what/run"
    return
  fi
  local rev
  rev="$(git -C "$root" rev-parse --verify --quiet "$what^{commit}")" || {
    echo "contact-sheet: $what is neither a build folder nor a revision" >&2
    exit 2
  }
  local src="$work/src-$tag"
  local bld="$src/build"
  git -C "$root" worktree add --detach "$src" "$rev" >/dev/null 2>&1
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache CCACHE_NOHASHDIR=1
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$(dirname "$root")}"
  cmake -S "$src" -B "$bld" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZANDOR_BUILD_TESTS=OFF \
    -DZANDOR_BUILD_BENCH=OFF >/dev/null
  cmake --build "$bld" -j"$(nproc)" --target zandor-puzzle >&2
  realpath "$bld/run"
}

# Waits for a top-level window whose name starts with the text; prints its id.
wait_window() {
  local name="$1" id=""
  for _ in $(seq 100); do
    id="$(xdotool search --onlyvisible --name "^$name" 2>/dev/null | head -n1 || true)"
    [ -n "$id" ] && { sleep 0.5; echo "$id"; return; }
    sleep 0.1
  done
  echo "contact-sheet: no window \"$name\"" >&2
  return 1
}

grab() { import -window "$1" "$2"; }

# Takes the four screens of one program at one scale into DIR/TAG-*.png.
shoot() {
  local run="$1" scale="$2" tag="$3"
  local cfg="$work/config-$tag-$scale"
  mkdir -p "$cfg"
  # A 2 x 2 board: two clicks beside the blank solve it again.
  printf '[Tessra]\nBild=3\nSound=0\nMidi=0\nFieldX=2\nFieldY=2\nDifficult=20\nSpeed=150\n' \
    >"$cfg/zandor-puzzle.INI"
  (cd "$run" && XDG_CONFIG_HOME="$cfg" SDL_AUDIODRIVER=dummy QT_SCALE_FACTOR="$scale" \
    exec ./zandor-puzzle >/dev/null 2>&1) &
  local app=$!
  pids+=("$app")
  local w
  w="$(wait_window "Player Setup")"
  grab "$w" "$shots/$tag-setup-${scale}x.png"
  xdotool windowfocus --sync "$w" key Return
  w="$(wait_window "Zandor Puzzle")"
  grab "$w" "$shots/$tag-game-${scale}x.png"
  # The right column of the board: the tile above the blank down, then up.
  xdotool mousemove --window "$w" $((235 * scale)) $((100 * scale)) click 1
  sleep 0.3
  xdotool mousemove --window "$w" $((235 * scale)) $((250 * scale)) click 1
  local c
  c="$(wait_window "Congratulation")"
  grab "$c" "$shots/$tag-congrats-${scale}x.png"
  xdotool windowfocus --sync "$c" key Escape
  sleep 0.5
  xdotool mousemove --window "$w" $((100 * scale)) $((100 * scale)) click 3
  sleep 0.5
  xdotool key a
  c="$(wait_window "About")"
  sleep 1
  grab "$c" "$shots/$tag-about-${scale}x.png"
  kill "$app" 2>/dev/null || true
  wait "$app" 2>/dev/null || true
}

before="$(run_dir "$1" before)"
after="$(run_dir "$2" after)"

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

for scale in 1 2; do
  shoot "$before" "$scale" before
  shoot "$after" "$scale" after
done

# One row per screen and scale: before on the left, after on the right.
rows=()
for scale in 1 2; do
  for screen in setup game congrats about; do
    row="$work/row-$screen-$scale.png"
    convert -background '#303030' -fill white -font DejaVu-Sans -pointsize 16 \
      \( "label:$screen\n${scale}x" -extent 120x \) \
      \( "$shots/before-$screen-${scale}x.png" -bordercolor '#303030' -border 8 \) \
      \( "$shots/after-$screen-${scale}x.png" -bordercolor '#303030' -border 8 \) \
      -gravity center +append "$row"
    rows+=("$row")
  done
done
convert -background '#303030' -fill white -font DejaVu-Sans -pointsize 20 \
  \( "label:before: $1    after: $2" -bordercolor "#303030" -border 8 \) "${rows[@]}" -gravity west -append +repage "$out"
echo "$out"
