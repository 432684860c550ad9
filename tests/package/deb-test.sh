#!/usr/bin/env bash
# Checks the Debian package quickly, without a whole Debian system: lintian
# reports no error or warning; dpkg installs it into an empty root
# (dpkg --root) where another plug-in already sits in /usr/lib/vst3; every
# path is there; the installed tools run from the installed places and find
# the installed bundle, not the build tree; purging it leaves nothing of ours
# and the other plug-in in place. tests/package/deb-clean-system.sh does the
# same with apt-get in a clean Debian 12 system.
# Usage: deb-test.sh BUILD_DIR VERSION    (the linux build tree)
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
deb="$build/packages/thrumwell_${version}_amd64.deb"
[ -f "$deb" ] || { echo "no package: $deb" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/thrumwell-deb-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# lintian: informational tags only.
lintian --tag-display-limit 0 "$deb" >"$work/lintian.out" 2>/dev/null || true
if grep -E '^(E|W): ' "$work/lintian.out"; then
  fail "lintian reports errors or warnings"
fi

[ "$(dpkg-deb -f "$deb" Package)" = thrumwell ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libc6 libstdc++6 libfreetype6 libfontconfig1 libx11-6 libpng16-16 librtaudio6 librtmidi6; do
  grep -q "\b$lib\b" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

# An empty root with dpkg's database and another vendor's plug-in.
root="$work/root"
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/usr/lib/vst3/Other.vst3/Contents/x86_64-linux"
: >"$root/var/lib/dpkg/status"
: >"$root/var/lib/dpkg/available"
echo "another vendor's plug-in" >"$root/usr/lib/vst3/Other.vst3/Contents/x86_64-linux/Other.so"
dpkg_root() { dpkg --root="$root" --force-not-root --force-depends --force-script-chrootless --log=/dev/null "$@"; }
dpkg_root -i "$deb" >"$work/dpkg.out" 2>&1 || fail "dpkg could not install the package"

for f in usr/lib/vst3/Thrumwell.vst3/Contents/x86_64-linux/Thrumwell.so \
  usr/lib/vst3/Thrumwell.vst3/Contents/Resources/moduleinfo.json \
  usr/bin/thrumwell usr/bin/thrumwell-render usr/bin/thrumwell-snapshot usr/bin/thrumwell-validate \
  usr/share/man/man1/thrumwell.1.gz usr/share/man/man1/thrumwell-render.1.gz \
  usr/share/man/man1/thrumwell-snapshot.1.gz usr/share/man/man1/thrumwell-validate.1.gz \
  usr/share/applications/thrumwell.desktop usr/share/icons/hicolor/scalable/apps/thrumwell.svg \
  usr/share/doc/thrumwell/README.md usr/share/doc/thrumwell/changelog.gz usr/share/doc/thrumwell/copyright; do
  [ -f "$root/$f" ] || fail "missing /$f"
done
p="$root/usr/share/vst3/presets/Quorvik/Thrumwell"
[ "$(find "$p" -name '*.vstpreset' | wc -l)" = 125 ] || fail "not 125 factory presets"
[ "$(find "$p/Binaural" -name '*.vstpreset' | wc -l)" = 90 ] || fail "not 90 Binaural presets"
zcat "$root/usr/share/man/man1/thrumwell-render.1.gz" | sed 's/\\-/-/g' | grep -q -- '--export-presets' ||
  fail "the renderer's manual page lacks its options"
grep -q '"Version": "' "$root/usr/lib/vst3/Thrumwell.vst3/Contents/Resources/moduleinfo.json" || fail "moduleinfo"

# The installed tools, with a HOME of their own.
export HOME="$work/home"
mkdir -p "$HOME"
bin="$root/usr/bin"
for t in thrumwell thrumwell-render thrumwell-snapshot thrumwell-validate; do
  [ "$("$bin/$t" --version)" = "$t $version" ] || fail "$t --version: $("$bin/$t" --version)"
done
programs=$("$bin/thrumwell" --no-window --list-programs) || fail "the installed player failed"
grep -q 'Binaural - 7.83 (Schumann Resonance)' <<<"$programs" || fail "the installed player lists no programs"
(cd "$work" && "$bin/thrumwell-render" -o x.wav --program 1 --seconds 2) || fail "the installed renderer failed"
[ "$(stat -c %s "$work/x.wav" 2>/dev/null || echo 0)" -gt 768000 ] || fail "no render"
"$bin/thrumwell-validate" "$root/usr/lib/vst3/Thrumwell.vst3" --strictness 1 >"$work/validate.out" 2>&1 ||
  { fail "the validator failed the installed bundle"; tail -n 20 "$work/validate.out" >&2; }
"$bin/thrumwell-snapshot" -o "$work/editor.png" --program 1 || fail "the installed snapshot tool failed"

# Without the installed bundle an installed tool fails rather than falling
# back to the build tree it was made in (unless this machine has a bundle of
# its own in the system's VST3 folders, which it would rightly play).
if [ ! -e /usr/lib/vst3/Thrumwell.vst3 ] && [ ! -e /usr/local/lib/vst3/Thrumwell.vst3 ]; then
  mv "$root/usr/lib/vst3/Thrumwell.vst3" "$work/aside.vst3"
  if (cd "$work" && "$bin/thrumwell-render" -o y.wav --seconds 1 2>"$work/render.err"); then
    fail "the installed renderer played a bundle that is not installed"
  fi
  grep -q "$build" "$work/render.err" && fail "the installed renderer looked in the build tree"
  mv "$work/aside.vst3" "$root/usr/lib/vst3/Thrumwell.vst3"
fi

# Purging leaves nothing of ours, and the other plug-in.
dpkg_root -P thrumwell >"$work/dpkg.out" 2>&1 || fail "dpkg could not purge the package"
left=$(cd "$root" && find . -path ./var/lib/dpkg -prune -o -type f -print | grep -v '^./usr/lib/vst3/Other.vst3/' || true)
[ -z "$left" ] || fail "left behind: $left"
[ ! -e "$root/usr/share/vst3/presets/Quorvik" ] || fail "the preset folder is left"
[ ! -e "$root/usr/share/doc/thrumwell" ] || fail "the documentation folder is left"
[ -f "$root/usr/lib/vst3/Other.vst3/Contents/x86_64-linux/Other.so" ] || fail "the other plug-in was removed"

if [ $failures != 0 ]; then
  echo "$failures checks failed" >&2
  exit 1
fi
echo "package test passed"
