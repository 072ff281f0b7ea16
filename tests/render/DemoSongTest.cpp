// The committed demo song: it is what the composer writes, it lasts 20 to 30
// seconds, it uses notes, velocities, controllers and pitch bend, and it never
// needs more than the synthesizer's four voices.

#include <gtest/gtest.h>

#include <set>

#include "host/MidiFile.h"
#include "render/DemoSong.h"
#include "tests/render/RenderTestSupport.h"

namespace {

TEST(DemoSong, TheCommittedFileIsTheComposersOutput) {
  const std::vector<std::uint8_t> committed = render_test::readBytes(VORNHALT_DEMO_MIDI);
  ASSERT_FALSE(committed.empty()) << "demo/demo.mid is missing";
  EXPECT_EQ(committed, render::composeDemoSong().bytes())
      << "regenerate it: vornhalt-compose-demo demo/demo.mid";
}

TEST(DemoSong, ItIsAShortPieceForAFewVoicesWithExpression) {
  const host::MidiSong song = host::readMidiFile(VORNHALT_DEMO_MIDI);
  EXPECT_EQ(song.format, 1);
  EXPECT_EQ(song.trackCount, 4);
  EXPECT_GE(song.endSeconds, 20.0);
  EXPECT_LE(song.endSeconds, 30.0);
  EXPECT_GE(song.tempos.size(), 3u);  // a ritardando at the end
  std::set<int> velocities;
  int bends = 0;
  int controllers = 0;
  for (const host::SongEvent& event : song.events) {
    if ((event.status & 0xF0) == 0x90 && event.data2 > 0) velocities.insert(event.data2);
    bends += (event.status & 0xF0) == 0xE0;
    controllers += (event.status & 0xF0) == 0xB0;
  }
  EXPECT_GE(velocities.size(), 10u);
  EXPECT_GT(bends, 10);
  EXPECT_GT(controllers, 10);
}

TEST(DemoSong, NoMoreThanFourVoicesEvenCountingShortReleases) {
  // The synthesizer frees a voice only after its release (100 samples at its
  // fastest): a note-on needs a voice that is free by then.
  const host::MidiSong song = host::readMidiFile(VORNHALT_DEMO_MIDI);
  constexpr double kRelease = 0.01;
  std::vector<double> releasedAt(128, -1.0);
  std::vector<bool> held(128, false);
  int maxVoices = 0;
  for (const host::SongEvent& event : song.events) {
    const int kind = event.status & 0xF0;
    if (kind == 0x80 || (kind == 0x90 && event.data2 == 0)) {
      held[event.data1] = false;
      releasedAt[event.data1] = event.seconds;
    } else if (kind == 0x90) {
      held[event.data1] = true;
      int busy = 0;
      for (int note = 0; note < 128; ++note) {
        busy += held[note] || (releasedAt[note] >= 0.0 && event.seconds - releasedAt[note] < kRelease);
      }
      maxVoices = std::max(maxVoices, busy);
    }
  }
  EXPECT_LE(maxVoices, 4);
  EXPECT_GE(maxVoices, 3);
}

}  // namespace
