#!/bin/sh
# Runs a Windows test program under wine in a throwaway prefix, so tests never
# touch the user's own wine set-up. VORNHALT_WINEPREFIX may point elsewhere.
prefix=${VORNHALT_WINEPREFIX:-${TMPDIR:-/tmp}/vornhalt-wine-$(id -u)}
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
  # Tests start in parallel: only one of them creates the prefix.
  mkdir -p "$(dirname "$prefix")"
  flock "$prefix.lock" sh -c '
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      mkdir -p "$WINEPREFIX"
      wineboot --init >/dev/null 2>&1 || true
      wineserver -w 2>/dev/null || true
    fi'
fi
exec wine "$@"
