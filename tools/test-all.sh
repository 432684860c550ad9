#!/usr/bin/env bash
# Installs the dependencies, then configures, builds and runs the tests of
# every preset: native, sanitized, Windows under Wine, and the fuzz targets.
# Usage: tools/test-all.sh [PRESET...]   (default: all presets)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh

presets=("$@")
if [ ${#presets[@]} -eq 0 ]; then
  presets=(linux linux-asan win64 linux-fuzz)
fi

# One virtual screen for every test that needs a display (editor windows,
# Wine's window station); tests that need none ignore it.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 120); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  export DISPLAY=":$n"
  sleep 1
fi

status=0
for p in "${presets[@]}"; do
  echo "=== preset $p"
  start=$(date +%s)
  if ! cmake --workflow --preset "$p"; then
    echo "=== preset $p FAILED"
    status=1
  fi
  echo "=== preset $p took $(( $(date +%s) - start )) s"
done
exit $status
