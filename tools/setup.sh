#!/usr/bin/env bash
# Installs, only when missing, every Debian package the build, the game and the tests need.
# Runs as root or through sudo; quiet when nothing is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  libsdl2-dev libx11-dev libgl-dev libgl1-mesa-dri libegl-dev libegl1-mesa libosmesa6
  libfreetype-dev zlib1g-dev libvorbis-dev libogg-dev libtinyxml-dev libstb-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libswresample-dev
  fonts-dejavu-core fonts-nanum
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  redis-server libhiredis-dev
  libsdl2-tests
  zenity
  # The source layout check of `make test`.
  clang-format
  # Tools of the developers' runs: a cached build, a virtual display with real input, screenshots.
  ccache xvfb xdotool x11-utils imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
