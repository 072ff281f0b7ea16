#!/usr/bin/env bash
# The test command: installs what is missing, builds every target and runs
# every test (Linux natively, Windows under wine, the sanitizer builds).
# VORNHALT_TARGETS may name a subset, e.g. "linux win32".
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

targets=${VORNHALT_TARGETS:-"linux win32 win64 linux-asan linux-tsan"}
jobs=${VORNHALT_JOBS:-$(nproc)}

# The Windows tests run under wine in a prefix of their own.
export VORNHALT_WINEPREFIX=${VORNHALT_WINEPREFIX:-$PWD/build/wineprefix}

for target in $targets; do
  echo "== $target: configure and build"
  cmake --preset "$target" >/dev/null
  cmake --build --preset "$target" -j "$jobs"
  echo "== $target: tests"
  ctest --preset "$target" -j "$jobs"
done

if [[ " $targets " == *" linux "* && -x scripts/run-fuzzers.sh ]]; then
  echo "== fuzzers (bounded)"
  scripts/run-fuzzers.sh "${VORNHALT_FUZZ_SECONDS:-60}"
fi

echo "== all tests passed for: $targets"
