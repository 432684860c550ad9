#!/usr/bin/env bash
# Cross-builds a static libpng for the Windows build from Debian's own source
# package, against Debian's MinGW-w64 zlib, and installs it under one prefix
# that the cross toolchain file searches. Nothing of libpng enters the
# repository. Idempotent: silent when the library is already installed.
# Needs root (adds a deb-src entry, runs apt-get). Called by install-deps.sh.
set -euo pipefail

prefix=${THRUMWELL_MINGW_PREFIX:-/opt/thrumwell-mingw64}
triple=x86_64-w64-mingw32
cc=${triple}-gcc-posix
ar=${triple}-ar
ranlib=${triple}-ranlib
stamp="$prefix/lib/libpng16.a"

if [ -f "$stamp" ] && [ -f "$prefix/include/png.h" ] && [ -f "$prefix/include/pnglibconf.h" ]; then
  exit 0
fi

log() { echo "build-libpng-mingw: $*"; }

"$(dirname "$0")/add-deb-src.sh" libpng1.6

srcroot="$prefix/src"
mkdir -p "$srcroot"
cd "$srcroot"
srcdir=$(find . -maxdepth 1 -type d -name 'libpng1.6-*' | sort | tail -n 1)
if [ -z "$srcdir" ]; then
  log "fetching the libpng1.6 source package"
  apt-get source -qq libpng1.6 >/dev/null 2>&1 || apt-get source libpng1.6
  srcdir=$(find . -maxdepth 1 -type d -name 'libpng1.6-*' | sort | tail -n 1)
fi
if [ -z "$srcdir" ] || [ ! -f "$srcdir/png.h" ]; then
  echo "build-libpng-mingw: no libpng source tree under $srcroot" >&2
  exit 1
fi
srcdir=$(cd "$srcdir" && pwd)
log "building static libpng from $srcdir with $cc"

# The library is a fixed list of C files and the prebuilt configuration
# header; compiling them directly avoids running the autotools for a cross
# target. No SIMD filter code is enabled by the prebuilt configuration.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$srcdir/scripts/pnglibconf.h.prebuilt" "$work/pnglibconf.h"
objs=()
for f in png pngerror pngget pngmem pngpread pngread pngrio pngrtran pngrutil \
         pngset pngtrans pngwio pngwrite pngwtran pngwutil; do
  "$cc" -O2 -DNDEBUG -I"$work" -I"$srcdir" -I"/usr/$triple/include" -c "$srcdir/$f.c" -o "$work/$f.o"
  objs+=("$work/$f.o")
done
rm -f "$work/libpng16.a"
"$ar" rc "$work/libpng16.a" "${objs[@]}"
"$ranlib" "$work/libpng16.a"

mkdir -p "$prefix/include/libpng16" "$prefix/lib"
for h in png.h pngconf.h; do
  install -m 644 "$srcdir/$h" "$prefix/include/$h"
  install -m 644 "$srcdir/$h" "$prefix/include/libpng16/$h"
done
install -m 644 "$work/pnglibconf.h" "$prefix/include/pnglibconf.h"
install -m 644 "$work/pnglibconf.h" "$prefix/include/libpng16/pnglibconf.h"
install -m 644 "$work/libpng16.a" "$prefix/lib/libpng.a"
# The stamp goes last, so an interrupted build is redone next time.
install -m 644 "$work/libpng16.a" "$stamp"
log "installed $stamp"
