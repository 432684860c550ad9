#!/usr/bin/env bash
# Builds Thrumwell-VERSION-win64-setup.exe from a Windows (win64) build tree
# with NSIS (Debian's nsis, 64-bit stubs).
# Usage: make-installer.sh BUILD_DIR VERSION OUT_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
out=$3
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)

work="$out/nsis-work"
stage="$work/stage"
rm -rf "$work"
mkdir -p "$stage/tools" "$stage/vst3" "$stage/presets"

for t in player/thrumwell render/thrumwell-render snapshot/thrumwell-snapshot validate/thrumwell-validate; do
  cp "$build/tools/$t.exe" "$stage/tools/"
  x86_64-w64-mingw32-strip --strip-unneeded "$stage/tools/$(basename "$t").exe"
done
cp "$source_dir/README.md" "$stage/tools/README.md"
cp "$here/LICENSE.txt" "$stage/tools/LICENSE.txt"
cp -r "$build/Thrumwell.vst3" "$stage/vst3/"
x86_64-w64-mingw32-strip --strip-unneeded "$stage/vst3/Thrumwell.vst3/Contents/x86_64-win/Thrumwell.vst3"
cp -r "$build/presets/." "$stage/presets/"

# The File and Delete lists, one line per file, so that the uninstaller
# removes exactly what the installer wrote.
files="$work/files.nsh"
windows() { printf '%s' "${1//\//\\}"; }  # '/' -> '\\'

emit() {  # emit STAGE_SUBDIR DESTINATION
  local from="$stage/$1" dest=$2 dir rel f
  while IFS= read -r -d '' dir; do
    rel=${dir#"$from"}
    echo "  SetOutPath \"$dest$(windows "$rel")\"" >>"$work/install"
    while IFS= read -r -d '' f; do
      # NSIS strings take neither quotes nor '$' literally.
      case "$f" in *'"'* | *'`'* | *'$'*) echo "make-installer: unusable file name $f" >&2; exit 1 ;; esac
      echo "  File \"$f\"" >>"$work/install"
      echo "  Delete \"$dest$(windows "$rel/$(basename "$f")")\"" >>"$work/uninstall"
    done < <(find "$dir" -maxdepth 1 -type f -print0 | sort -z)
    echo "  RMDir \"$dest$(windows "$rel")\"" >>"$work/rmdir"
  done < <(find "$from" -type d -print0 | sort -z)
}
: >"$work/install"; : >"$work/uninstall"; : >"$work/rmdir"
emit tools '$INSTDIR'
emit vst3 '$COMMONFILES64\VST3'
emit presets '${PRESET_DIR}'
{
  echo '!macro InstallFiles'
  cat "$work/install"
  echo '!macroend'
  echo '!macro UninstallFiles'
  cat "$work/uninstall"
  # Deepest folders first; a folder someone added to stays.
  grep -v 'RMDir "$INSTDIR"$' "$work/rmdir" | grep -v 'RMDir "$COMMONFILES64\\VST3"$' | sort -r
  echo '!macroend'
} >"$files"

size_kb=$(du -sk "$stage" | cut -f1)
major=${version%%.*}
rest=${version#*.}
minor=${rest%%.*}
patch=0
[ "$rest" != "$minor" ] && patch=${rest#*.}
setup="$out/Thrumwell-$version-win64-setup.exe"
rm -f "$setup"
makensis -V2 -NOCD -DVERSION="$version" -DVERSION_QUAD="$major.$minor.$patch.0" -DOUTFILE="$setup" \
  -DFILES="$files" -DSIZE_KB="$size_kb" "$here/thrumwell.nsi"
rm -rf "$work"
echo "$setup"
