#!/usr/bin/env bash
# Builds the two packages users install, from this tree:
#   build/packages/thrumwell_VERSION_amd64.deb          (Debian 12, x86_64)
#   build/packages/Thrumwell-VERSION-win64-setup.exe    (Windows x64)
# Installs what it needs first (tools/install-deps.sh), configures and builds
# the release presets linux and win64 (only what the packages hold), then
# makes each package in its build tree (tools/package/) and copies both to
# build/packages/.
# Usage: tools/package.sh [deb|installer]...   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

kinds=("$@")
[ ${#kinds[@]} -gt 0 ] || kinds=(deb installer)
mkdir -p build/packages
for kind in "${kinds[@]}"; do
  case "$kind" in
    deb) preset=linux target=thrumwell_deb ;;
    installer) preset=win64 target=thrumwell_installer ;;
    *) echo "usage: $0 [deb|installer]..." >&2; exit 2 ;;
  esac
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" --target "$target"
  cp "build/$preset/packages/"*"$([ "$kind" = deb ] && echo .deb || echo .exe)" build/packages/
done
ls -l build/packages
