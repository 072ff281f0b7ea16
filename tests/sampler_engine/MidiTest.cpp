// Sarnel's MIDI handling: monophonic glide both ways, all notes off,
// controllers and pitch bend driving parameters, learning and inverting.

#include <gtest/gtest.h>

#include <vector>

#include "tests/sampler_engine/EngineFixture.h"

namespace {

using namespace sarnel;
using sarneltest::Block;
using sarneltest::EngineTest;

class SarnelMidi : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    sarneltest::makeEnvelopeImmediate(*plugin);
    loadWave("dc.wav", std::vector<float>(4096, 0.25f), 1);
    plugin->setParameter(kLoopMode, 1.0f / 3.0f);
  }
  void send(const std::vector<host::MidiMessage>& messages) { sarneltest::sendMidi(*plugin, messages); }
  void run(int frames) {
    Block block(frames);
    block.replacing(*plugin);
  }
  const TVoiceBank& voices() const { return plugin->voiceBank(); }
};

TEST_F(SarnelMidi, MonophonicGlideMovesLinearlyAndBackWithoutANewAttack) {
  plugin->setParameter(kPortamento, 1.0f);
  plugin->setParameter(kPortamentoTime, 0.1f);  // round(44100 x 0.1) = 4410 frames
  plugin->setParameter(kAttack, 0.5f);          // a slow attack shows whether it restarts
  send({host::noteOn(0, 72, 100)});
  run(100);
  EXPECT_EQ(voices().ratio[0], 1.0f);
  const std::int32_t positionBefore = voices().position[0];

  send({host::noteOn(0, 84, 100)});  // an octave up: ratio 2
  run(2205);
  EXPECT_EQ(voices().note[0], 72);   // the voice keeps its note and position
  EXPECT_GT(voices().position[0], positionBefore);
  EXPECT_FALSE(voices().isActive(1));
  const float t = 2205.0f / 4410.0f;
  EXPECT_EQ(voices().ratio[0], (1.0f - t) * 1.0f + t * 2.0f);
  run(2205);
  EXPECT_EQ(voices().ratio[0], 2.0f);

  send({host::noteOff(0, 84)});      // back to the held note
  run(4410);
  EXPECT_EQ(voices().ratio[0], 1.0f);
  EXPECT_TRUE(voices().isActive(0));
}

TEST_F(SarnelMidi, MonophonicReleasingTheSoundingNoteReleasesTheVoice) {
  plugin->setParameter(kPortamento, 0.5f);  // at 0.5: monophonic
  send({host::noteOn(0, 60, 100), host::noteOn(0, 67, 100)});
  run(8);
  send({host::noteOff(0, 60)});
  run(2);
  EXPECT_FALSE(voices().isActive(0));
}

TEST_F(SarnelMidi, AllNotesOffReleasesEveryVoice) {
  send({host::noteOn(0, 60, 100), host::noteOn(0, 62, 100), host::noteOn(0, 64, 100)});
  run(4);
  send({host::controlChange(0, 123, 0)});
  run(2);
  for (int v = 0; v < 3; ++v) EXPECT_FALSE(voices().isActive(v)) << v;
}

TEST_F(SarnelMidi, AllNotesOffCommandFromTheGuiThreadTakesEffectAtTheNextBlock) {
  send({host::noteOn(0, 60, 100)});
  run(4);
  plugin->setParameter(kCommandAllNotesOff, 1.0f);
  run(2);
  EXPECT_FALSE(voices().isActive(0));
}

TEST_F(SarnelMidi, PlayCommandsStartVoicesFiveAndSix) {
  plugin->setParameter(kCommandPlayVoice6, 1.0f);
  run(2);
  EXPECT_EQ(voices().note[6], 72);
  plugin->setParameter(kCommandPlayVoice6, 0.0f);
  run(2);
  EXPECT_FALSE(voices().isActive(6));
  plugin->setParameter(kCommandPlayVoice5, 1.0f);  // reloads the program's sample first
  run(2);
  EXPECT_EQ(voices().note[5], 65);
  EXPECT_EQ(voices().note[0], -1);
}

TEST_F(SarnelMidi, ControllerSevenOnVolumeDirectInvertedAndLearned) {
  plugin->setParameter(kCommandControllerFirst + kVolume, 7.0f / 200.0f);
  ASSERT_EQ(plugin->controllerAssignment(kVolume), 7);
  send({host::controlChange(0, 7, 64)});
  EXPECT_EQ(plugin->getParameter(kVolume), 64.0f / 127.0f);
  // The program follows the controller too.
  EXPECT_EQ(plugin->program().params[kVolume].load(), 64.0f / 127.0f);
  // Another controller, and assignment 0, leave it alone.
  send({host::controlChange(0, 0, 10), host::controlChange(0, 8, 10)});
  EXPECT_EQ(plugin->getParameter(kVolume), 64.0f / 127.0f);

  plugin->setParameter(kCommandControllerFirst + kVolume, 1.0f);  // learn
  send({host::controlChange(0, 7, 20)});
  EXPECT_EQ(plugin->controllerAssignment(kVolume), 7);
  EXPECT_EQ(plugin->getParameter(kVolume), 64.0f / 127.0f);  // the learning message sets nothing
  send({host::controlChange(0, 7, 20)});
  EXPECT_EQ(plugin->getParameter(kVolume), 20.0f / 127.0f);
  // A learned assignment reaches the settings only through the command.
  EXPECT_EQ(store->readText(kSettingsSubkey, "CC 13"), "200");
}

TEST_F(SarnelMidi, InvertedAssignmentsFromTheSettings) {
  plugin.reset();
  store->setText(kSettingsSubkey, "CC 13", "-7");
  store->setText(kSettingsSubkey, "CC 1", "-200");
  plugin = makePlugin();
  send({host::pitchBend(0, 100 << 7)});  // the first message of any kind is learned, inverted
  EXPECT_EQ(plugin->controllerAssignment(kPitch), -128);
  EXPECT_EQ(plugin->getParameter(kPitch), 0.75f);
  send({host::controlChange(0, 7, 64)});
  EXPECT_EQ(plugin->getParameter(kVolume), 1.0f - 64.0f / 127.0f);
  EXPECT_EQ(plugin->getParameter(kPitch), 0.75f);
  send({host::pitchBend(0, (32 << 7) | 127)});  // only the most significant byte counts
  EXPECT_EQ(plugin->getParameter(kPitch), 1.0f - 32.0f / 127.0f);
}

TEST_F(SarnelMidi, OtherMessagesAndEventTypesAreIgnored) {
  host::EventList list;
  list.add({0xA0, 60, 100, 0});  // aftertouch
  list.add({0xC0, 5, 0, 0});     // program change
  list.addNonMidi(6);            // not MIDI at all
  EXPECT_EQ(plugin->processEvents(list.get()), 1);
  run(2);
  for (int v = 0; v < kNumVoices; ++v) EXPECT_FALSE(voices().isActive(v));
  host::EventList empty;
  EXPECT_EQ(plugin->processEvents(empty.get()), 1);
}

// A host's list holds more events than the two slots the record declares;
// every one is read (a bounds-checking sanitizer flags indexing the declared
// array past its end).
TEST_F(SarnelMidi, EveryEventOfAListLongerThanTheRecordIsRead) {
  send({host::noteOn(0, 60, 100), host::noteOn(0, 61, 100), host::noteOn(0, 62, 100), host::noteOn(0, 63, 100),
        host::noteOn(0, 64, 100)});
  run(2);
  for (int v = 0; v < 5; ++v) EXPECT_EQ(voices().note[static_cast<std::size_t>(v)], 60 + v);
}

TEST_F(SarnelMidi, TheChannelIsIgnored) {
  send({host::noteOn(9, 60, 100)});
  run(2);
  EXPECT_EQ(voices().note[0], 60);
  send({host::noteOff(3, 60)});
  run(2);
  EXPECT_FALSE(voices().isActive(0));
}

TEST_F(SarnelMidi, AnLfoWritesItsTargetEveryFiftyFrames) {
  plugin->setParameter(kLfo1Destination, 1.0f);  // volume
  plugin->setParameter(kLfo1Waveform, 0.6f);     // round(3) = square
  plugin->setParameter(kLfo1DepthMin, 0.25f);
  plugin->setParameter(kLfo1DepthMax, 0.75f);
  plugin->setParameter(kLfo1Rate, 0.5f);
  run(1);  // the destination change evaluates at once
  const float first = plugin->getParameter(kVolume);
  EXPECT_EQ(first, 0.75f);  // the square's first half is 1
  plugin->setParameter(kVolume, 0.1f);
  run(49);
  EXPECT_EQ(plugin->getParameter(kVolume), 0.1f);  // not yet
  run(1);
  EXPECT_EQ(plugin->getParameter(kVolume), 0.75f);
  EXPECT_EQ(plugin->lfoValue(1), 0.75f);
}

}  // namespace
