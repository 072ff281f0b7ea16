#!/bin/sh
# Regenerates the compressed WAV fixtures of the sampler_io tests
# (tests/data/sampler_io/*.wav) with libsndfile (Debian: libsndfile1-dev).
# The files are committed so the Windows builds, which test the audio
# compression manager under wine, decode exactly the same bytes.
# Usage: scripts/make-compressed-wav-fixtures.sh
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
g++ -std=c++20 -O2 -Wall -Wextra -o "$work/make_fixtures" "$root/scripts/make_compressed_wav_fixtures.cpp" \
    $(pkg-config --cflags --libs sndfile)
mkdir -p "$root/tests/data/sampler_io"
"$work/make_fixtures" "$root/tests/data/sampler_io"
ls -l "$root/tests/data/sampler_io"
