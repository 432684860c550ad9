#!/usr/bin/env bash
# Installs the Debian package as a user would, into a clean Debian 12 system:
# apt-get install ./thrumwell_VERSION_amd64.deb pulls what it needs, the
# installed tools run, and apt-get remove --purge leaves nothing of ours
# while another plug-in already in /usr/lib/vst3 stays. Too slow for every
# test run (the system is made with debootstrap); run it by hand, as root:
#   tests/package/deb-clean-system.sh build/linux/packages/thrumwell_2.30_amd64.deb
# The bare system is made once and kept as a tarball in
# ${XDG_CACHE_HOME:-~/.cache}/thrumwell-debian12-minbase.tar (delete it to
# start afresh); each run unpacks a fresh copy. Prints how long each step took.
set -euo pipefail
deb=$(realpath "$1")
[ -f "$deb" ] || { echo "usage: $0 PACKAGE.deb" >&2; exit 2; }
[ "$(id -u)" = 0 ] || { echo "$0: needs root (debootstrap, chroot)" >&2; exit 2; }
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}
cache="${XDG_CACHE_HOME:-$HOME/.cache}/thrumwell-debian12-minbase.tar"

now() { date +%s.%N; }
took() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }

work=$(mktemp -d "${TMPDIR:-/tmp}/thrumwell-clean-system.XXXXXX")
root="$work/root"
cleanup() {
  for m in proc dev; do umount -l "$root/$m" 2>/dev/null || true; done
  rm -rf --one-file-system "$work"
}
trap cleanup EXIT

if [ ! -f "$cache" ]; then
  start=$(now)
  debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1 ||
    { tail -n 20 "$work/debootstrap.log" >&2; exit 1; }
  mkdir -p "$(dirname "$cache")"
  tar -C "$root" -cf "$cache.part" . && mv "$cache.part" "$cache"
  echo "debootstrap --variant=minbase bookworm: $(took "$start")"
else
  mkdir -p "$root"
  tar -C "$root" -xf "$cache"
fi
mount -t proc proc "$root/proc"
mount --bind /dev "$root/dev"
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true
in_root() { chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 "$@"; }

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Another vendor's plug-in, already installed.
mkdir -p "$root/usr/lib/vst3/Other.vst3/Contents/x86_64-linux"
echo "another vendor's plug-in" >"$root/usr/lib/vst3/Other.vst3/Contents/x86_64-linux/Other.so"
cp "$deb" "$root/tmp/"
name=$(basename "$deb")
in_root apt-get update -qq >/dev/null
before=$(in_root dpkg-query -W -f='${Package}\n' | wc -l)
start=$(now)
DEBIAN_FRONTEND=noninteractive in_root apt-get install -y -qq "./tmp/$name" >"$work/install.log" 2>&1 ||
  { fail "apt-get install failed"; tail -n 20 "$work/install.log" >&2; }
echo "apt-get install ./$name: $(took "$start") ($(($(in_root dpkg-query -W -f='${Package}\n' | wc -l) - before)) packages)"

version=$(dpkg-deb -f "$deb" Version)
for t in thrumwell thrumwell-render thrumwell-snapshot thrumwell-validate; do
  [ "$(in_root "$t" --version 2>&1)" = "$t $version" ] || fail "$t --version"
done
programs=$(in_root thrumwell --no-window --list-programs 2>&1) || fail "thrumwell --no-window --list-programs"
grep -q 'Binaural - 7.83 (Schumann Resonance)' <<<"$programs" || fail "the player lists no programs"
in_root sh -c 'cd /tmp && thrumwell-render -o x.wav --program 1 --seconds 2' || fail "thrumwell-render"
[ "$(stat -c %s "$root/tmp/x.wav" 2>/dev/null || echo 0)" -gt 768000 ] || fail "no render"
start=$(now)
in_root thrumwell-validate /usr/lib/vst3/Thrumwell.vst3 >"$work/validate.log" 2>&1 ||
  { fail "thrumwell-validate /usr/lib/vst3/Thrumwell.vst3"; tail -n 20 "$work/validate.log" >&2; }
echo "thrumwell-validate /usr/lib/vst3/Thrumwell.vst3: $(tail -n 1 "$work/validate.log"), $(took "$start")"
in_root thrumwell-snapshot -o /tmp/editor.png --program 1 || fail "thrumwell-snapshot"
# The user's own things, which removal must not touch.
mkdir -p "$root/root/.vst3/presets/Quorvik/Thrumwell" "$root/root/.config/thrumwell"
cp "$root/usr/share/vst3/presets/Quorvik/Thrumwell/Higher frequencies.vstpreset" \
  "$root/root/.vst3/presets/Quorvik/Thrumwell/Mine.vstpreset"
echo "api=alsa" >"$root/root/.config/thrumwell/device.txt"

ours=$(in_root dpkg -L thrumwell | grep -v '^/\.$')
start=$(now)
DEBIAN_FRONTEND=noninteractive in_root apt-get remove --purge -y -qq thrumwell >"$work/remove.log" 2>&1 ||
  fail "apt-get remove --purge failed"
echo "apt-get remove --purge thrumwell: $(took "$start")"
left=""
while IFS= read -r p; do
  [ -f "$root$p" ] && left+=" $p"
done <<<"$ours"
[ -z "$left" ] || fail "left behind:$left"
stray=$(cd "$root" && find . -xdev \( -path ./proc -o -path ./dev -o -path ./tmp -o -path ./root -o -path ./var/log \
  -o -path ./var/cache \) -prune -o \( -iname '*thrumwell*' -o -path '*Quorvik*' \) -print)
[ -z "$stray" ] || fail "ours is left: $stray"
in_root dpkg-query -W thrumwell >/dev/null 2>&1 && fail "dpkg still knows the package"
[ -f "$root/usr/lib/vst3/Other.vst3/Contents/x86_64-linux/Other.so" ] || fail "the other plug-in was removed"
[ -f "$root/root/.vst3/presets/Quorvik/Thrumwell/Mine.vstpreset" ] || fail "the user's preset was removed"
[ -f "$root/root/.config/thrumwell/device.txt" ] || fail "the player's settings were removed"

if [ $failures != 0 ]; then
  echo "$failures checks failed" >&2
  exit 1
fi
echo "clean-system test passed"
