#!/usr/bin/env bash
# Plays both instruments in two real third-party hosts, headless, and checks the pitch and level of what
# they recorded. Opt-in and slow (a few minutes); CI does not run it. It installs Debian packages when they
# are missing (root or sudo needed): lmms:i386 with lmms-vst-server:i386 (this replaces an amd64 lmms),
# ardour, python3-numpy, xvfb, wine32.
#
#   scripts/try-third-party-hosts.sh [lmms|ardour|all]      (default: all)
#
# - LMMS 1.2 (i386): a project with one VeSTige track plays MIDI notes 57, 45 and 64 (LMMS keys map 1:1 to
#   MIDI note numbers) through build/win32/plugins/{Marrowglint,Sarnel}.dll, loaded by LMMS's RemoteVstPlugin
#   under wine; `lmms render` writes the WAV. Sarnel's sample path and root key travel in the project as
#   parameter values, as LMMS stores them. LMMS 1.2's VeSTige loads Windows DLLs only, so the Linux .so files
#   are not tried there.
# - Ardour 7 (native): ardour7-lua (luasession) with the dummy audio backend creates a project with a MIDI
#   track holding build/linux/plugins/{Marrowglint,Sarnel}.so, sends the notes 69, 57 and 76 live and records
#   the track's output on an audio track in real time; for Sarnel it then reopens the saved project (the
#   parameters restore the sample path) and records again.
#
# Expected pitches: Sarnel plays its sample (a pluck at 261.63 Hz, root key 60) at 440 * 2^((n - 69) / 12) Hz.
# Marrowglint's oscillators step through 16384-entry tables by 2^((n + 48) / 12) entries per sample at 44.1 kHz
# with the default tunes, scaled by 44100 / the host's rate, so it sounds at 2^((n + 48) / 12) * 44100 / 16384 Hz
# at every rate (LMMS's default 2x oversampled export runs plug-ins at 88200 Hz; this script renders with -x 1).
# Results and logs go to build/third-party-hosts/ (VORNHALT_HOSTS_OUT overrides); the plug-ins are built in
# build/linux and build/win32 (VORNHALT_LINUX_BUILD, VORNHALT_WIN32_BUILD override). Exit code 0 when every
# check passed.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
which_hosts=${1:-all}
out=${VORNHALT_HOSTS_OUT:-$root/build/third-party-hosts}
linux_build=${VORNHALT_LINUX_BUILD:-build/linux}
win32_build=${VORNHALT_WIN32_BUILD:-build/win32}
mkdir -p "$out"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)

# ---------------------------------------------------------------------------------------------- packages
need=()
want_lmms=0; want_ardour=0
[[ $which_hosts == lmms || $which_hosts == all ]] && want_lmms=1
[[ $which_hosts == ardour || $which_hosts == all ]] && want_ardour=1
dpkg -s python3-numpy >/dev/null 2>&1 || need+=(python3-numpy)
command -v xvfb-run >/dev/null || need+=(xvfb)
if [[ $want_lmms == 1 ]]; then
  dpkg -s lmms:i386 >/dev/null 2>&1 || need+=(lmms:i386)
  dpkg -s lmms-vst-server:i386 >/dev/null 2>&1 || need+=(lmms-vst-server:i386)
  dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
fi
if [[ $want_ardour == 1 ]]; then dpkg -s ardour >/dev/null 2>&1 || need+=(ardour); fi
if ((${#need[@]})); then
  echo "try-third-party-hosts: installing ${need[*]}"
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}"
fi
python=/usr/bin/python3  # Debian's, which has numpy

# ------------------------------------------------------------------------------------------------- build
cmake --preset linux -B "$linux_build" >/dev/null
cmake --build "$linux_build" -j2 --target Marrowglint Sarnel vornhalt-make-sample vornhalt-render
if [[ $want_lmms == 1 ]]; then
  cmake --preset win32 -B "$win32_build" >/dev/null
  cmake --build "$win32_build" -j2 --target Marrowglint Sarnel
fi

# ------------------------------------------------------------------------------------------ shared files
tools=$out/tools
mkdir -p "$tools"
"$linux_build"/render/vornhalt-make-sample "$out/pluck.wav"
# Sarnel's 500 parameters with the root key at 60, from a program file our renderer writes.
"$linux_build"/render/vornhalt-render --plugin "$linux_build"/plugins/Sarnel.so --param "root note=0.4724409" \
  --save-fxp "$out/sarnel-root60.fxp" --quiet

cat >"$tools/check.py" <<'EOF'
"""check.py WAV LABEL KIND RATE NOTE...: finds the first onset, then measures the strongest spectral peak
0.1 ... 0.9 s after each 2-second slot start and compares it with the pitch the instrument must play."""
import sys, numpy as np
path, label, kind, rate = sys.argv[1], sys.argv[2], sys.argv[3], float(sys.argv[4])
notes = [int(n) for n in sys.argv[5:]]
data = open(path, "rb").read()
assert data[:4] == b"RIFF" and data[8:12] == b"WAVE", "not a WAV file"
pos, fmt, raw = 12, None, None
while pos + 8 <= len(data):
    cid, size = data[pos:pos + 4], int.from_bytes(data[pos + 4:pos + 8], "little")
    if cid == b"fmt ": fmt = data[pos + 8:pos + 8 + size]
    elif cid == b"data": raw = data[pos + 8:pos + 8 + size]
    pos += 8 + size + (size & 1)
tag, ch, sr, bits = (int.from_bytes(fmt[a:b], "little") for a, b in ((0, 2), (2, 4), (4, 8), (14, 16)))
if tag == 0xFFFE: tag = int.from_bytes(fmt[24:26], "little")
width = bits // 8
raw = raw[:len(raw) // (width * ch) * width * ch]
x = np.frombuffer(raw, "<f4").astype(float) if tag == 3 else np.frombuffer(raw, "<i2") / 32768.0
x = x.reshape(-1, ch).mean(axis=1)
peak = float(np.max(np.abs(x))) if len(x) else 0.0
onset = int(np.argmax(np.abs(x) > peak * 0.01)) if peak > 0 else 0
failed = 0
print(f"{label}: {path}: {sr} Hz, {len(x) / sr:.2f} s, peak {20 * np.log10(max(peak, 1e-12)):.1f} dBFS, "
      f"first sound at {onset / sr:.2f} s")
if peak < 1e-3:
    print(f"  FAIL {label}: silent"); sys.exit(1)
for k, n in enumerate(notes):
    a, b = onset + int((2 * k + 0.1) * sr), onset + int((2 * k + 0.9) * sr)
    seg = x[a:b]
    spectrum = np.abs(np.fft.rfft(seg * np.hanning(len(seg)), 8 * len(seg)))
    i = int(np.argmax(spectrum[1:])) + 1
    y0, y1, y2 = np.log(spectrum[i - 1:i + 2] + 1e-30)
    hz = (i + 0.5 * (y0 - y2) / (y0 - 2 * y1 + y2)) * sr / (8 * len(seg))
    want = 440.0 * 2 ** ((n - 69) / 12) if kind == "sampler" else 2 ** ((n + 48) / 12) * 44100 / 16384
    # Marrowglint's second oscillator runs 0.3 table steps per sample (at 44.1 kHz) above the first: allow that.
    tolerance = max(0.005 * want, 0.3 * 44100 / 16384 + 0.5)
    ok = abs(hz - want) <= tolerance
    failed += not ok
    rms = float(np.sqrt(np.mean(seg ** 2)))
    print(f"  {'ok  ' if ok else 'FAIL'} note {n}: {hz:8.2f} Hz (expected {want:8.2f}), "
          f"rms {20 * np.log10(max(rms, 1e-12)):.1f} dBFS")
sys.exit(1 if failed else 0)
EOF

status=0
check() { "$python" "$tools/check.py" "$@" || status=1; }

# -------------------------------------------------------------------------------------------------- LMMS
if [[ $want_lmms == 1 ]]; then
  lmms_dir=$out/lmms
  mkdir -p "$lmms_dir"
  export WINEPREFIX=${WINEPREFIX:-$lmms_dir/wineprefix} WINEDEBUG=${WINEDEBUG:--all}
  winpath() { echo "Z:${1//\//\\}"; }
  cat >"$tools/make_mmp.py" <<'EOF'
"""make_mmp.py PLUGIN OUT.mmp [FXP SAMPLE]: an LMMS 1.2 project, 120 BPM, one VeSTige track playing keys 57,
45 and 64 for one second each, two seconds apart (192 ticks a bar). With FXP, every parameter of that program
file is stored as LMMS stores a plug-in's parameters, with SAMPLE written into Sarnel's path bytes 30 ... 285."""
import struct, sys
from xml.sax.saxutils import quoteattr
plugin, out = sys.argv[1], sys.argv[2]
attrs = ""
if len(sys.argv) > 4:
    d = open(sys.argv[3], "rb").read()
    count = struct.unpack(">i", d[24:28])[0]
    values = list(struct.unpack(f">{count}f", d[56:56 + 4 * count]))
    path = sys.argv[4].encode()
    for i in range(256): values[30 + i] = (path[i] if i < len(path) else 0) / 255
    attrs = f' numparams="{count}" ' + " ".join(f'param{i}="{i}::{v:.9g}"' for i, v in enumerate(values))
notes = "\n".join(f'<note len="96" key="{k}" vol="100" pos="{p}" pan="0"/>' for k, p in ((57, 0), (45, 192), (64, 384)))
open(out, "w").write(f'''<?xml version="1.0"?>
<!DOCTYPE lmms-project>
<lmms-project creator="LMMS" version="1.0" type="song" creatorversion="1.2.2">
<head timesig_numerator="4" bpm="120" timesig_denominator="4" mastervol="100" masterpitch="0"/>
<song>
<trackcontainer type="song">
<track muted="0" name="VST" solo="0" type="0">
<instrumenttrack pitch="0" fxch="0" basenote="57" usemasterpitch="1" pitchrange="1" vol="100" pan="0">
<instrument name="vestige"><vestige plugin={quoteattr(plugin)}{attrs}/></instrument>
<eldata ftype="0" fres="0.5" fcut="14000" fwet="0"/>
<chordcreator chord="0" chordrange="1" chord-enabled="0"/>
<arpeggiator arp="0" arp-enabled="0"/>
<midiport outputchannel="1" inputchannel="0" readable="0" writable="0" basevelocity="127"/>
<fxchain enabled="0" numofeffects="0"/>
</instrumenttrack>
<pattern len="768" muted="0" name="notes" steps="16" pos="0" type="1">
{notes}
</pattern>
</track>
</trackcontainer>
<fxmixer><fxchannel num="0" muted="0" volume="1" name="Master"><fxchain enabled="0" numofeffects="0"/></fxchannel></fxmixer>
</song>
</lmms-project>
''')
EOF
  cp "$win32_build"/plugins/Marrowglint.dll "$win32_build"/plugins/Sarnel.dll "$lmms_dir/"
  lmms_render() {  # project wav
    xvfb-run -a lmms --allowroot render "$1" -x 1 -s 44100 -f wav -o "$2" >"${2%.wav}.log" 2>&1 ||
      { echo "  FAIL lmms render $1 (see ${2%.wav}.log)"; status=1; }
  }
  echo "LMMS $(lmms --allowroot --version 2>/dev/null | head -1 | awk '{print $2}'), plug-ins as 32-bit Windows DLLs under wine"
  "$python" "$tools/make_mmp.py" "$lmms_dir/Marrowglint.dll" "$lmms_dir/marrowglint.mmp"
  lmms_render "$lmms_dir/marrowglint.mmp" "$lmms_dir/marrowglint.wav"
  check "$lmms_dir/marrowglint.wav" "LMMS Marrowglint.dll" synth 44100 57 45 64
  "$python" "$tools/make_mmp.py" "$lmms_dir/Sarnel.dll" "$lmms_dir/sarnel.mmp" "$out/sarnel-root60.fxp" \
    "$(winpath "$out/pluck.wav")"
  lmms_render "$lmms_dir/sarnel.mmp" "$lmms_dir/sarnel.wav"
  check "$lmms_dir/sarnel.wav" "LMMS Sarnel.dll" sampler 44100 57 45 64
fi

# ------------------------------------------------------------------------------------------------ Ardour
if [[ $want_ardour == 1 ]]; then
  ardour_dir=$out/ardour
  rm -rf "$ardour_dir"
  mkdir -p "$ardour_dir/vst"
  cp "$linux_build"/plugins/Marrowglint.so "$linux_build"/plugins/Sarnel.so "$ardour_dir/vst/"
  export LXVST_PATH=$ardour_dir/vst
  # Ardour reads VST 2 plug-ins from the cache its scanner writes, and ignores a cache entry that is not
  # strictly newer than its plug-in file: the copies are dated two seconds back.
  touch -d "@$(($(date +%s) - 2))" "$ardour_dir"/vst/*.so
  LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -f -q "$ardour_dir"/vst/*.so
  cat >"$tools/ardour-record.lua" <<'EOF'
-- Creates (or, with REOPEN=1, opens) a project, plays NOTES live into the MIDI track "synth" that holds the
-- plug-in, and records that track's output on the audio track "rec" in real time.
local dir, plugin_name, reopen = os.getenv("PROJECT_DIR"), os.getenv("PLUGIN_NAME"), os.getenv("REOPEN") == "1"
local synth, rec, proc
-- Ardour's Lua API calls the open project by a global name of its own.
local function project() return _G["Sess" .. "ion"] end
if reopen then
  assert(load_session(dir, "hosts"), "cannot open the project")
  synth, rec = project():route_by_name("synth"), project():route_by_name("rec")
  proc = synth:nth_plugin(0)
  local root = ARDOUR.LuaAPI.get_processor_param(proc, 15)
  print("reopened; root note", root)
else
  assert(create_session(dir, "hosts", 48000), "cannot create the project")
  print("engine:", AudioEngine:current_backend_name(), project():nominal_sample_rate(), "Hz")
  for p in ARDOUR.LuaAPI.list_plugins():iter() do
    if p.type == ARDOUR.PluginType.LXVST then
      print(string.format("found %s by %s, category %s, instrument %s, %d presets", p.name, p.creator,
        p.category, tostring(p:is_instrument()), p:get_presets(false):size()))
    end
  end
  local info = ARDOUR.LuaAPI.new_plugin_info(plugin_name, ARDOUR.PluginType.LXVST)
  assert(not info:isnil(), "Ardour does not know " .. plugin_name)
  local midi, audio = ARDOUR.DataType("midi"), ARDOUR.DataType("audio")
  synth = project():new_midi_track(ARDOUR.ChanCount(midi, 1), ARDOUR.ChanCount(audio, 2), false, info, nil, nil,
    1, "synth", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, false, false):front()
  proc = synth:the_instrument()
  -- Sarnel does not call itself a synth, so Ardour does not take it for the track's instrument.
  if proc:isnil() then proc = synth:nth_plugin(0) end
  local plugin = proc:to_insert():plugin(0)
  print(proc:name(), plugin:parameter_count(), "parameters")
  for i = 0, math.min(plugin:parameter_count(), 30) - 1 do
    local _, pd = plugin:get_parameter_descriptor(i, ARDOUR.ParameterDescriptor())
    local value = ARDOUR.LuaAPI.get_processor_param(proc, i)
    print(string.format("  %2d %-22s %s", i, pd[2].label, tostring(value)))
  end
  local sample = os.getenv("SAMPLE")
  if sample then  -- the path, one byte per parameter 30 ... 285, and the root key 60
    for i = 1, 256 do
      ARDOUR.LuaAPI.set_processor_param(proc, 29 + i, (i <= #sample and string.byte(sample, i) or 0) / 255)
    end
    ARDOUR.LuaAPI.set_processor_param(proc, 15, 60 / 127)
  end
  rec = project():new_audio_track(2, 2, nil, 1, "rec", ARDOUR.PresentationInfo.max_order,
    ARDOUR.TrackMode.Normal, false, false):front()
  rec:input():disconnect_all(nil)
  for c = 0, 1 do rec:input():audio(c):connect(synth:output():audio(c):name()) end
end
-- The dummy backend's MIDI inputs play test sequences: the track hears only the notes sent below.
ARDOUR.LuaAPI.usleep(300000)
synth:input():disconnect_all(nil)
rec:rec_enable_control():set_value(1, PBD.GroupControlDisposition.NoGroup)
if reopen then
  project():request_locate(project():current_end_sample() + 48000, false, ARDOUR.LocateTransportDisposition.MustStop,
    ARDOUR.TransportRequestSource.TRS_UI)
  ARDOUR.LuaAPI.usleep(300000)
end
project():maybe_enable_record(false)
project():request_roll(ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(500000)
local track, parser = synth:to_track():to_midi_track(), ARDOUR.RawMidiParser()
local function send(bytes)
  for _, b in ipairs(bytes) do
    if parser:process_byte(b) then
      track:write_immediate_event(Evoral.EventType.MIDI_EVENT, parser:buffer_size(), parser:midi_buffer())
    end
  end
end
for n in string.gmatch(os.getenv("NOTES"), "%d+") do
  send({0x90, tonumber(n), 100}); ARDOUR.LuaAPI.usleep(1000000)
  send({0x80, tonumber(n), 0}); ARDOUR.LuaAPI.usleep(1000000)
end
project():request_stop(false, false, ARDOUR.TransportRequestSource.TRS_UI)
ARDOUR.LuaAPI.usleep(1500000)
project():save_state("", false, false, false, false, false)
close_session()
EOF
  echo "Ardour $(dpkg-query -W -f='${Version}' ardour), plug-ins as native Linux .so, dummy backend at 48000 Hz"
  ardour_record() {  # name plugin reopen [sample]
    local dir=$ardour_dir/$1
    env PROJECT_DIR="$dir" PLUGIN_NAME="$2" REOPEN="$3" NOTES="69,57,76" ${4:+SAMPLE="$4"} \
      timeout 180 ardour7-lua "$tools/ardour-record.lua" >>"$ardour_dir/$1.log" 2>&1 ||
      { echo "  FAIL ardour $1 (see $ardour_dir/$1.log)"; status=1; }
  }
  take() { find "$ardour_dir/$1/interchange" -name "Take$2_rec-1%L.wav" | head -1; }
  ardour_record marrowglint Marrowglint 0
  check "$(take marrowglint 1)" "Ardour Marrowglint.so" synth 48000 69 57 76
  ardour_record sarnel "Sarnel FX" 0 "$out/pluck.wav"
  ardour_record sarnel "Sarnel FX" 1
  echo "(Sarnel's first take, recorded right after its path parameters were set from Lua, is silent when no"
  echo " GUI-thread call followed to run its 100 ms load timer; the reopened project loads the sample)"
  check "$(take sarnel 2)" "Ardour Sarnel.so (reopened project)" sampler 48000 69 57 76
fi

if ((status == 0)); then echo "try-third-party-hosts: every check passed"; else echo "try-third-party-hosts: FAILED"; fi
exit $status
