#!/usr/bin/env bash
# Runs a Windows executable under Wine, headless and quiet, in a Wine prefix
# of our own so that tests never touch the user's prefix.
export WINEPREFIX="${THRUMWELL_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/thrumwell-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
# The first run creates the prefix; tests start in parallel, so the others
# wait for it under a lock instead of racing into a half-made prefix.
if [ ! -f "$WINEPREFIX/.thrumwell-ready-2" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.thrumwell-ready-2" ]; then
      mkdir -p "$WINEPREFIX"
      "$wine" wineboot --init >/dev/null 2>&1 || true
      # A crashing test must fail, not wait for a debugger: without the
      # AeDebug entry Wine ends the crashed process instead of attaching
      # winedbg, which can wait forever without a screen.
      "$wine" reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
        >/dev/null 2>&1 || true
      wineserver -w 2>/dev/null || true
      touch "$WINEPREFIX/.thrumwell-ready-2"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
# The first program of a Wine session starts Wine's own services, which keep
# that program's error output open until the session ends: CTest would wait
# on that test until the last Windows program of the run had ended. Starting
# the session here, apart from the test's output, keeps each test's time its
# own (on a running session this returns at once).
"$wine" wineboot </dev/null >/dev/null 2>&1 || true
exec "$wine" "$@"
