#!/usr/bin/env bash
# The test command: installs what is missing, builds every target and runs
# every test (Linux natively, Windows under wine, the sanitizer builds), then
# runs every fuzzer for a bounded time.
# VORNHALT_TARGETS may name a subset, e.g. "linux win32";
# VORNHALT_FUZZ_SECONDS sets the time per fuzzer (default 30, 0 skips them).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

targets=${VORNHALT_TARGETS:-"linux win32 win64 linux-asan linux-tsan"}
jobs=${VORNHALT_JOBS:-$(nproc)}
fuzz_seconds=${VORNHALT_FUZZ_SECONDS:-30}

# The Windows tests run under wine in a prefix of their own.
export VORNHALT_WINEPREFIX=${VORNHALT_WINEPREFIX:-$PWD/build/wineprefix}

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
