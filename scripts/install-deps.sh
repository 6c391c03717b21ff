#!/usr/bin/env bash
# Installs the Debian packages Vexa Studio needs, by purpose:
#   scripts/install-deps.sh run build        what ./run.sh needs (build from source, then run)
#   scripts/install-deps.sh run build test   what ./test.sh needs (also tests, fuzzing, benchmarks)
# Quiet and quick when everything is already present.
set -euo pipefail

# What the programs need at run time beyond the libraries their -dev packages bring in.
RUN=(
  # the face of Latin text and the Japanese proportional Gothic face that text falls back to
  fonts-dejavu-core fonts-ipafont-gothic
  # sound output of the preview
  libsdl2-2.0-0
  # the editor's windows: the platform plugins and Japanese texts of the standard buttons
  qt6-qpa-plugins qt6-translations-l10n
)

# What building needs: the toolchain and the libraries' development files.
BUILD=(
  build-essential cmake ninja-build pkg-config
  # persistence
  libbz2-dev
  # pictures and text
  libpng-dev libjpeg62-turbo-dev libgif-dev libfreetype-dev libfontconfig-dev
  # movies and sound
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev
  libvorbis-dev libogg-dev libflac-dev
  # sound output
  libsdl2-dev
  # the editor's widgets and the preview's OpenGL presenter
  qt6-base-dev libqt6opengl6-dev
)

# What the tests, the fuzz run and the benchmarks need.
TEST=(
  libgtest-dev libgmock-dev libbenchmark-dev
  # libFuzzer targets and their sanitizer runtimes
  clang libclang-rt-14-dev
  # peers of the benchmarks and makers of test files
  ffmpeg sox melt
  # faces with bold and oblique styles for the font chooser's test
  fonts-dejavu-extra
)

groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(run build test)
wanted=()
for g in "${groups[@]}"; do
  case "$g" in
    run) wanted+=("${RUN[@]}") ;;
    build) wanted+=("${BUILD[@]}") ;;
    test) wanted+=("${TEST[@]}") ;;
    *) echo "install-deps: unknown group '$g' (run, build, test)" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${wanted[@]}"; do
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
