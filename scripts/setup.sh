#!/usr/bin/env bash
# Installs the Debian packages the project needs. Safe to run again: installs only what is missing.
# setup.sh run: only what building and starting the program needs; setup.sh: that and the tests.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-qpa-plugins libgl-dev libegl-dev libvulkan-dev libxkbcommon-dev
  libsdl2-dev
  fonts-liberation2 fontconfig libfontconfig-dev
)
if [ "${1:-}" != "run" ]; then
  packages+=(
    clang-format python3 qmake6
    clang-14 libclang-rt-14-dev
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    xvfb xdotool x11-utils imagemagick pulseaudio pulseaudio-utils python3-numpy python3-pytest
    desktop-file-utils appstream file
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get update -q
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
