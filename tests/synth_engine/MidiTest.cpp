// MIDI: notes, velocity-0 note-offs, controllers and pitch bend through the
// assignment table, and learning.

#include <gtest/gtest.h>

#include "tests/synth_engine/SynthTestSupport.h"

namespace {

using namespace marrowglint;
using synthtest::makePlugin;
using synthtest::sendMidi;

std::shared_ptr<platform::MemorySettingsStore> storeWith(const std::vector<std::pair<const char*, int>>& values) {
  auto store = std::make_shared<platform::MemorySettingsStore>();
  for (const auto& [name, value] : values) store->setText(kSettingsSubkey, name, std::to_string(value));
  return store;
}

void render(APlugin& plugin, int frames) {
  synthtest::Block block(frames);
  block.replacing(plugin);
}

TEST(SynthMidi, EmptyAndForeignEventListsChangeNothing) {
  auto plugin = makePlugin();
  synthtest::Events empty;
  EXPECT_EQ(plugin->processEvents(empty.get()), 1);
  EXPECT_EQ(plugin->dispatcher(vst::effProcessEvents, 0, 0, empty.get(), 0.0f), 1);
  synthtest::Events foreign;
  foreign.addOtherType(2);
  EXPECT_EQ(plugin->processEvents(foreign.get()), 1);
  EXPECT_EQ(plugin->processEvents(nullptr), 1);
  for (int v = 1; v <= 4; ++v) EXPECT_EQ(plugin->voice(v).state, kEnvelopeIdle);
}

TEST(SynthMidi, NotesOnEveryChannelShiftedByGlobalTune) {
  auto plugin = makePlugin();
  sendMidi(*plugin, {host::noteOn(15, 60, 100)});
  EXPECT_EQ(plugin->voice(4).note, 108);
  plugin->setParameter(kGTune, 0.0f);
  sendMidi(*plugin, {host::noteOn(3, 60, 100)});
  EXPECT_EQ(plugin->voice(3).note, 84);
  plugin->setParameter(kGTune, 1.0f);
  sendMidi(*plugin, {host::noteOn(0, 60, 100)});
  EXPECT_EQ(plugin->voice(2).note, 132);
  // Only the low seven bits of the note count.
  plugin->setParameter(kGTune, 0.5f);
  sendMidi(*plugin, {{0x90, 0x80 | 5, 100, 0}});
  EXPECT_EQ(plugin->voice(1).note, 53);
}

TEST(SynthMidi, VelocityZeroReleasesLikeNoteOff) {
  auto plugin = makePlugin();
  sendMidi(*plugin, {host::noteOn(0, 60, 100), host::noteOn(0, 64, 100)});
  render(*plugin, 50);
  sendMidi(*plugin, {host::noteOn(0, 60, 0)});
  EXPECT_EQ(plugin->voice(4).state, kEnvelopeRelease);
  EXPECT_EQ(plugin->voice(3).state, kEnvelopeAttack);
  EXPECT_EQ(plugin->voice(4).note, 108);  // cleared by the envelope, not the note-off
  sendMidi(*plugin, {host::noteOff(2, 64, 99)});  // a note-off's velocity is ignored
  EXPECT_EQ(plugin->voice(3).state, kEnvelopeRelease);
}

TEST(SynthMidi, NoteOffForAnUnheldNoteChangesNothing) {
  auto plugin = makePlugin();
  sendMidi(*plugin, {host::noteOn(0, 60, 100)});
  render(*plugin, 20);
  const TVoice before = plugin->voice(4);
  sendMidi(*plugin, {host::noteOff(0, 61), host::noteOn(0, 62, 0)});
  EXPECT_EQ(plugin->voice(4).state, before.state);
  EXPECT_EQ(plugin->voice(4).level, before.level);
  EXPECT_EQ(plugin->voice(4).rate, before.rate);
}

TEST(SynthMidi, ControllerSetsAndInvertsItsParameter) {
  auto plugin = makePlugin(storeWith({{"CC Cutoff", 74}}));
  EXPECT_EQ(plugin->controllerEntry(2), 74);
  sendMidi(*plugin, {host::controlChange(0, 74, 127)});
  EXPECT_EQ(plugin->getParameter(kCut), 1.0f);
  EXPECT_EQ(plugin->program(0).value(kCut), 1.0f);  // into the current program too
  sendMidi(*plugin, {host::controlChange(5, 74, 64)});
  EXPECT_EQ(plugin->getParameter(kCut), 64.0f / 127.0f);

  auto inverted = makePlugin(storeWith({{"CC Cutoff", -74}}));
  sendMidi(*inverted, {host::controlChange(0, 74, 127)});
  EXPECT_EQ(inverted->getParameter(kCut), 0.0f);
  sendMidi(*inverted, {host::controlChange(0, 74, 0)});
  EXPECT_EQ(inverted->getParameter(kCut), 1.0f);
  // Other controllers leave it alone.
  sendMidi(*inverted, {host::controlChange(0, 75, 0), host::controlChange(0, 73, 0)});
  EXPECT_EQ(inverted->getParameter(kCut), 1.0f);
}

TEST(SynthMidi, EverySlotDrivesItsParameter) {
  std::vector<std::pair<const char*, int>> values;
  for (int i = 0; i < kNumControllerSlots; ++i) values.emplace_back(kControllerSlots[static_cast<std::size_t>(i)].settingName, 20 + i);
  auto plugin = makePlugin(storeWith(values));
  for (int i = 0; i < kNumControllerSlots; ++i) {
    const int parameter = kControllerSlots[static_cast<std::size_t>(i)].parameter;
    sendMidi(*plugin, {host::controlChange(0, 20 + i, 13)});
    EXPECT_EQ(plugin->getParameter(parameter), 13.0f / 127.0f) << i;
  }
}

TEST(SynthMidi, LearnTwoSlotsFromOneMessage) {
  auto plugin = makePlugin(storeWith({{"CC Resonance", 200}, {"CC Cutoff", 200}}));
  const float reso = plugin->getParameter(kReso);
  const float cut = plugin->getParameter(kCut);
  sendMidi(*plugin, {host::controlChange(0, 20, 100)});
  EXPECT_EQ(plugin->controllerEntry(1), 20);
  EXPECT_EQ(plugin->controllerEntry(2), 20);
  EXPECT_EQ(plugin->getParameter(kReso), reso);  // the learning message applies nothing
  EXPECT_EQ(plugin->getParameter(kCut), cut);
  sendMidi(*plugin, {host::controlChange(0, 20, 50)});
  EXPECT_EQ(plugin->getParameter(kReso), 50.0f / 127.0f);
  EXPECT_EQ(plugin->getParameter(kCut), 50.0f / 127.0f);
}

TEST(SynthMidi, LearnAlongsideAnAssignedSlotAndInvertedLearn) {
  auto plugin = makePlugin(storeWith({{"CC Resonance", 30}, {"CC Cutoff", 200}, {"CC Effect1", -200}}));
  sendMidi(*plugin, {host::controlChange(0, 30, 127)});
  EXPECT_EQ(plugin->getParameter(kReso), 1.0f);  // the assigned slot applies the learning message
  EXPECT_EQ(plugin->controllerEntry(2), 30);
  EXPECT_EQ(plugin->controllerEntry(3), -30);
  EXPECT_EQ(plugin->getParameter(kPWM), 0.0f);
  sendMidi(*plugin, {host::controlChange(0, 30, 27)});
  EXPECT_EQ(plugin->getParameter(kPWM), 100.0f / 127.0f);
  EXPECT_EQ(plugin->getParameter(kCut), 27.0f / 127.0f);
}

// Any assignment in the editor reloads the whole table from the settings: a
// controller learned before must survive it, and a slot asked to learn
// again must learn again.
TEST(SynthMidi, LearnedControllersSurviveALaterAssignment) {
  auto store = storeWith({{"CC Cutoff", 200}, {"CC Resonance", -200}, {"CC Effect1", 0}});
  auto plugin = makePlugin(store);
  sendMidi(*plugin, {host::controlChange(0, 0, 3)});  // bank select is not learned
  EXPECT_EQ(plugin->controllerEntry(2), kSlotLearn);
  sendMidi(*plugin, {host::controlChange(0, 74, 10)});
  store->setText(kSettingsSubkey, "CC Effect1", "20");  // what the editor's box writes
  plugin->setParameter(kCommandReloadControllers, 1.0f);
  EXPECT_EQ(plugin->controllerEntry(2), 74);
  EXPECT_EQ(plugin->controllerEntry(1), -74);
  EXPECT_EQ(plugin->controllerEntry(3), 20);
  EXPECT_EQ(store->readInteger(kSettingsSubkey, "CC Cutoff", 0), 74);
  sendMidi(*plugin, {host::controlChange(0, 74, 27)});
  EXPECT_EQ(plugin->getParameter(kCut), 27.0f / 127.0f);
  EXPECT_EQ(plugin->getParameter(kReso), 100.0f / 127.0f);

  store->setText(kSettingsSubkey, "CC Cutoff", "200");  // learn the cutoff again
  plugin->setParameter(kCommandReloadControllers, 1.0f);
  sendMidi(*plugin, {host::controlChange(0, 11, 5)});
  EXPECT_EQ(plugin->controllerEntry(2), 11);
  EXPECT_EQ(plugin->controllerEntry(1), -74);
}

TEST(SynthMidi, PitchBendUsesItsMostSignificantByte) {
  auto plugin = makePlugin(storeWith({{"CC OutVol", 129}, {"CC OscMix", -129}, {"CC Attack", 200}}));
  sendMidi(*plugin, {host::pitchBend(0, 64 << 7 | 0x55)});
  EXPECT_EQ(plugin->getParameter(kOutVol), 64.0f / 127.0f);
  EXPECT_EQ(plugin->getParameter(kMix), 1.0f - 64.0f / 127.0f);
  EXPECT_EQ(plugin->controllerEntry(13), 129);  // learned pitch bend
  // A controller numbered 1 is not pitch bend.
  sendMidi(*plugin, {host::controlChange(0, 1, 0)});
  EXPECT_EQ(plugin->getParameter(kOutVol), 64.0f / 127.0f);
}

TEST(SynthMidi, ControllerZeroChangesNoParameter) {
  auto plugin = makePlugin(storeWith({{"CC Cutoff", 200}}));
  std::vector<float> before;
  for (int i = 0; i < 27; ++i) before.push_back(plugin->getParameter(i));
  sendMidi(*plugin, {host::controlChange(0, 0, 127)});
  sendMidi(*plugin, {host::controlChange(0, 0, 0)});
  for (int i = 0; i < 27; ++i) EXPECT_EQ(plugin->getParameter(i), before[static_cast<std::size_t>(i)]) << i;
  // An entry of 0 cannot name controller 0, so a learning slot goes on
  // waiting for a controller it can keep.
  EXPECT_EQ(plugin->controllerEntry(2), kSlotLearn);
}

TEST(SynthMidi, UnmatchedEntriesAndOtherStatusesAreIgnored) {
  auto plugin = makePlugin(storeWith({{"CC Cutoff", 128}, {"CC Resonance", 300}}));
  sendMidi(*plugin, {host::controlChange(0, 127, 0), {0xA0, 60, 10, 0}, {0xC0, 5, 0, 0}, {0xD0, 10, 0, 0},
                     {0xF0, 1, 2, 0}});
  EXPECT_EQ(plugin->getParameter(kCut), 0.9f);
  EXPECT_EQ(plugin->getParameter(kReso), 0.0001f);
  for (int v = 1; v <= 4; ++v) EXPECT_EQ(plugin->voice(v).state, kEnvelopeIdle);
  EXPECT_EQ(plugin->controllerEntry(2), 128);
}

TEST(SynthMidi, ControllersWriteIntoTheCurrentProgram) {
  auto plugin = makePlugin(storeWith({{"CC LFORate", 10}}));
  plugin->setProgram(4);
  sendMidi(*plugin, {host::controlChange(0, 10, 127)});
  EXPECT_EQ(plugin->getParameter(kLFORate), 1.0f);
  EXPECT_EQ(plugin->program(4).value(kLFORate), 1.0f);
  EXPECT_EQ(plugin->program(0).value(kLFORate), 0.2f);
}

}  // namespace
