#!/bin/sh
# Runs a Windows test program under wine in a throwaway prefix of the build
# tree, so tests never touch the user's own wine set-up.
# VORNHALT_WINEPREFIX may point elsewhere; the default lives beside the build.
prefix=${VORNHALT_WINEPREFIX:-${TMPDIR:-/tmp}/vornhalt-wine-$(id -u)}
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w 2>/dev/null || true
fi
exec wine "$@"
