// The audio thread never allocates: counted with a replaced global operator
// new (every form, the aligned ones too) on a thread of its own, as a host's
// audio thread is, with the editor open, so that everything the engine and
// the editor do off the GUI thread is on the counted path: processEvents
// (notes, controllers, learning), processReplacing and process with LFOs
// writing parameters, portamento, host automation of sound parameters, the
// requests the GUI thread posts (play buttons, all notes off) and a freshly
// loaded sample.
//
// And a lack of memory never frees a sample that is still read: replacing
// one needs no memory at all, and a load that runs out of memory anywhere
// reports it and leaves a working engine.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <new>
#include <thread>
#include <vector>

#include "sampler/engine/APluginEditor.h"
#include "sampler/engine/TSampleExchange.h"
#include "tests/sampler_engine/EngineFixture.h"
#include "tests/support/CountingAllocator.h"

namespace {

using namespace sarnel;
using alloctest::allocations;
using alloctest::counting;
using alloctest::failingAllocations;
using alloctest::failingEveryAllocation;
using sarneltest::EngineTest;

// An open editor window that does nothing (the engine still takes the
// branches an open editor takes).
struct IdleWindow : EditorWindow {
  void enableDisplayTimer() override {}
  void show() override {}
  void hide() override {}
  void copyDisplayValues() override {}
  std::string fileNameLabel() const override { return {}; }
  void setFileNameLabel(const std::string&) override {}
  void moveLoopMarkers() override {}
  void drawWaveform(int) override {}
  void clearWaveform() override {}
  void setSampleDialogFileName(const std::string&) override {}
  std::string sampleDialogFileName() const override { return {}; }
  void loadClick() override {}
};

// Runs one round of work on its own thread at a time, with allocations
// counted only there: the GUI thread waits, doing nothing, meanwhile.
class AudioThread {
 public:
  template <typename Work>
  void run(Work&& work) {
    std::thread audio([&] {
      counting = true;
      work();
      counting = false;
    });
    audio.join();
  }
};

using SarnelRealTime = EngineTest;

TEST_F(SarnelRealTime, NoAllocationOnTheAudioPath) {
  plugin.reset();
  plugin = makePlugin([](APlugin&, void*) { return std::make_unique<IdleWindow>(); });
  int parent = 0;
  plugin->dispatcher(vst::effEditOpen, 0, 0, &parent, 0.0f);
  ASSERT_NE(plugin->pluginEditor()->window(), nullptr);

  loadWave("stereo.wav", sarneltest::stereoRamp(5000, 1.0f / 8192.0f), 2);
  plugin->setParameter(kCommandControllerFirst + kVolume, 7.0f / 200.0f);
  plugin->setParameter(kCommandControllerFirst + kPitch, 1.0f);  // learns at the first controller
  plugin->setParameter(kLfo1Rate, 0.9f);
  plugin->setParameter(kLfo1Destination, 1.0f / 12.0f);
  plugin->setParameter(kLfo2Rate, 0.4f);
  plugin->setParameter(kLfo2Destination, 4.0f / 12.0f);
  plugin->setParameter(kLoopMode, 1.0f);

  // Everything the audio thread touches is built before counting starts.
  sarneltest::Events notes({host::noteOn(0, 60, 100), host::noteOn(0, 64, 90), host::controlChange(0, 7, 20),
                            host::controlChange(0, 11, 5), host::pitchBend(0, 8192)});
  sarneltest::Events offs({host::noteOff(0, 60), host::noteOn(0, 64, 0), host::controlChange(0, 123, 0)});
  sarneltest::Events glide({host::noteOn(0, 72, 100), host::noteOn(0, 79, 100)});
  notes.get();  // lays out each list once, as a host does before its audio thread runs
  offs.get();
  glide.get();
  sarneltest::Block block(512);
  block.replacing(*plugin);

  allocations = 0;
  AudioThread audio;
  for (int round = 0; round < 4; ++round) {
    // The GUI thread's requests, posted outside the count.
    plugin->setParameter(kCommandPlayVoice6, round % 2 == 0 ? 1.0f : 0.0f);
    plugin->setParameter(kPortamento, round == 2 ? 1.0f : 0.0f);
    if (round == 1) plugin->setParameter(kCommandAllNotesOff, 1.0f);
    if (round == 3) loadWave("mono.wav", sarneltest::ramp(3000), 1);
    audio.run([&] {
      notes.send(*plugin);
      block.replacing(*plugin);
      // Host automation from the audio thread: every sound parameter, the
      // LFO rates, waves and targets and the delay line's among them.
      for (int p = 0; p < kNumSoundParams; ++p) {
        if (p == kVolume || p == kPortamento) continue;
        plugin->setParameter(p, static_cast<float>((p * 7 + round * 3) % 11) / 10.0f);
      }
      if (round == 2) glide.send(*plugin);
      block.accumulating(*plugin);
      offs.send(*plugin);
      block.replacing(*plugin);
      (void)plugin->renderFrame(0.25f, -0.25f);
      plugin->gateVoice(3, 60, 1.0f, 1.0f, 1);
      plugin->gateVoice(3, 60, 0.0f, 0.0f, 0);
    });
  }
  EXPECT_EQ(allocations.load(), 0);
  for (float v : block.outL) ASSERT_TRUE(std::isfinite(v));

  // The counter does count, every form the engine could reach (a check that
  // cannot fail would prove nothing).
  audio.run([] {
    ::operator delete(::operator new(16));
    ::operator delete(::operator new(64, std::align_val_t{64}), std::align_val_t{64});
    ::operator delete[](::operator new[](32, std::align_val_t{32}, std::nothrow), std::align_val_t{32});
  });
  EXPECT_EQ(allocations.load(), 3);
}

struct TestBlock {
  int id;
};
struct CountingDeleter {
  int* freed;
  void operator()(TestBlock* block) const noexcept {
    ++*freed;
    delete block;
  }
};

// Replacing a held block with every allocation failing: the old block stays
// (the render still reads it) and nothing throws.
TEST(SampleExchangeMemory, ReplacingABlockNeedsNoMemory) {
  int freed = 0;
  using Exchange = TSampleExchangeOf<TestBlock, CountingDeleter>;
  Exchange exchange(CountingDeleter{&freed});
  exchange.publish(Exchange::Owned(new TestBlock{1}, CountingDeleter{&freed}));
  ASSERT_EQ(exchange.acquire(TSampleReader::processReplacing)->id, 1);
  std::vector<Exchange::Owned> next;
  for (int id = 2; id <= 8; ++id) next.emplace_back(new TestBlock{id}, CountingDeleter{&freed});

  failingEveryAllocation = true;
  bool threw = false;
  try {
    for (auto& block : next) exchange.publish(std::move(block));
  } catch (...) {
    threw = true;
  }
  failingEveryAllocation = false;

  EXPECT_FALSE(threw);
  EXPECT_EQ(freed, 6) << "blocks 2 ... 7 replaced unread, block 1 still held";
  EXPECT_EQ(exchange.current()->id, 8);
  exchange.release(TSampleReader::processReplacing);
  exchange.collect();
  EXPECT_EQ(freed, 7);
}

// A load with one allocation failing, for each allocation a load makes in
// turn: it never throws into the host, the failure is reported, and the
// engine loads and plays the next sample as usual.
TEST_F(SarnelRealTime, ALoadThatRunsOutOfMemoryAnywhereIsReported) {
  const std::string first = dir.file("first.wav");
  const std::string second = dir.file("second.wav");
  sarneltest::writeFloatWave(first, std::vector<float>(4000, 0.5f), 1);
  sarneltest::writeFloatWave(second, sarneltest::stereoRamp(3000, 1.0f / 8192.0f), 2);
  ASSERT_TRUE(plugin->loadSample(first));

  int failedLoads = 0;
  for (int n = 1;; ++n) {
    ASSERT_LT(n, 10000) << "a load makes fewer allocations than this";
    failingAllocations = n;
    bool loaded = false;
    bool threw = false;
    try {
      loaded = plugin->loadSample(second);
    } catch (...) {
      threw = true;
    }
    const bool injected = failingAllocations.exchange(0) == 0;
    ASSERT_FALSE(threw) << "allocation " << n << " failed and the exception left the load";
    if (!injected) {
      EXPECT_TRUE(loaded);
      break;  // this load made fewer than n allocations: every one has failed once
    }
    if (!loaded) ++failedLoads;
    ASSERT_TRUE(plugin->loadSample(first)) << "after allocation " << n << " failed";
    sarneltest::makeEnvelopeImmediate(*plugin);
    sarneltest::sendMidi(*plugin, {host::noteOn(0, 72, 127)});
    std::vector<float> left, right;
    sarneltest::render(*plugin, 64, left, right);
    ASSERT_GT(left.back(), 0.1f) << "silent after allocation " << n << " failed";
    sarneltest::sendMidi(*plugin, {host::noteOff(0, 72)});
  }
  EXPECT_GT(failedLoads, 0);
  EXPECT_EQ(plugin->sampleChannels(), 2);
}

}  // namespace
