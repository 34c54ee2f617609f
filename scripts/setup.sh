#!/usr/bin/env bash
# setup.sh -- the set-up shared by run.sh and test.sh: installs the Debian packages that are
# missing, then configures and builds into build/ (which also bakes the data into build/game).
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev libsdl2-image-dev libzip-dev libpng-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core fonts-wqy-zenhei fonts-wqy-microhei
  fonts-arphic-uming
  libvorbis-dev libmp3lame-dev libssl-dev libjpeg-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev ffmpeg
  libgtest-dev libbenchmark-dev libmpfr-dev
  clang libclang-rt-dev
  xvfb xauth xdotool x11-utils imagemagick python3 desktop-file-utils appstream
  g++-mingw-w64-x86-64-posix wine64
  ibus ibus-libpinyin dbus-x11
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
  else
    echo "These Debian packages are missing. Install them as root with:" >&2
    echo "  apt-get update" >&2
    echo "  apt-get install -y --no-install-recommends ${missing[*]}" >&2
    exit 1
  fi
fi

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
