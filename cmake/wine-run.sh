#!/usr/bin/env bash
# Runs a Windows executable under Wine, headless and quiet, in a Wine prefix
# of our own so that tests never touch the user's prefix.
export WINEPREFIX="${THRUMWELL_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/thrumwell-wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
if [ ! -d "$WINEPREFIX" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1 || true
  wineserver -w 2>/dev/null || true
fi
exec "$wine" "$@"
