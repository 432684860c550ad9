#!/usr/bin/env bash
# Installs every build and test dependency of Thrumwell from Debian's packages,
# and cross-builds libpng, RtAudio and RtMidi for the Windows build from
# Debian's own sources.
# Idempotent: quiet and quick when everything is present. Needs root (or sudo).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

packages=(
  cmake ninja-build g++ gcc pkg-config git
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev libx11-dev libxtst-dev libxext-dev
  fonts-liberation2 fonts-dejavu-core
  g++-mingw-w64-x86-64 gcc-mingw-w64-x86-64 libz-mingw-w64-dev
  wine wine64 xvfb xauth
  dpkg-dev imagemagick sox librsvg2-bin ccache
  librtaudio-dev librtmidi-dev libcli11-dev jackd2 libjack-jackd2-dev
)

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
