#!/usr/bin/env bash
# Installs Thrumwell's dependencies from Debian's packages.
#
#   tools/install-deps.sh          everything: the native, sanitized, Windows
#                                  (MinGW-w64, Wine, and libpng, RtAudio and
#                                  RtMidi cross-built from Debian's sources) and
#                                  fuzz builds and all their tests
#   tools/install-deps.sh native   only what the native build needs (the demo)
#
# Idempotent: quiet and quick when everything is present. Needs root, or sudo.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
set_name="${1:-all}"

# The native build: compilers, the libraries the module, the host and the
# player link, the command-line parser, and GoogleTest, which the build
# configures.
native=(
  cmake ninja-build g++ gcc pkg-config ccache
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev libx11-dev libxtst-dev libxext-dev
  libcli11-dev libgtest-dev librtaudio-dev librtmidi-dev
  libsndfile1-dev libsamplerate0-dev
)
# The rest: tests, benchmarks, the sanitizer and fuzz builds, the Windows
# cross build and Wine to run it, the tools the tests and scripts call, and
# those that make and check the packages (NSIS, lintian, help2man, and
# debootstrap for the clean-system test).
rest=(
  git googletest libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  fonts-liberation2 fonts-dejavu-core
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine64 xvfb xauth
  dpkg-dev imagemagick sox librsvg2-bin ffmpeg
  jackd2 libjack-jackd2-dev
  nsis lintian help2man debootstrap x11-utils
)

case "$set_name" in
  native) packages=("${native[@]}") ;;
  all) packages=("${native[@]}" "${rest[@]}") ;;
  *) echo "usage: $0 [native|all]" >&2; exit 2 ;;
esac

sudo=""
if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

[ "$set_name" = native ] && exit 0

# Wine runs 64-bit programs only through the wine64 loader; make sure one is on PATH.
if ! command -v wine64 >/dev/null && [ -x /usr/lib/wine/wine64 ]; then
  $sudo ln -sf /usr/lib/wine/wine64 /usr/local/bin/wine64
fi

if [ -x "$here/build-libpng-mingw.sh" ]; then
  $sudo "$here/build-libpng-mingw.sh"
fi
if [ -x "$here/build-rtaudio-mingw.sh" ]; then
  $sudo "$here/build-rtaudio-mingw.sh"
fi
if [ -x "$here/build-sndfile-mingw.sh" ]; then
  $sudo "$here/build-sndfile-mingw.sh"
fi
