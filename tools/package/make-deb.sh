#!/usr/bin/env bash
# Builds thrumwell_VERSION_amd64.deb from a Linux release build tree.
# Usage: make-deb.sh BUILD_DIR VERSION OUT_DIR
# The package: the bundle in /usr/lib/vst3, the factory presets in
# /usr/share/vst3/presets/Quorvik/Thrumwell, the tools in /usr/bin with a
# manual page each, the player's desktop entry and icon, and the README,
# changelog and copyright in /usr/share/doc/thrumwell. Depends is computed by
# dpkg-shlibdeps from the binaries.
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
out=$3
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)

work="$out/deb-work"
root="$work/root"
rm -rf "$work"
mkdir -p "$root/DEBIAN" "$root/usr/bin" "$root/usr/lib/vst3" "$root/usr/share/man/man1" \
  "$root/usr/share/doc/thrumwell" "$root/usr/share/applications" \
  "$root/usr/share/icons/hicolor/scalable/apps" "$root/usr/share/vst3/presets/Quorvik"

tools=(
  "player/thrumwell"
  "render/thrumwell-render"
  "snapshot/thrumwell-snapshot"
  "validate/thrumwell-validate"
)
for t in "${tools[@]}"; do
  install -m 0755 "$build/tools/$t" "$root/usr/bin/"
  strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/bin/$(basename "$t")"
done

cp -r "$build/Thrumwell.vst3" "$root/usr/lib/vst3/"
so="$root/usr/lib/vst3/Thrumwell.vst3/Contents/x86_64-linux/Thrumwell.so"
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$so"
chmod 0644 "$so"
cp -r "$build/presets" "$root/usr/share/vst3/presets/Quorvik/Thrumwell"

# Manual pages from each tool's --help and --version.
declare -A purpose=(
  [thrumwell]="play the Thrumwell instrument to the sound card"
  [thrumwell-render]="render the Thrumwell instrument to a WAV file"
  [thrumwell-snapshot]="draw the Thrumwell editor to a PNG file"
  [thrumwell-validate]="check a VST3 bundle through a strict host"
)
for name in "${!purpose[@]}"; do
  help2man --no-info --no-discard-stderr --section=1 --source="Quorvik" --version-string="$version" \
    --name="${purpose[$name]}" "$root/usr/bin/$name" >"$root/usr/share/man/man1/$name.1"
  # The page names the tool, not the staging path help2man ran it from.
  sed -i "s|$root/usr/bin/||g" "$root/usr/share/man/man1/$name.1"
  gzip -9n "$root/usr/share/man/man1/$name.1"
done

install -m 0644 "$here/thrumwell.desktop" "$root/usr/share/applications/thrumwell.desktop"
install -m 0644 "$here/thrumwell.svg" "$root/usr/share/icons/hicolor/scalable/apps/thrumwell.svg"
install -m 0644 "$source_dir/README.md" "$root/usr/share/doc/thrumwell/README.md"
install -m 0644 "$here/copyright" "$root/usr/share/doc/thrumwell/copyright"
# The changelog's date is the last commit's, so that the same tree makes
# the same package.
date=$(git -C "$source_dir" log -1 --format=%cD 2>/dev/null || date -R)
sed -e "s|@VERSION@|$version|g" -e "s|@DATE@|$date|" "$here/changelog.in" | gzip -9n \
  >"$root/usr/share/doc/thrumwell/changelog.gz"

find "$root" -type d -exec chmod 0755 {} +
find "$root/usr/share" -type f -exec chmod 0644 {} +

# Depends, computed from what the binaries link.
mkdir -p "$work/debian"
printf 'Source: thrumwell\n\nPackage: thrumwell\nArchitecture: amd64\n' >"$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O -e"$so" "$root"/usr/bin/* 2>/dev/null | sed -n 's/^shlibs:Depends=//p')
if [ -z "$depends" ]; then
  echo "make-deb: dpkg-shlibdeps found no dependencies" >&2
  exit 1
fi
size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)

cat >"$root/DEBIAN/control" <<CONTROL
Package: thrumwell
Version: $version
Architecture: amd64
Maintainer: Quorvik <thrumwell@quorvik.com>
Installed-Size: $size
Depends: $depends
Section: sound
Priority: optional
Homepage: https://www.quorvik.com
Description: binaural and monaural beat tone generator (VST3 instrument)
 Thrumwell is a VST3 instrument that generates binaural and monaural beat
 tones: two oscillators, one per output channel, at frequencies that differ
 by a small beat frequency. It follows the host's transport as a tone
 generator, or plays from MIDI notes, and comes with 125 factory programs.
 .
 This package holds the plug-in bundle for Linux hosts (/usr/lib/vst3), its
 factory presets, the stand-alone player "thrumwell", the renderer
 "thrumwell-render", the editor snapshot tool "thrumwell-snapshot" and the
 validator "thrumwell-validate".
CONTROL
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) >"$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"

deb="$out/thrumwell_${version}_amd64.deb"
rm -f "$deb"
dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
rm -rf "$work"
echo "$deb"
