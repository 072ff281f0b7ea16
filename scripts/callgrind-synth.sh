#!/bin/sh
# Instructions per frame of Marrowglint's processReplacing, counted by
# callgrind: four voices sounding, 200 blocks of 512 frames.
#   scripts/callgrind-synth.sh [build dir] [mode 0|1|2] [fat 0|1]
# Defaults: build/linux, four-point interpolation (2), no fat mode.
# Only processReplacing and what it calls are counted (the constructor and
# the table building are not).
set -eu
build=${1:-build/linux}
mode=${2:-2}
fat=${3:-0}
blocks=200
cmake --build "$build" --target synth_render_probe >/dev/null
out=$(mktemp)
trap 'rm -f "$out"' EXIT
valgrind --tool=callgrind --callgrind-out-file="$out" \
  --toggle-collect='marrowglint::APlugin::processReplacing*' \
  "$build/bench/synth_render_probe" "$mode" "$fat" "$blocks" 2>/dev/null
total=$(callgrind_annotate "$out" 2>/dev/null | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1; exit}')
frames=$((blocks * 512))
echo "mode $mode fat $fat: $total instructions for $frames frames = $((total / frames)) per frame"
