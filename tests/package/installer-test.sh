#!/usr/bin/env bash
# Installs Thrumwell's Windows installer as a user would, in a fresh Wine
# prefix with no Z: drive (so that no build tree is reachable), and checks
# what it leaves:
#   - a truncated installer is refused by NSIS's own integrity check;
#   - an older version installs silently into a folder of our choosing (/D=),
#     this version over it (upgrade), then this version again (same version),
#     each time every file, the shortcut and the Uninstall key in place;
#   - the installed tools work from the installed places: the player lists
#     the programs and saves its settings, the renderer renders, the
#     validator passes the installed bundle, and the Start-menu shortcut's
#     target opens the player's window (with a display);
#   - the uninstaller (the registered uninstall string) removes exactly what
#     was installed and leaves the user's preset, the player's settings and
#     another plug-in alone.
# Usage: installer-test.sh BUILD_DIR VERSION    (the win64 build tree)
# Prints the silent install and uninstall times; writes the shortcut's
# player window to shortcut-player.png in the working folder.
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
setup="$build/packages/Thrumwell-$version-win64-setup.exe"
[ -f "$setup" ] || { echo "no installer: $setup" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/thrumwell-installer-test.XXXXXX")
export WINEPREFIX="$work/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Sound goes through DirectSound into ALSA's null device, from a HOME of the
# test's own.
export HOME="$work/home"
mkdir -p "$HOME"
printf 'pcm.!default {\n  type file\n  slave.pcm "null"\n  file "/dev/null"\n  format "raw"\n}\n' >"$HOME/.asoundrc"
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
now() { date +%s.%N; }
seconds_since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }
win() { (cd "$WINEPREFIX/drive_c" && "$wine" "$@") </dev/null; }

# A fresh prefix; a crash ends the program instead of waiting in a debugger.
"$wine" wineboot --init >/dev/null 2>&1 || true
wineserver -w
win reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f >/dev/null 2>&1 || true
wineserver -w
rm -f "$WINEPREFIX/dosdevices/z:"
[ ! -e "$WINEPREFIX/dosdevices/z:" ] || fail "the Z: drive is still there"

c="$WINEPREFIX/drive_c"
user=$(ls "$c/users" | grep -v '^Public$' | head -n 1)
tools_dir="$c/Tools/Thrumwell Test"
tools_win='C:\Tools\Thrumwell Test'
bundle="$c/Program Files/Common Files/VST3/Thrumwell.vst3"
bundle_win='C:\Program Files\Common Files\VST3\Thrumwell.vst3'
presets="$c/ProgramData/VST3 Presets/Quorvik/Thrumwell"
shortcut="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Thrumwell.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Thrumwell'
user_preset="$c/users/$user/Documents/VST3 Presets/Quorvik/Thrumwell/Mine.vstpreset"
settings="$c/users/$user/AppData/Roaming/Thrumwell"
other="$c/Program Files/Common Files/VST3/Other.vst3/Contents/x86_64-win/Other.vst3"

# Every file the installer writes, from the build tree it was made from.
expected_files() {
  for f in thrumwell.exe thrumwell-render.exe thrumwell-snapshot.exe thrumwell-validate.exe \
    README.md LICENSE.txt Uninstall.exe; do
    echo "$tools_dir/$f"
  done
  echo "$bundle/Contents/x86_64-win/Thrumwell.vst3"
  echo "$bundle/Contents/Resources/moduleinfo.json"
  (cd "$build/presets" && find . -type f | sed "s|^\./|$presets/|")
  echo "$shortcut"
}
reg_value() {  # reg_value NAME -> the value's data, empty when missing
  win reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | awk -v n="$1" '$1 == n { $1 = ""; $2 = ""; sub(/^  */, ""); print }'
}
check_installed() {  # check_installed WHEN VERSION
  local missing=0 f
  while IFS= read -r f; do
    [ -f "$f" ] || { missing=$((missing + 1)); [ $missing -le 3 ] && echo "  missing: $f" >&2; }
  done < <(expected_files)
  [ $missing = 0 ] || fail "$1: $missing installed files missing"
  [ "$(find "$presets" -name '*.vstpreset' | wc -l)" = 125 ] || fail "$1: not 125 factory presets"
  [ "$(reg_value DisplayName)" = "Thrumwell $2" ] || fail "$1: DisplayName '$(reg_value DisplayName)'"
  [ "$(reg_value DisplayVersion)" = "$2" ] || fail "$1: DisplayVersion '$(reg_value DisplayVersion)'"
  [ "$(reg_value Publisher)" = "Quorvik" ] || fail "$1: Publisher '$(reg_value Publisher)'"
  [ "$(reg_value UninstallString)" = "\"$tools_win\\Uninstall.exe\"" ] ||
    fail "$1: UninstallString '$(reg_value UninstallString)'"
  [ "$(reg_value InstallLocation)" = "$tools_win" ] || fail "$1: InstallLocation '$(reg_value InstallLocation)'"
  local size
  size=$(reg_value EstimatedSize)
  [ -n "$size" ] && [ $((size)) -gt 1000 ] || fail "$1: EstimatedSize '$size'"
  # Nothing lands in the default tools folder when another was chosen.
  [ ! -e "$c/Program Files/Quorvik" ] || fail "$1: files in the default tools folder"
}

# A 64-bit program (which a 32-bit Windows refuses to start) that asks for
# administrator rights.
x86_64-w64-mingw32-objdump -f "$setup" | grep -q 'file format pei-x86-64' || fail "not a 64-bit installer"
grep -aq 'requestedExecutionLevel level="requireAdministrator"' "$setup" || fail "the installer asks for no elevation"

# A truncated installer: NSIS's integrity check refuses it, nothing is written.
cp "$setup" "$c/setup.exe"
head -c $(($(stat -c %s "$setup") * 2 / 3)) "$setup" >"$c/broken.exe"
status=0
win 'C:\broken.exe' /S '/D=C:\Broken' || status=$?
[ $status != 0 ] || fail "the truncated installer reported success"
echo "the truncated installer was refused (exit status $status)"
wineserver -w
[ ! -e "$c/Broken" ] && [ ! -e "$bundle" ] && [ ! -e "$presets" ] || fail "the truncated installer wrote files"
win reg query "$key" >/dev/null 2>&1 && fail "the truncated installer wrote the Uninstall key"

# An older version first, so that this one installs over it.
"$source_dir/tools/package/make-installer.sh" "$build" 2.29 "$work/older" >/dev/null
cp "$work/older/Thrumwell-2.29-win64-setup.exe" "$c/older.exe"
mkdir -p "$(dirname "$other")"
echo "another vendor's plug-in" >"$other"
# /D= must be the last argument and unquoted, so cmd passes the line as is.
win cmd /c "C:\\older.exe /S /D=$tools_win" || fail "the older installer failed"
wineserver -w
check_installed "older version" 2.29

start=$(now)
win cmd /c "C:\\setup.exe /S /D=$tools_win" || fail "the upgrade failed"
wineserver -w
echo "silent install over the older version: $(seconds_since "$start") s"
check_installed "upgrade" "$version"

# The installed tools, from the installed places.
for t in thrumwell thrumwell-render thrumwell-snapshot thrumwell-validate; do
  out=$(win "$tools_win\\$t.exe" --version 2>/dev/null | tr -d '\r')
  [ "$out" = "$t $version" ] || fail "$t --version: '$out'"
done
programs=$(win "$tools_win\\thrumwell.exe" --no-window --list-programs 2>/dev/null | tr -d '\r')
grep -q 'Binaural - 7.83 (Schumann Resonance)' <<<"$programs" || fail "the player lists no programs"
win "$tools_win\\thrumwell-render.exe" -o 'C:\render.wav' --program 1 --seconds 2 2>/dev/null ||
  fail "the installed renderer failed"
# 2 s of stereo 32-bit float at 48 kHz and a header.
[ "$(stat -c %s "$c/render.wav" 2>/dev/null || echo 0)" -gt 768000 ] || fail "no render"
win "$tools_win\\thrumwell-validate.exe" "$bundle_win" --strictness 1 >"$work/validate.out" 2>&1 ||
  { fail "the validator failed the installed bundle"; tail -n 20 "$work/validate.out" >&2; }
# The player saves its settings (here: DirectSound, which Wine's null
# device serves) and the shortcut's player restores them.
win "$tools_win\\thrumwell.exe" --no-window --api ds --seconds 1 --program 1 >/dev/null 2>&1 ||
  fail "the installed player did not play"
[ -f "$settings/device.txt" ] || fail "the player saved no settings"
mkdir -p "$(dirname "$user_preset")"
cp "$presets/Higher frequencies.vstpreset" "$user_preset"

if [ -n "${DISPLAY:-}" ]; then
  # The Start-menu shortcut's target opens the player's window.
  win start 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Thrumwell.lnk' >/dev/null 2>&1 ||
    fail "the shortcut did not start"
  window=""
  for _ in $(seq 1 60); do
    window=$(xwininfo -root -tree 2>/dev/null | awk '/"Thrumwell": \("thrumwell.exe"/ { print $1; exit }')
    [ -n "$window" ] && break
    sleep 1
  done
  if [ -z "$window" ]; then
    fail "no player window from the shortcut"
  else
    sleep 2
    command -v import >/dev/null && import -window "$window" "$PWD/shortcut-player.png" 2>/dev/null || true
    # Closing the window ends the player (it saves its settings).
    win taskkill /IM thrumwell.exe >/dev/null 2>&1 || true
    closed=0
    for _ in $(seq 1 30); do
      xwininfo -root -tree 2>/dev/null | grep -q '"Thrumwell": ("thrumwell.exe"' || { closed=1; break; }
      sleep 1
    done
    if [ $closed = 0 ]; then
      fail "the player's window did not close"
      win taskkill /F /IM thrumwell.exe >/dev/null 2>&1 || true
    fi
  fi
else
  echo "no DISPLAY: the shortcut's window is not checked"
fi
wineserver -w

# The same version again, without /D=: the registered folder is reused.
win 'C:\setup.exe' /S || fail "installing the same version again failed"
wineserver -w
check_installed "same version again" "$version"

# Uninstall as the system's list of programs does, silently.
uninstall=$(reg_value UninstallString | tr -d '"')
start=$(now)
win "$uninstall" /S || fail "the uninstaller failed"
wineserver -w
echo "silent uninstall: $(seconds_since "$start") s"
left=0
while IFS= read -r f; do
  [ -e "$f" ] && { left=$((left + 1)); [ $left -le 3 ] && echo "  left behind: $f" >&2; }
done < <(expected_files)
[ $left = 0 ] || fail "$left installed files left behind"
for d in "$tools_dir" "$bundle" "$presets" "$c/ProgramData/VST3 Presets/Quorvik"; do
  [ ! -e "$d" ] || fail "left behind: $d"
done
win reg query "$key" >/dev/null 2>&1 && fail "the Uninstall key is left"
win reg query 'HKLM\Software\Quorvik' >/dev/null 2>&1 && fail "HKLM\\Software\\Quorvik is left"
[ -f "$user_preset" ] || fail "the user's preset was removed"
[ -f "$settings/device.txt" ] || fail "the player's settings were removed"
[ -f "$other" ] || fail "another plug-in in the VST3 folder was removed"

if [ $failures != 0 ]; then
  echo "$failures checks failed" >&2
  exit 1
fi
echo "installer test passed"
