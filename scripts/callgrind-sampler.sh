#!/bin/sh
# Instructions of Sarnel's processReplacing counted by callgrind, per frame
# and per voice and frame: 33 voices sounding (interpolation on, loop mode 1)
# against no voice at all, 100 blocks of 512 frames each; the difference
# divided by 33 is what one more voice costs per frame.
#   scripts/callgrind-sampler.sh [build dir] [channels 1|2]
# Defaults: build/linux, a two-channel sample. The build needs
# -DVORNHALT_BENCH=ON (the linux preset sets it).
set -eu
build=${1:-build/linux}
channels=${2:-2}
blocks=100
frames=$((blocks * 512))
cmake --build "$build" --target sampler_render_probe >/dev/null
out=$(mktemp)
trap 'rm -f "$out"' EXIT
count() {
  valgrind --tool=callgrind --callgrind-out-file="$out" \
    --toggle-collect='sarnel::APlugin::processReplacing*' \
    "$build/bench/sampler_render_probe" "$1" "$channels" "$blocks" >/dev/null 2>&1
  callgrind_annotate "$out" 2>/dev/null | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1; exit}'
}
full=$(count 33)
idle=$(count 0)
awk -v full="$full" -v idle="$idle" -v frames="$frames" -v ch="$channels" 'BEGIN {
  printf "channels %d, 33 voices: %d instructions for %d frames = %.1f per frame\n", ch, full, frames, full / frames
  printf "channels %d, no voice:  %d instructions = %.1f per frame\n", ch, idle, idle / frames
  printf "per voice and frame: %.2f\n", (full - idle) / (33 * frames)
}'
