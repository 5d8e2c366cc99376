#!/usr/bin/env bash
# Builds the Debian package from a build folder (default: build), unpacks it
# into a scratch folder and checks that every file a desktop install needs is in it.
# Usage: tools/package.sh [build-dir]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
bash "$root/tools/build.sh" "$build"
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/zandor-puzzle_*.deb | head -n 1)
echo "package: $deb"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
dpkg -x "$deb" "$scratch"
dpkg-deb -f "$deb" Depends

expected=(
  usr/bin/zandor-puzzle
  usr/share/applications/zandor-puzzle.desktop
  usr/share/metainfo/org.example.zandorpuzzle.metainfo.xml
  usr/share/zandor-puzzle/bitmaps/pic1.bmp usr/share/zandor-puzzle/bitmaps/pic2.bmp
  usr/share/zandor-puzzle/bitmaps/pic3.bmp usr/share/zandor-puzzle/bitmaps/pic4.bmp
  usr/share/zandor-puzzle/sounds/start.wav usr/share/zandor-puzzle/sounds/win.wav
  usr/share/zandor-puzzle/sounds/click.wav usr/share/zandor-puzzle/sounds/miss.wav
  usr/share/zandor-puzzle/sounds/ok.wav usr/share/zandor-puzzle/sounds/blip.wav
  usr/share/zandor-puzzle/midi/openplains.mid usr/share/zandor-puzzle/midi/zandor.mid
  usr/share/zandor-puzzle/midi/SunnyDays.mid usr/share/zandor-puzzle/midi/EveningGlow.mid
  usr/share/zandor-puzzle/midi/risingcrown.mid
)
for size in 16 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/zandor-puzzle.png")
done
expected+=(usr/share/zandor-puzzle/screenshots/game-window.png)

missing=0
for f in "${expected[@]}"; do
  if [ ! -s "$scratch/$f" ]; then
    echo "missing from the package: /$f"
    missing=1
  fi
done
[ -x "$scratch/usr/bin/zandor-puzzle" ] || { echo "not executable: /usr/bin/zandor-puzzle"; missing=1; }
grep -qx 'Path=/usr/share/zandor-puzzle' "$scratch/usr/share/applications/zandor-puzzle.desktop" ||
  { echo "the desktop entry does not start the game in its data folder"; missing=1; }
grep -qx 'Exec=/usr/bin/zandor-puzzle' "$scratch/usr/share/applications/zandor-puzzle.desktop" ||
  { echo "the desktop entry does not run /usr/bin/zandor-puzzle"; missing=1; }
for dep in timgm6mb-soundfont fonts-liberation2 fonts-comic-neue libsdl2-mixer libqt6widgets6; do
  dpkg-deb -f "$deb" Depends | grep -q "$dep" || { echo "the package does not depend on $dep"; missing=1; }
done
if [ "$missing" -ne 0 ]; then
  echo "package check: FAILED"
  exit 1
fi
echo "package check: ${#expected[@]} files present"
