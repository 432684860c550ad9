#!/usr/bin/env bash
# Cross-builds static libsndfile with its codecs (libogg, libvorbis, FLAC,
# Opus, LAME, mpg123) and libsamplerate for the Windows build, from Debian's
# own source packages, under the prefix the cross toolchain file searches.
# Nothing of these libraries enters the repository. Only the libraries are
# built: no programs, documentation, examples or tests.
# Idempotent: silent when the stamp names the same source versions and recipe.
# Needs root (apt-get source and a deb-src entry, which add-deb-src.sh makes).
# Called by install-deps.sh.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
prefix=${THRUMWELL_MINGW_PREFIX:-/opt/thrumwell-mingw64}
triple=x86_64-w64-mingw32
jobs=${THRUMWELL_MINGW_JOBS:-2}
# Raise when the build steps below change, so installed trees are rebuilt.
recipe=1
stamp="$prefix/lib/thrumwell-sndfile.stamp"
packages=(libogg libvorbis flac opus lame mpg123 libsndfile libsamplerate)

log() { echo "build-sndfile-mingw: $*" >&2; }

srcroot="$prefix/src"
mkdir -p "$srcroot"
cd "$srcroot"

# The Debian version of a source package already fetched, from its .dsc.
fetched_version() {
  local dsc
  dsc=$(find . -maxdepth 1 -name "$1_*.dsc" | sort | tail -n 1)
  [ -n "$dsc" ] || return 0
  dsc=${dsc#./"$1"_}
  echo "${dsc%.dsc}"
}

expected_stamp() {
  echo "recipe $recipe"
  local p
  for p in "${packages[@]}"; do echo "$p $(fetched_version "$p")"; done
}

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$(expected_stamp)" ]; then
  exit 0
fi

"$here/add-deb-src.sh" libsndfile

# The unpacked tree of a source package, fetched when missing. When apt-get
# cannot finish (a signature file missing on the mirror, as for mpg123 at
# times) the upstream tarball it fetched is unpacked instead: only the
# library is built, which Debian's patches do not change.
source_tree() {
  local package=$1 pattern=$2 dir orig
  dir=$(find . -maxdepth 1 -type d -name "$pattern" | sort | tail -n 1)
  if [ -z "$dir" ]; then
    log "fetching the $package source package"
    if ! apt-get source -qq "$package" >/dev/null 2>&1; then
      orig=$(find . -maxdepth 1 -name "${package}_*.orig.tar.*" ! -name '*.asc' | sort | tail -n 1)
      [ -n "$orig" ] && tar xf "$orig"
    fi
    dir=$(find . -maxdepth 1 -type d -name "$pattern" | sort | tail -n 1)
  fi
  if [ -z "$dir" ]; then
    echo "build-sndfile-mingw: no $package source tree under $srcroot" >&2
    exit 1
  fi
  (cd "$dir" && pwd)
}

ogg=$(source_tree libogg 'libogg-*')
vorbis=$(source_tree libvorbis 'libvorbis-*')
flac=$(source_tree flac 'flac-*')
opus=$(source_tree opus 'opus-*')
lame=$(source_tree lame 'lame-*')
mpg123=$(source_tree mpg123 'mpg123-*')
sndfile=$(source_tree libsndfile 'libsndfile-*')
samplerate=$(source_tree libsamplerate 'libsamplerate-*')

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -f "$stamp"

# Only the cross-built libraries are visible to configure and pkg-config.
export PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig"
export PKG_CONFIG_PATH=
export CC=${triple}-gcc-posix
export AR=${triple}-ar
export RANLIB=${triple}-ranlib
# Their own warnings are not ours to mend: silenced, as for RtAudio.
export CFLAGS="-O2 -DNDEBUG -w"
export CPPFLAGS="-I$prefix/include"
export LDFLAGS="-L$prefix/lib"

# Runs an autotools configure script out of tree for a static cross build.
configure() {
  local name=$1 src=$2
  shift 2
  mkdir -p "$work/$name"
  cd "$work/$name"
  log "configuring $name"
  "$src/configure" -q --host="$triple" --prefix="$prefix" --enable-static --disable-shared \
    --disable-dependency-tracking "$@" >/dev/null
}

configure libogg "$ogg"
log "building libogg"
make -s -j"$jobs" -C src install >/dev/null
make -s -C include install >/dev/null
make -s install-pkgconfigDATA >/dev/null

configure libvorbis "$vorbis" --disable-docs --disable-examples --disable-oggtest
log "building libvorbis"
make -s -C include install >/dev/null
make -s -j"$jobs" -C lib install >/dev/null
make -s install-pkgconfigDATA >/dev/null

# No stack protector or fortify: with MinGW both would pull in libssp's DLL.
configure flac "$flac" --disable-cpplibs --disable-programs --disable-examples \
  --disable-doxygen-docs --disable-oggtest --disable-rpath \
  --disable-stack-smash-protection --disable-fortify-source --disable-version-from-git
log "building flac"
make -s -j"$jobs" -C src/libFLAC install >/dev/null
make -s -C include install >/dev/null

# Opus adds _FORTIFY_SOURCE unless it is defined already (MinGW has no
# __memcpy_chk without libssp).
CPPFLAGS="$CPPFLAGS -D_FORTIFY_SOURCE=0" \
  configure opus "$opus" --disable-doc --disable-extra-programs --disable-stack-protector
log "building opus"
make -s -j"$jobs" install >/dev/null

configure lame "$lame" --disable-frontend --disable-decoder --disable-gtktest \
  --disable-analyzer-hooks --disable-rpath
log "building lame"
make -s -j"$jobs" -C libmp3lame install >/dev/null
make -s -C include install >/dev/null

# Only libmpg123 (the decoder); its build is one non-recursive makefile.
# WINDOWS_UWP leaves out the path and folder helpers that only the mpg123
# program uses, whose PathCombineW would make every program load shlwapi.dll.
CPPFLAGS="$CPPFLAGS -DWINDOWS_UWP" \
  configure mpg123 "$mpg123" --enable-modules=no --with-audio=dummy --with-default-audio=dummy \
  --disable-network --with-cpu=x86-64
log "building mpg123"
make -s -j"$jobs" src/libmpg123/libmpg123.la >/dev/null
install -m 644 src/libmpg123/.libs/libmpg123.a "$prefix/lib/libmpg123.a"
install -m 644 src/libmpg123/mpg123.h "$prefix/include/mpg123.h"
install -m 644 "$mpg123/src/libmpg123/fmt123.h" "$prefix/include/fmt123.h"
install -m 644 libmpg123.pc "$prefix/lib/pkgconfig/libmpg123.pc"

# CMake for libsndfile and libsamplerate, with the project's cross toolchain.
cmake_build() {
  local name=$1 src=$2
  shift 2
  log "configuring $name"
  cmake -S "$src" -B "$work/$name" -G "Unix Makefiles" -Wno-dev --log-level=WARNING \
    -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-w64-x86_64.cmake" \
    -DTHRUMWELL_MINGW_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF -DBUILD_TESTING=OFF "$@" >/dev/null
  log "building $name"
  make -s -j"$jobs" -C "$work/$name" install >/dev/null
}

# The static FLAC headers must not declare their functions as DLL imports.
cmake_build libsndfile "$sndfile" -DCMAKE_C_FLAGS="-w -DFLAC__NO_DLL" \
  -DBUILD_PROGRAMS=OFF -DBUILD_EXAMPLES=OFF -DENABLE_CPACK=OFF -DINSTALL_MANPAGES=OFF \
  -DENABLE_PACKAGE_CONFIG=OFF -DBUILD_REGTEST=OFF -DENABLE_EXTERNAL_LIBS=ON -DENABLE_MPEG=ON
for codec in HAVE_EXTERNAL_XIPH_LIBS HAVE_MPEG; do
  if ! grep -q "^#define $codec 1" "$work/libsndfile/src/config.h"; then
    echo "build-sndfile-mingw: libsndfile was configured without $codec" >&2
    exit 1
  fi
done

cmake_build libsamplerate "$samplerate" -DLIBSAMPLERATE_EXAMPLES=OFF -DLIBSAMPLERATE_INSTALL=ON

rm -rf "$prefix/share/doc" "$prefix/share/man"
rm -f "$prefix"/lib/lib{ogg,vorbis,vorbisenc,vorbisfile,FLAC,opus,mp3lame}.la
# The stamp goes last, so an interrupted build is redone next time.
cd "$srcroot"
expected_stamp > "$stamp"
log "installed libsndfile and libsamplerate under $prefix"
