// Controls change on whichever thread the host calls setParameter on while
// the render runs. The blocks must stay inside their buffers and produce
// finite values throughout; under ThreadSanitizer (the linux-tsan preset)
// this test also proves that no control is a plain shared value.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "sampler/dsp/TADSR.h"
#include "sampler/dsp/TDelayFilt.h"
#include "sampler/dsp/TWavetableOsc.h"

namespace sarnel {
namespace {

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
