#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running Vexa Studio need.
# Quiet and quick when everything is already present.
set -euo pipefail

PACKAGES=(
  # toolchain
  build-essential cmake ninja-build pkg-config clang
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # persistence
  libbz2-dev
  # pictures and text
  libpng-dev libjpeg62-turbo-dev libgif-dev libfreetype-dev libfontconfig-dev fonts-dejavu-core
  # the Japanese proportional Gothic face that text falls back to
  fonts-ipafont-gothic
  # movies and sound
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev
  libvorbis-dev libogg-dev libflac-dev ffmpeg
  # sound benchmark peer
  sox
  # compositing benchmark peer
  melt
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  SUDO="sudo"
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
