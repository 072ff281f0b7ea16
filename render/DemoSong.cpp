#include "render/DemoSong.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace render {
namespace {

constexpr int kQuarter = kDemoTicksPerQuarter;
constexpr int kBar = 4 * kQuarter;
constexpr int kBars = 11;
constexpr int kChannel = 0;  // both instruments listen on every channel alike
constexpr int kBendCentre = 8192;

struct Chord {
  int bassRoot;
  int bassFifth;
  int padLow;
  int padHigh;
};

// One chord per bar; bar 10 changes chord halfway (G, then E).
constexpr std::array<Chord, kBars> kChords = {{
    {45, 52, 60, 64},  // Am
    {41, 48, 60, 65},  // F
    {48, 55, 64, 67},  // C
    {43, 50, 62, 67},  // G
    {45, 52, 60, 64},  // Am
    {38, 45, 62, 65},  // Dm
    {40, 47, 64, 68},  // E
    {45, 52, 60, 64},  // Am
    {41, 48, 60, 65},  // F
    {43, 50, 62, 67},  // G (E from the third beat)
    {45, 52, 60, 64},  // Am, held
}};
constexpr Chord kSecondHalfOfBar10 = {40, 47, 64, 68};

struct MelodyNote {
  int bar;         // from 0
  double beat;     // start within the bar
  double beats;    // length
  int note;
  int velocity;
};

constexpr std::array<MelodyNote, 27> kMelody = {{
    {2, 0.0, 1.5, 76, 84}, {2, 1.5, 0.5, 74, 70}, {2, 2.0, 1.0, 72, 78}, {2, 3.0, 1.0, 76, 88},
    {3, 0.0, 2.0, 74, 92}, {3, 2.0, 1.0, 71, 74}, {3, 3.0, 1.0, 67, 70},
    {4, 0.0, 1.0, 69, 86}, {4, 1.0, 1.0, 72, 80}, {4, 2.0, 1.5, 76, 96}, {4, 3.5, 0.5, 74, 72},
    {5, 0.0, 2.0, 77, 110}, {5, 2.0, 1.0, 76, 88}, {5, 3.0, 1.0, 74, 80},
    {6, 0.0, 1.0, 76, 90}, {6, 1.0, 1.0, 68, 76}, {6, 2.0, 1.0, 71, 82}, {6, 3.0, 1.0, 74, 94},
    {7, 0.0, 3.0, 72, 100}, {7, 3.0, 1.0, 71, 76},
    {8, 0.0, 1.5, 69, 84}, {8, 1.5, 0.5, 72, 72}, {8, 2.0, 2.0, 77, 104},
    {9, 0.0, 2.0, 74, 96}, {9, 2.0, 1.0, 71, 80}, {9, 3.0, 1.0, 68, 86},
    {10, 0.0, 4.0, 69, 92},
}};

std::int64_t at(int bar, double beat) {
  return static_cast<std::int64_t>(bar) * kBar + static_cast<std::int64_t>(std::lround(beat * kQuarter));
}

// Notes end a little before their slot does: the synthesizer frees a voice
// only when its release has finished, and it has exactly four.
void note(host::MidiFileWriter& song, int track, std::int64_t start, std::int64_t slot, int key, int velocity) {
  const std::int64_t gap = std::min<std::int64_t>(slot / 8, kQuarter / 8);
  song.noteOn(track, start, kChannel, key, velocity);
  song.noteOff(track, start + slot - gap, kChannel, key, 64);
}

void writeBass(host::MidiFileWriter& song, int track) {
  for (int bar = 0; bar < kBars; ++bar) {
    const Chord& chord = kChords[static_cast<std::size_t>(bar)];
    if (bar == kBars - 1) {
      note(song, track, at(bar, 0), 4 * kQuarter, chord.bassRoot, 96);
      continue;
    }
    const Chord& late = bar == 9 ? kSecondHalfOfBar10 : chord;
    note(song, track, at(bar, 0.0), kQuarter, chord.bassRoot, 104);
    note(song, track, at(bar, 1.0), kQuarter / 2, chord.bassRoot + 12, 72);
    note(song, track, at(bar, 1.5), kQuarter / 2, chord.bassRoot + 12, 62);
    note(song, track, at(bar, 2.0), kQuarter, late.bassFifth, 92);
    note(song, track, at(bar, 3.0), kQuarter, late.bassRoot, 80);
  }
}

void writePad(host::MidiFileWriter& song, int track) {
  for (int bar = 0; bar < kBars; ++bar) {
    const Chord& first = kChords[static_cast<std::size_t>(bar)];
    const Chord& second = bar == 9 ? kSecondHalfOfBar10 : first;
    if (bar == kBars - 1) {
      note(song, track, at(bar, 0), 4 * kQuarter, first.padLow, 70);
      note(song, track, at(bar, 0), 4 * kQuarter, first.padHigh, 66);
      continue;
    }
    note(song, track, at(bar, 0.0), 2 * kQuarter, first.padLow, 68);
    note(song, track, at(bar, 0.0), 2 * kQuarter, first.padHigh, 62);
    note(song, track, at(bar, 2.0), 2 * kQuarter, second.padLow, 56);
    note(song, track, at(bar, 2.0), 2 * kQuarter, second.padHigh, 52);
  }
}

void writeMelody(host::MidiFileWriter& song, int track) {
  song.controlChange(track, 0, kChannel, 1, 0);
  for (const MelodyNote& m : kMelody) {
    note(song, track, at(m.bar, m.beat), static_cast<std::int64_t>(std::lround(m.beats * kQuarter)), m.note,
         m.velocity);
  }
  // Bar 6: the high F scoops up from a whole tone below.
  const std::int64_t scoop = at(5, 0.0);
  for (int step = 0; step <= 8; ++step) {
    song.pitchBend(track, scoop + step * (kQuarter / 16), kChannel, kBendCentre - 4096 + step * 512);
  }
  // Bar 8: vibrato on the long C, the modulation wheel rising with it.
  for (int step = 0; step < 32; ++step) {
    const std::int64_t tick = at(7, 1.0) + step * (kQuarter / 16);
    const int depth = 40 + step * 12;
    song.pitchBend(track, tick, kChannel, kBendCentre + static_cast<int>(std::lround(depth * std::sin(step * 1.5708))));
    song.controlChange(track, tick, kChannel, 1, std::min(127, step * 4));
  }
  song.pitchBend(track, at(7, 3.0), kChannel, kBendCentre);
  song.controlChange(track, at(7, 3.0), kChannel, 1, 0);
  // The last chord fades with the expression controller.
  for (int step = 0; step <= 16; ++step) {
    song.controlChange(track, at(10, step * 0.25), kChannel, 11, 127 - step * 6);
  }
}

}  // namespace

host::MidiFileWriter composeDemoSong() {
  host::MidiFileWriter song(1, kDemoTicksPerQuarter);
  const int conductor = song.addTrack();
  song.text(conductor, 0, 0x03, "Vornhalt demo");
  song.meta(conductor, 0, 0x58, {4, 2, 24, 8});  // 4/4
  song.tempo(conductor, 0, 100.0);
  // A ritardando over the last two bars.
  song.tempo(conductor, at(9, 0.0), 92.0);
  song.tempo(conductor, at(9, 2.0), 84.0);
  song.tempo(conductor, at(10, 0.0), 72.0);
  song.endAt(conductor, at(kBars, 0.0));

  const int bass = song.addTrack();
  song.text(bass, 0, 0x03, "Bass");
  writeBass(song, bass);
  const int pad = song.addTrack();
  song.text(pad, 0, 0x03, "Pad");
  writePad(song, pad);
  const int melody = song.addTrack();
  song.text(melody, 0, 0x03, "Melody");
  writeMelody(song, melody);
  // A system-exclusive general reset at the start, as many files carry.
  song.systemExclusive(conductor, 0, {0x7E, 0x7F, 0x09, 0x01, 0xF7});
  return song;
}

}  // namespace render
