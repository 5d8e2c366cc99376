#!/usr/bin/env bash
# Installs every Debian package Zandor Puzzle needs to build, test and run.
# Does nothing when all of them are already present.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config git
  qt6-base-dev qt6-base-dev-tools libqt6svg6
  libsdl2-dev libsdl2-mixer-dev libfluidsynth-dev timgm6mb-soundfont
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fonts-comic-neue fonts-dejavu-core
  xvfb xauth xdotool imagemagick
  clang clang-format libclang-rt-14-dev
  desktop-file-utils appstream dpkg-dev file
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
