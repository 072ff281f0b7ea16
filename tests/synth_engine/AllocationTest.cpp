// The audio thread never allocates: a counting global operator new (every
// form, the aligned ones too) around processEvents, processReplacing,
// process, MIDI-driven setParameter and host automation, all on a thread of
// their own as a host's audio thread is, with the editor open, so that the
// editor's path for calls from other threads is the one counted.

#include <gtest/gtest.h>

#include <atomic>
#include <new>
#include <thread>

#include "tests/support/CountingAllocator.h"
#include "tests/synth_engine/SynthTestSupport.h"

namespace {

using namespace marrowglint;
using alloctest::allocations;
using alloctest::counting;

// Runs `work` on a thread of its own with allocations counted there; the
// calling thread waits, doing nothing, meanwhile.
template <typename Work>
void onAudioThread(Work&& work) {
  std::thread audio([&] {
    counting = true;
    work();
    counting = false;
  });
  audio.join();
}

TEST(SynthRealTime, NoAllocationOnTheAudioPath) {
  auto store = std::make_shared<platform::MemorySettingsStore>();
  store->setText(kSettingsSubkey, "CC Cutoff", "74");
  store->setText(kSettingsSubkey, "CC Resonance", "200");
  int parent = 0;
  struct Window : EditorWindow {
    void copyState() override {}
    void show() override {}
  };
  auto plugin = synthtest::makePlugin(store, [](APlugin&, void*, bool) { return std::make_unique<Window>(); });
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
  onAudioThread([&] {
    for (int round = 0; round < 4; ++round) {
      plugin->processEvents(noteList);
      block.replacing(*plugin);
      plugin->setParameter(kFat, round % 2 == 0 ? 1.0f : 0.0f);
      plugin->setParameter(kCommandInterpolation, static_cast<float>(round % 3) / 10.0f);
      // Host automation of the sound parameters from the audio thread.
      for (int p = 0; p < kNumParams; ++p) {
        plugin->setParameter(p, static_cast<float>((p * 7 + round * 3) % 11) / 10.0f);
      }
      block.accumulating(*plugin);
      plugin->processEvents(offList);
      block.replacing(*plugin);
    }
  });
  EXPECT_EQ(allocations.load(), 0);

  // The counter does count, the aligned forms too (a check that cannot fail
  // would prove nothing).
  onAudioThread([] {
    ::operator delete(::operator new(16));
    ::operator delete(::operator new(64, std::align_val_t{64}), std::align_val_t{64});
  });
  EXPECT_EQ(allocations.load(), 2);
}

}  // namespace
