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
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  sleep 1
fi

status=0
passed=0
failed=0
log=$(mktemp)
trap 'rm -f "$log"; [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true' EXIT
for p in "${presets[@]}"; do
  echo "=== preset $p"
  start=$(date +%s)
  ok=1
  if ! cmake --workflow --preset "$p" 2>&1 | tee "$log"; then
    echo "=== preset $p FAILED"
    status=1
    ok=0
  fi
  # CTest's summary: "N% tests passed, F tests failed out of T".
  if summary=$(grep -Eo '[0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1); then
    f=$(echo "$summary" | awk '{print $1}')
    t=$(echo "$summary" | awk '{print $NF}')
    passed=$((passed + t - f))
    failed=$((failed + f))
    # A preset that failed with every test passing failed to build or run.
    [ "$ok" = 0 ] && [ "$f" = 0 ] && failed=$((failed + 1))
  elif [ "$ok" = 0 ]; then
    failed=$((failed + 1))
  fi
  echo "=== preset $p took $(( $(date +%s) - start )) s"
done
echo "tests: $passed passed, $failed failed"
exit $status
