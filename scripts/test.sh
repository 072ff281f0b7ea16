#!/usr/bin/env bash
# The test command: installs what is missing, builds every target and runs
# every test (Linux natively, Windows under wine, the sanitizer builds), then
# runs every fuzzer for a bounded time.
# VORNHALT_TARGETS may name a subset, e.g. "linux win32";
# VORNHALT_FUZZ_SECONDS sets the time per fuzzer (default 15, 0 skips them).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

targets=${VORNHALT_TARGETS:-"linux win32 win64 linux-asan linux-tsan"}
jobs=${VORNHALT_JOBS:-$(nproc)}
fuzz_seconds=${VORNHALT_FUZZ_SECONDS:-15}

# Compiled objects are kept between runs (ccache), so a run after a small
# change rebuilds little; the paths inside the tree count relative to it, so
# another clone of the tree shares the cache.
if command -v ccache >/dev/null 2>&1; then
  export CMAKE_C_COMPILER_LAUNCHER=${CMAKE_C_COMPILER_LAUNCHER:-ccache}
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
fi

# The Windows tests run under wine in a prefix of their own.
export VORNHALT_WINEPREFIX=${VORNHALT_WINEPREFIX:-$PWD/build/wineprefix}

# One virtual display for the whole run: the editor tests open real windows,
# and every wine process of a run shares one wine server whose desktop must
# stay on a live display.
start_display() {
  local number=90
  while [[ -e /tmp/.X11-unix/X$number || -e /tmp/.X$number-lock ]]; do number=$((number + 1)); done
  Xvfb ":$number" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
  display_pid=$!
  trap 'kill "$display_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    [[ -e /tmp/.X11-unix/X$number ]] && break
    sleep 0.1
  done
  export DISPLAY=":$number"
}
start_display
# A wine server left from an earlier run may still hold another display.
WINEPREFIX="$VORNHALT_WINEPREFIX" wineserver -k 2>/dev/null || true

# What each target builds and tests. Most build and run everything; win64 is
# a smoke test of the 64-bit binaries (framework, both plug-ins through the
# host, the renderer), and the thread sanitizer runs the programs that drive
# an instrument from more than one thread.
build_targets() {
  case "$1" in
    win64) echo "framework_unit_tests framework_loaded_probe_tests sampler_plugin_binary_tests \
                 synth_plugin_binary_tests render_tests" ;;
    linux-tsan) echo "framework_unit_tests framework_loaded_probe_tests sampler_dsp_tests \
                      sampler_engine_tests sampler_plugin_binary_tests synth_engine_tests \
                      synth_plugin_binary_tests platform_settings_tests gui_platform_timer_tests" ;;
    *) echo "all" ;;
  esac
}
test_filter() {
  case "$1" in
    win64) echo "^(framework_.*|sampler_plugin_binary_tests|synth_plugin_binary_tests|render_tests)$" ;;
    linux-tsan) echo "^(framework_.*|sampler_dsp_tests|sampler_engine_tests|sampler_plugin_binary_tests|synth_engine_tests|synth_plugin_binary_tests|platform_settings_tests|gui_platform_timer_tests)$" ;;
    *) echo "." ;;
  esac
}

for target in $targets; do
  start=$SECONDS
  echo "== $target: configure and build"
  cmake --preset "$target" >/dev/null
  # shellcheck disable=SC2046
  cmake --build --preset "$target" -j "$jobs" --target $(build_targets "$target")
  echo "== $target: tests"
  ctest --preset "$target" -j "$jobs" -R "$(test_filter "$target")"
  echo "== $target: done in $((SECONDS - start)) s"
done

if [[ " $targets " == *" linux "* && "$fuzz_seconds" != 0 ]]; then
  start=$SECONDS
  echo "== fuzzers, $fuzz_seconds s each"
  scripts/run-fuzzers.sh "$fuzz_seconds"
  echo "== fuzzers: done in $((SECONDS - start)) s"
fi

echo "== all tests passed for: $targets"
