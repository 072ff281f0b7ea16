// Controls change on whichever thread the host calls setParameter on while
// the render runs. A control set from another thread must act exactly as the
// same call on the render's own thread: a run with the changes made by a
// second thread in lock step equals, bit for bit, a run that makes them
// itself. Free-running, the blocks must stay inside their ranges; under
// ThreadSanitizer (the linux-tsan preset) both runs also prove that no
// control is a plain shared value.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#include "sampler/dsp/TADSR.h"
#include "sampler/dsp/TDelayFilt.h"
#include "sampler/dsp/TRandom.h"
#include "sampler/dsp/TWavetableOsc.h"

namespace sarnel {
namespace {

// The three blocks the engine drives, and one fixed walk through their
// control ranges (the extremes included).
struct Blocks {
  Blocks() {
    TRandom::seed(99u);  // the noise table and the noise wave draw from it
    for (std::int32_t i = 0; i < 6; ++i) lfo.fillTable(i, i);
  }
  void applyControl(int i) {
    const float v = static_cast<float>(i % 101) / 100.0f;
    env.setAttack(0.001f * v);
    env.setDecay(0.001f * (1.0f - v));
    env.setSustain(v);
    env.setRelease(0.002f * v);
    delay.setDelayTime(i % 7 == 0 ? 1.0f : v * 0.01f);
    delay.setFeedback(v);
    delay.setFilterHigh(1.0f - v);
    delay.setFilterLow(v * 0.5f);
    delay.setFilterReso(v);
    lfo.setFrequency(v * 200.0f);
    lfo.selectWave(i % 7);
    lfo.setStartPhase(static_cast<float>(i % 5) / 4.0f);
  }
  // One frame of everything: the envelope's level, the delay line's output
  // and, every 50 frames, the LFO's value.
  float frame(int f) {
    if (f % 300 == 0) env.gateOn();
    if (f % 300 == 150) env.gateOff();
    const float level = env.nextValue();
    const float out = delay.processSample(f % 100 < 50 ? level : -level);
    const float lfoValue = f % 50 == 0 ? lfo.tickValue() : 0.0f;
    return level + out + lfoValue;
  }

  TADSR env{44100.0f};
  TDelayFilt delay{44100.0};
  TWavetableOsc lfo{44100, 4096, 7};
};

constexpr int kFrames = 60000;
constexpr int kFramesPerChange = 97;

TEST(ControlThreads, ChangesFromAnotherThreadActAsTheRendersOwn) {
  std::vector<float> alone(kFrames);
  {
    auto blocks = std::make_unique<Blocks>();
    for (int f = 0; f < kFrames; ++f) {
      if (f % kFramesPerChange == 0) blocks->applyControl(f / kFramesPerChange);
      alone[static_cast<std::size_t>(f)] = blocks->frame(f);
    }
  }

  std::vector<float> shared(kFrames);
  auto blocks = std::make_unique<Blocks>();
  std::atomic<int> asked{-1};
  std::atomic<int> made{-1};
  std::thread controls([&] {
    for (int i = 0; i <= (kFrames - 1) / kFramesPerChange; ++i) {
      while (asked.load(std::memory_order_acquire) < i) std::this_thread::yield();
      blocks->applyControl(i);
      made.store(i, std::memory_order_release);
    }
  });
  for (int f = 0; f < kFrames; ++f) {
    if (f % kFramesPerChange == 0) {
      const int i = f / kFramesPerChange;
      asked.store(i, std::memory_order_release);
      while (made.load(std::memory_order_acquire) < i) std::this_thread::yield();
    }
    shared[static_cast<std::size_t>(f)] = blocks->frame(f);
  }
  controls.join();

  for (int f = 0; f < kFrames; ++f) {
    ASSERT_EQ(shared[static_cast<std::size_t>(f)], alone[static_cast<std::size_t>(f)]) << "frame " << f;
  }
}

TEST(ControlThreads, RenderStaysFiniteWhileControlsChange) {
  TADSR env(44100.0f);
  TDelayFilt delay(44100.0);
  TWavetableOsc lfo(44100, 4096, 7);
  for (std::int32_t i = 0; i < 6; ++i) lfo.fillTable(i, i);
  std::atomic<bool> rendering{true};

  std::thread controls([&] {
    // A fixed walk through the control ranges, including the extremes.
    for (int i = 0; rendering.load(); ++i) {
      const float v = static_cast<float>(i % 101) / 100.0f;
      env.setAttack(3.0f * v);
      env.setDecay(3.0f * (1.0f - v));
      env.setSustain(v);
      env.setRelease(3.0f * v);
      delay.setDelayTime(i % 7 == 0 ? 1.0f : v * 0.01f);
      delay.setFeedback(v);
      delay.setFilterHigh(1.0f - v);
      delay.setFilterLow(v * 0.5f);
      delay.setFilterReso(v);
      lfo.setFrequency(v * 200.0f);
      lfo.selectWave(i % 7);
    }
  });

  for (int frame = 0; frame < 400000; ++frame) {
    if (frame % 3000 == 0) env.gateOn();
    if (frame % 3000 == 1500) env.gateOff();
    const float level = env.nextValue();
    ASSERT_GE(level, 0.0f);
    ASSERT_LE(level, 1.0f);
    const float out = delay.processSample(frame % 100 < 50 ? level : -level);
    ASSERT_TRUE(std::isfinite(out)) << frame;
    if (frame % 50 == 0) {
      const float value = lfo.tickValue();
      ASSERT_GE(value, 0.0f);
      ASSERT_LE(value, 1.0f);
    }
  }
  rendering.store(false);
  controls.join();
}

}  // namespace
}  // namespace sarnel
