// The audio thread never allocates: a counting global operator new around
// processEvents, processReplacing, process and MIDI-driven setParameter.

#include <gtest/gtest.h>

#include <atomic>

#include "tests/synth_engine/SynthTestSupport.h"

// The replaced global operators live in CountingAllocator.cpp.
extern std::atomic<bool> counting;
extern std::atomic<int> allocations;

namespace {

using namespace marrowglint;

TEST(SynthRealTime, NoAllocationOnTheAudioPath) {
  auto store = std::make_shared<platform::MemorySettingsStore>();
  store->setText(kSettingsSubkey, "CC Cutoff", "74");
  store->setText(kSettingsSubkey, "CC Resonance", "200");
  int parent = 0;
  struct Window : EditorWindow {
    void copyState() override {}
    void show() override {}
  };
  auto plugin = synthtest::makePlugin(
      store, {[](APlugin&, void*, bool, int) -> std::unique_ptr<EditorWindow> { return std::make_unique<Window>(); },
              {}});
  plugin->dispatcher(vst::effEditOpen, 0, 0, &parent, 0.0f);

  // Everything the audio thread will touch is built before counting starts.
  synthtest::Events notes({host::noteOn(0, 60, 100), host::noteOn(0, 64, 90), host::controlChange(0, 74, 20),
                         host::controlChange(0, 11, 5), host::pitchBend(0, 8192)});
  synthtest::Events offs({host::noteOff(0, 60), host::noteOn(0, 64, 0)});
  vst::VstEvents* noteList = notes.get();
  vst::VstEvents* offList = offs.get();
  synthtest::Block block(512);
  block.replacing(*plugin);
  plugin->setParameter(kFat, 0.0f);
  plugin->setParameter(kLFOAmnt, 1.0f);

  allocations = 0;
  counting = true;
  for (int round = 0; round < 4; ++round) {
    plugin->processEvents(noteList);
    block.replacing(*plugin);
    plugin->setParameter(kFat, round % 2 == 0 ? 1.0f : 0.0f);
    plugin->setParameter(kCommandInterpolation, static_cast<float>(round % 3) / 10.0f);
    block.accumulating(*plugin);
    plugin->processEvents(offList);
    block.replacing(*plugin);
  }
  counting = false;
  EXPECT_EQ(allocations.load(), 0);

  // The counter does count (a check that cannot fail would prove nothing).
  counting = true;
  void* probe = ::operator new(16);
  counting = false;
  ::operator delete(probe);
  EXPECT_EQ(allocations.load(), 1);
}

}  // namespace
