// The sample hand-over under load: the GUI thread loads, reloads and unloads
// while another thread renders with voices playing. Built with the
// linux-tsan preset this proves the render never reads a block that a load
// or unload frees (and that every shared value is an atomic); in the other
// builds it still checks that nothing crashes and the output stays finite.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "sampler/engine/TSampleExchange.h"
#include "tests/sampler_engine/EngineFixture.h"

namespace {

using namespace sarnel;
using sarneltest::EngineTest;

using SarnelHandOver = EngineTest;

TEST_F(SarnelHandOver, LoadReloadAndUnloadWhileAnotherThreadRenders) {
  const std::string mono = dir.file("mono.wav");
  const std::string stereo = dir.file("stereo.wav");
  const std::string tiny = dir.file("tiny.wav");
  sarneltest::writeFloatWave(mono, std::vector<float>(20000, 0.25f), 1);
  sarneltest::writeFloatWave(stereo, sarneltest::stereoRamp(5000, 1.0f / 8192.0f), 2);
  sarneltest::writeFloatWave(tiny, {0.5f}, 1);
  plugin->setParameter(kAttack, 0.0f);
  plugin->setParameter(kLoopMode, 1.0f);
  plugin->setParameter(kLfo1Rate, 0.8f);  // the LFO writes loop high from the audio thread
  plugin->setParameter(kLfo1Destination, 2.0f / 12.0f);
  ASSERT_TRUE(plugin->loadSample(mono));

  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::atomic<bool> finite{true};
  std::thread audio([&] {
    // Everything the audio thread uses is built before it starts.
    sarneltest::Events notes({host::noteOn(0, 60, 100), host::noteOn(0, 67, 100), host::noteOn(0, 72, 100),
                              host::noteOn(0, 84, 100)});
    sarneltest::Events offs({host::noteOff(0, 60), host::noteOff(0, 67), host::noteOff(0, 72),
                             host::noteOff(0, 84)});
    sarneltest::Block block(64);
    int round = 0;
    while (!stop.load()) {
      (round % 8 == 0 ? notes : offs).send(*plugin);
      for (int k = 0; k < 4; ++k) {
        block.replacing(*plugin);
        for (float v : block.outL) {
          if (!std::isfinite(v)) finite = false;
        }
        blocks.fetch_add(1);
      }
      ++round;
    }
  });

  // The GUI thread: every kind of replacement, many times.
  for (int i = 0; i < 60; ++i) {
    switch (i % 5) {
      case 0: plugin->loadSample(stereo); break;
      case 1: plugin->loadSample(mono); break;
      case 2: plugin->setParameter(kCommandUnload, 1.0f); break;
      case 3: plugin->loadSample(tiny); break;
      default:
        sarneltest::setPathParameters(*plugin, i % 2 == 0 ? stereo : mono);
        plugin->setParameter(kCommandPlayVoice5, 1.0f);  // reload, then play
        plugin->setParameter(kCommandPlayVoice6, 1.0f);
        plugin->setParameter(kCommandAllNotesOff, 1.0f);
        break;
    }
    plugin->setParameter(kLoopLow, static_cast<float>(i % 7) / 10.0f);
    plugin->setParameter(kPitch, i % 3 == 0 ? 0.3f : 0.8f);
    plugin->setParameter(kLoopMode, static_cast<float>(i % 4) / 3.0f);
    // Let the render run a little between replacements.
    const int seen = blocks.load();
    while (blocks.load() < seen + 2) std::this_thread::yield();
  }
  stop = true;
  audio.join();

  EXPECT_TRUE(finite.load());
  EXPECT_GT(blocks.load(), 120);
  // With the render stopped, every replaced block can be freed.
  plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(plugin->retiredSampleCount(), 0u);
}

// Two threads read at once, as when a host delivers events on a MIDI thread
// while another thread renders: each reads every float of the block it
// holds while the GUI thread keeps replacing and unloading it. A block freed
// under one of them is a use after free that ThreadSanitizer (and ASan)
// reports; in every build a torn or foreign block shows as a wrong value.
TEST(SampleExchangeReaders, TwoReaderThreadsAndTheGuiThread) {
  TSampleExchange exchange;
  std::atomic<bool> stop{false};
  std::atomic<int> reads{0};
  std::atomic<int> wrongValues{0};
  auto reader = [&](TSampleReader slot) {
    while (!stop.load()) {
      if (const TSampleBlock* block = exchange.acquire(slot)) {
        // Every float of block n is n (see below), padding included.
        const auto expected = static_cast<float>(block->fileSampleRate);
        for (float v : block->data) {
          if (v != expected) wrongValues.fetch_add(1);
        }
      }
      exchange.release(slot);
      reads.fetch_add(1);
    }
  };
  std::thread events(reader, TSampleReader::events);
  std::thread render(reader, TSampleReader::processReplacing);

  for (int n = 1; n <= 200; ++n) {
    if (n % 7 == 0) {
      exchange.publish(nullptr);
    } else {
      exchange.publish(makeSampleBlock(std::vector<float>(512 * (n % 3 + 1), static_cast<float>(n)), n % 2 + 1, n));
    }
    const int seen = reads.load();
    while (reads.load() < seen + 2) std::this_thread::yield();
  }
  stop = true;
  events.join();
  render.join();

  EXPECT_EQ(wrongValues.load(), 0);
  exchange.collect();
  EXPECT_EQ(exchange.retiredCount(), 0u);
}

}  // namespace
