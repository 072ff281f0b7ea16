#!/bin/sh
# Builds the libFuzzer targets (preset "fuzz", clang) of the file readers, the
# envelope node text and both instruments' host-facing surface, and runs each
# for the given number of seconds (default 60), starting from a small seed
# corpus made here. Findings land in <build>/fuzz-findings/. An input that
# takes longer than VORNHALT_FUZZ_TIMEOUT seconds (default 5) is a finding
# too: a reader must answer at once. A deliberate campaign passes a longer
# time and, to run several at once, the targets it wants.
# Usage: scripts/run-fuzzers.sh [seconds [target...]]
#   e.g. scripts/run-fuzzers.sh 1800 fuzz_wav_reader
# VORNHALT_FUZZ_BUILD names another build folder (default build/fuzz);
# extra cmake arguments may come in VORNHALT_FUZZ_CMAKE_ARGS;
# VORNHALT_FUZZ_CORPUS keeps the grown corpora in that folder (default: a
# temporary one, removed at the end).
set -eu
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=${*:-fuzz_wav_reader fuzz_tuning_files fuzz_midi_file fuzz_node_text fuzz_sarnel_surface \
fuzz_marrowglint_surface}
timeout=${VORNHALT_FUZZ_TIMEOUT:-5}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${VORNHALT_FUZZ_BUILD:-$root/build/fuzz}
cd "$root"
# shellcheck disable=SC2086
cmake --preset fuzz -B "$build" ${VORNHALT_FUZZ_CMAKE_ARGS:-} >/dev/null
# shellcheck disable=SC2086
cmake --build "$build" -j2 --target $targets

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
corpora=${VORNHALT_FUZZ_CORPUS:-$work}
mkdir -p "$work/wav" "$work/tuning" "$work/midi" "$work/nodes" "$work/surface" "$build/fuzz-findings" "$corpora"

# WAV seeds: the test fixtures, a short file of every format the reader knows
# with the damage compressed files come with (odd block aligns, overlong
# chunks), made by the fixture program, and a few hand-made PCM and float files.
cp "$root"/tests/data/sampler_io/*.wav "$work/wav/"
# shellcheck disable=SC2046
g++ -std=c++20 -O2 -o "$work/make_fixtures" "$root/scripts/make_compressed_wav_fixtures.cpp" \
    $(pkg-config --cflags --libs sndfile)
"$work/make_fixtures" --fuzz-seeds "$work/wav"
riff() { # riff <file> <fmt bytes as printf escapes> <data bytes as printf escapes> <fmt size> <data size>
    fmt_size=$4
    data_size=$5
    riff_size=$((4 + 8 + fmt_size + 8 + data_size))
    le32() { printf "\\$(printf %03o $(($1 & 255)))\\$(printf %03o $((($1 >> 8) & 255)))\\$(printf %03o $((($1 >> 16) & 255)))\\$(printf %03o $((($1 >> 24) & 255)))"; }
    { printf 'RIFF'; le32 $riff_size; printf 'WAVEfmt '; le32 "$fmt_size"; printf "$2"; printf 'data'; le32 "$data_size"; printf "$3"; } > "$1"
}
riff "$work/wav/pcm16.wav" '\001\000\002\000\104\254\000\000\020\261\002\000\004\000\020\000' '\377\177\000\200\001\000\377\377' 16 8
riff "$work/wav/pcm8.wav" '\001\000\001\000\100\037\000\000\100\037\000\000\001\000\010\000' '\200\000\377\177' 16 4
riff "$work/wav/pcm24in32.wav" '\001\000\002\000\200\273\000\000\000\334\005\000\010\000\030\000' '\377\377\177\252\000\000\200\125' 16 8
riff "$work/wav/float.wav" '\003\000\001\000\104\254\000\000\020\261\002\000\004\000\040\000' '\000\000\300\077\000\000\020\300' 16 8
riff "$work/wav/extensible.wav" '\376\377\001\000\200\273\000\000\000\356\002\000\004\000\040\000\026\000\030\000\004\000\000\000\001\000\000\000\000\000\020\000\200\000\000\252\000\070\233\161' '\000\000\000\200\000\000\000\100' 40 8

# Tuning seeds: both file kinds, with and without errors.
printf '; tuning\n[Tuning]\nnote 0=0\nnote 69=6900\n' > "$work/tuning/int.tun"
printf '[Exact Tuning]\nbasefreq=440\nnote 0=0\nnote 1=100.5\nnote 12=1200\n' > "$work/tuning/exact.tun"
printf '[tuning] x\n' > "$work/tuning/bad.tun"
printf '! scale\ndescription\n 3\n3/2 fifth\n701.955\n2\n' > "$work/tuning/scale.scl"
printf 'd\n12\n100.0\n200.0\n300.0\n400.0\n500.0\n600.0\n700.0\n800.0\n900.0\n1000.0\n1100.0\n2/1\n' > "$work/tuning/12tet.scl"

# MIDI file seeds: the demo song.
cp "$root/demo/demo.mid" "$work/midi/"

# Envelope node text seeds ("(x, y)" points joined by ", ").
printf '(0, 0), (20, 255), (80, 150)' > "$work/nodes/three.txt"
printf '(0,0),(10,255),(20,128),' > "$work/nodes/tight.txt"
printf '  ( 5 , 7 )  ' > "$work/nodes/blanks.txt"
printf '(300, -1), (1' > "$work/nodes/bad.txt"

# Surface seeds: the inputs are operation sequences, so a few fixed byte
# patterns are enough for the fuzzer to start from.
i=0; pattern=''
while [ $i -lt 256 ]; do pattern="$pattern\\$(printf %03o $i)"; i=$((i + 1)); done
printf "$pattern" > "$work/surface/ascending"
printf '\001\000\003\001\000\003\002\060\003\003\010\003\004\377\003' > "$work/surface/render"
printf '\000\002\040\000\074\011\002\000\100\003\003\200\003' > "$work/surface/chord"

run() { # run <target> <seeds> [max_len]
    case " $targets " in *" $1 "*) ;; *) return 0 ;; esac
    mkdir -p "$corpora/corpus-$1"
    echo "== $1 for $seconds s"
    "$build/fuzz/$1" -max_total_time="$seconds" -max_len="${3:-65536}" -timeout="$timeout" -rss_limit_mb=2048 \
        -artifact_prefix="$build/fuzz-findings/$1-" -print_final_stats=1 "$corpora/corpus-$1" "$2"
}
run fuzz_wav_reader "$work/wav"
run fuzz_tuning_files "$work/tuning"
run fuzz_midi_file "$work/midi"
run fuzz_node_text "$work/nodes" 4096
run fuzz_sarnel_surface "$work/surface" 4096
run fuzz_marrowglint_surface "$work/surface" 4096
