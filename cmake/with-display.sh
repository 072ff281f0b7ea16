#!/bin/sh
# Runs a test program that needs a display: on the one already given in
# DISPLAY (scripts/test.sh starts one virtual display for the whole run, so
# every wine process shares a live display), else on a fresh virtual display.
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1024x768x24 -noreset" "$@"
