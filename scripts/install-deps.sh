#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need; installs
# nothing when they are all present. Works as root or through sudo.
set -euo pipefail

packages=(build-essential cmake pkg-config
  libglut-dev libglu1-mesa-dev libgl-dev libgl1-mesa-dri libosmesa6-dev libimgui-dev libsdl2-dev libsdl2-image-dev
  libgdal-dev libproj-dev gdal-bin libstb-dev
  libavcodec-dev libavformat-dev libswscale-dev libavutil-dev
  libgtest-dev libgmock-dev libbenchmark-dev clang
  xvfb xauth x11-utils xdotool imagemagick)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
