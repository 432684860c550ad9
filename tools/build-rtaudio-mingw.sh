#!/usr/bin/env bash
# Cross-builds static RtAudio (WASAPI and DirectSound) and RtMidi (WinMM) for
# the Windows build of the player from Debian's own source packages, under the
# prefix the cross toolchain file searches. Nothing of these libraries enters the repository.
# Idempotent: silent when everything is installed. Needs root (apt-get source
# and a deb-src entry, which add-deb-src.sh makes). Called by install-deps.sh.
set -euo pipefail

prefix=${THRUMWELL_MINGW_PREFIX:-/opt/thrumwell-mingw64}
triple=x86_64-w64-mingw32
cxx=${triple}-g++-posix
ar=${triple}-ar
ranlib=${triple}-ranlib

if [ -f "$prefix/lib/librtaudio.a" ] && [ -f "$prefix/lib/librtmidi.a" ] && \
   [ -f "$prefix/include/rtaudio/RtAudio.h" ] && [ -f "$prefix/include/rtmidi/RtMidi.h" ] && \
   [ -f "$prefix/include/CLI/CLI.hpp" ]; then
  exit 0
fi

log() { echo "build-rtaudio-mingw: $*" >&2; }

"$(dirname "$0")/add-deb-src.sh" rtaudio

srcroot="$prefix/src"
mkdir -p "$srcroot"
cd "$srcroot"

# The unpacked tree of a source package, fetched when missing.
source_tree() {
  local package=$1 pattern=$2 dir
  dir=$(find . -maxdepth 1 -type d -name "$pattern" | sort | tail -n 1)
  if [ -z "$dir" ]; then
    log "fetching the $package source package"
    apt-get source -qq "$package" >/dev/null 2>&1 || apt-get source "$package"
    dir=$(find . -maxdepth 1 -type d -name "$pattern" | sort | tail -n 1)
  fi
  if [ -z "$dir" ]; then
    echo "build-rtaudio-mingw: no $package source tree under $srcroot" >&2
    exit 1
  fi
  (cd "$dir" && pwd)
}

rtaudio=$(source_tree rtaudio 'rtaudio-*')
rtmidi=$(source_tree rtmidi 'rtmidi-*')

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each library is one C++ file; the defines pick the Windows back ends.
log "building RtAudio from $rtaudio"
"$cxx" -O2 -DNDEBUG -std=c++17 -w -D__WINDOWS_WASAPI__ -D__WINDOWS_DS__ -I"$rtaudio" \
  -c "$rtaudio/RtAudio.cpp" -o "$work/RtAudio.o"
"$ar" rc "$work/librtaudio.a" "$work/RtAudio.o"
"$ranlib" "$work/librtaudio.a"
log "building RtMidi from $rtmidi"
"$cxx" -O2 -DNDEBUG -std=c++17 -w -D__WINDOWS_MM__ -I"$rtmidi" \
  -c "$rtmidi/RtMidi.cpp" -o "$work/RtMidi.o"
"$ar" rc "$work/librtmidi.a" "$work/RtMidi.o"
"$ranlib" "$work/librtmidi.a"

mkdir -p "$prefix/include/rtaudio" "$prefix/include/rtmidi" "$prefix/lib"
install -m 644 "$rtaudio/RtAudio.h" "$prefix/include/rtaudio/RtAudio.h"
install -m 644 "$rtmidi/RtMidi.h" "$prefix/include/rtmidi/RtMidi.h"
install -m 644 "$work/librtmidi.a" "$prefix/lib/librtmidi.a"
# The RtAudio archive goes last: it is the stamp that says all is done.
install -m 644 "$work/librtaudio.a" "$prefix/lib/librtaudio.a"
log "installed RtAudio and RtMidi under $prefix"
