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
# The solver's pattern databases (tools/tablegen/CMakeLists.txt lists the same).
for table in 5x2-0.1.2.3.4.5.6.7.8 6x2-0.6.1.7.2.8 6x2-3.9.4.10.5 4x3-0.4.8.1.5.9 4x3-2.6.10.3.7 \
  7x2-0.7.1.8.2.9 7x2-3.10.4.11.5.12 7x2-6 5x3-0.5.10.1.6.11 5x3-2.7.12.3.8.13 5x3-4.9 \
  8x2-0.8.1.9.2.10 8x2-3.11.4.12.5.13 8x2-6.14.7 4x4-0.1.4.5.8.9 4x4-2.3.6.7.10.11 4x4-12.13.14 \
  4x4-4.5.8.9.12.13 4x4-3.6.7.10.11.14 4x4-0.1.2; do
  expected+=("usr/share/zandor-puzzle/solver/pdb-$table.bin")
done

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
