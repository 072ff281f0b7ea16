// The delay filter: the delay line's indexing and feedback bit-exactly, the
// filter against a float32 model of its eight steps, and its behaviour at the
// edges of its controls and inputs.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "sampler/dsp/TDelayFilt.h"

namespace sarnel {
namespace {

constexpr double kRate = 44100.0;
constexpr float kTiny = 1e-24f;

std::vector<float> noise(std::size_t count, std::uint32_t seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<float> uniform(-1.0f, 1.0f);
  std::vector<float> values(count);
  for (float& v : values) v = uniform(generator);
  return values;
}

// The filter stage on its own, every intermediate a float32, in the order of
// its definition: a two-pole high-pass, then two resonant two-pole sections.
struct FilterModel {
  float lp1 = 0, lp2 = 0, lp3 = 0, lp4 = 0, hp1 = 0, hp2 = 0;

  float run(float low, float high, float reso, float d) {
    const float q = 0.9f * reso;
    const float f = 0.99f * high;
    const float k = 0.99f * low;
    hp1 = hp1 + (d - hp1) * k;
    hp2 = hp2 + (hp1 - hp2) * k;
    const float y = d - hp2;
    const float g = q + q / (1.0f - f);
    lp1 = lp1 + f * ((y - lp1) + (lp1 - lp2) * g);
    lp2 = lp2 + (lp1 - lp2) * f;
    lp3 = lp3 + f * ((lp2 - lp3) + (lp3 - lp4) * g);
    lp4 = lp4 + (lp3 - lp4) * f;
    return lp4;
  }
};

TEST(TDelayFilt, DefaultControlsReturnThePreviousInput) {
  TDelayFilt delay(kRate);
  EXPECT_EQ(delay.delayLength(), 1);
  const std::vector<float> input = noise(512, 1);
  EXPECT_EQ(delay.processSample(input[0]), 0.0f);
  for (std::size_t i = 1; i < input.size(); ++i)
    ASSERT_EQ(delay.processSample(input[i]), input[i - 1] + kTiny) << i;
}

TEST(TDelayFilt, FullFeedbackAtDelayZeroAddsNineTenthsOfThePreviousOutput) {
  TDelayFilt delay(kRate);
  delay.setFeedback(1.0f);
  const std::vector<float> input = noise(4096, 2);
  float previousOutput = delay.processSample(input[0]);
  for (std::size_t i = 1; i < input.size(); ++i) {
    const float expected = previousOutput * 1.0f * 0.9f + input[i - 1] + kTiny;
    const float output = delay.processSample(input[i]);
    ASSERT_EQ(output, expected) << i;
    previousOutput = output;
  }
}

TEST(TDelayFilt, PartialFeedbackScalesEachEcho) {
  TDelayFilt delay(kRate);
  delay.setDelayTime(0.001f);  // round(44.1) + 1 = 45 samples
  ASSERT_EQ(delay.delayLength(), 45);
  delay.setFeedback(0.5f);
  std::vector<float> output;
  output.push_back(delay.processSample(1.0f));
  for (int i = 1; i < 3 * 45 + 1; ++i) output.push_back(delay.processSample(0.0f));
  EXPECT_EQ(output[45], 1.0f + kTiny);
  const float echo1 = output[45] * 0.5f * 0.9f + kTiny;
  EXPECT_EQ(output[90], echo1);
  EXPECT_EQ(output[135], echo1 * 0.5f * 0.9f + kTiny);
  EXPECT_EQ(output[44], 0.0f);   // the line started zero-filled
  EXPECT_EQ(output[46], kTiny);  // silence written once, never fed back
}

TEST(TDelayFilt, DelayLengthRoundsTiesToEvenAndStopsAtOneSecond) {
  TDelayFilt delay(kRate);
  const struct {
    float value;
    std::int32_t length;
  } cases[] = {
      {0.0f, 1},
      {0.125f, 5513},    // 5512.5 rounds to the even 5512
      {0.375f, 16539},   // 16537.5 rounds to the even 16538
      {0.5f, 22051},
      {44099.0f / 44100.0f, 44100},
      {1.0f, 44100},     // 44101 exceeds the rate
      {-0.5f, 1},        // limited to 0
      {3.0f, 44100},     // limited to 1
      {std::numeric_limits<float>::quiet_NaN(), 1},
  };
  for (const auto& c : cases) {
    delay.setDelayTime(c.value);
    EXPECT_EQ(delay.delayLength(), c.length) << c.value;
  }
}

TEST(TDelayFilt, ImpulseReturnsAfterTheDelayLength) {
  for (const float value : {0.0f, 0.0001f, 0.3f, 1.0f}) {
    TDelayFilt delay(kRate);
    delay.setDelayTime(value);
    const std::int32_t length = delay.delayLength();
    int arrival = -1;
    for (std::int32_t i = 0; i <= length + 1; ++i) {
      const float out = delay.processSample(i == 0 ? 1.0f : 0.0f);
      if (out > 0.5f) {
        arrival = i;
        break;
      }
    }
    EXPECT_EQ(arrival, length) << value;
  }
}

TEST(TDelayFilt, AwkwardSampleRatesKeepTheLineInsideItsBuffer) {
  // 22050.5 Hz: a buffer of round(22050.5) = 22050 floats, and a full delay
  // of round(22050.5) + 1 = 22051 exceeds the rate, so the length is 22050.
  TDelayFilt delay(22050.5);
  delay.setDelayTime(1.0f);
  EXPECT_EQ(delay.delayLength(), 22050);
  EXPECT_EQ(delay.processSample(1.0f), 0.0f);
  for (int i = 1; i < 22050; ++i) ASSERT_LT(delay.processSample(0.0f), 0.5f);
  EXPECT_EQ(delay.processSample(0.0f), 1.0f + kTiny);

  // 1 Hz: a line of one sample.
  TDelayFilt tiny(1.0);
  tiny.setDelayTime(1.0f);
  EXPECT_EQ(tiny.delayLength(), 1);
  tiny.processSample(0.25f);
  EXPECT_EQ(tiny.processSample(0.0f), 0.25f + kTiny);
}

TEST(TDelayFilt, UnusableSampleRatesCountAs44100) {
  for (const double rate : {0.0, 0.4, -44100.0, std::numeric_limits<double>::quiet_NaN(),
                            std::numeric_limits<double>::infinity()}) {
    TDelayFilt delay(rate);
    EXPECT_EQ(delay.getSampleRate(), 44100.0) << rate;
    delay.setDelayTime(1.0f);
    EXPECT_EQ(delay.delayLength(), 44100) << rate;
  }
}

TEST(TDelayFilt, DelayChangeRestartsTheIndexAndKeepsTheBuffer) {
  TDelayFilt delay(kRate);
  delay.setDelayTime(0.0001f);  // round(4.41) + 1 = 5
  ASSERT_EQ(delay.delayLength(), 5);
  // 22 writes: the last one to index 0 was input 20; the index is now 2.
  for (int i = 0; i < 22; ++i) delay.processSample(static_cast<float>(i));
  delay.setDelayTime(0.0001f);
  EXPECT_EQ(delay.processSample(0.0f), 20.0f + kTiny);
  // Shortening to one sample reads index 0 again: what was just written there.
  delay.setDelayTime(0.0f);
  EXPECT_EQ(delay.processSample(0.0f), 0.0f + kTiny);
  EXPECT_EQ(delay.processSample(7.0f), 0.0f + kTiny);
  EXPECT_EQ(delay.processSample(0.0f), 7.0f + kTiny);
}

TEST(TDelayFilt, NeutralControlsBypassTheFilterAndKeepItsStates) {
  const std::vector<float> input = noise(3000, 3);
  TDelayFilt delay(kRate);
  FilterModel model;
  float previous = 0.0f;  // the delayed sample d at delay 0
  for (std::size_t i = 0; i < input.size(); ++i) {
    // Filter on, then neutral (bypassed), then on again.
    const bool filtering = i < 1000 || i >= 2000;
    delay.setFilterHigh(filtering ? 0.3f : 1.0f);
    delay.setFilterLow(filtering ? 0.05f : 0.0f);
    delay.setFilterReso(0.7f);
    const float out = delay.processSample(input[i]);
    const float expected = filtering ? model.run(0.05f, 0.3f, 0.7f, previous) : previous;
    ASSERT_EQ(out, expected) << i;
    previous = input[i] + kTiny;
  }
}

TEST(TDelayFilt, FilterMatchesItsFloat32DefinitionAcrossControls) {
  const std::vector<float> input = noise(2000, 4);
  const struct {
    float low, high, reso;
  } settings[] = {
      {0.0f, 0.999f, 0.0f},  // high just below 1: the filter runs
      {0.0f, 0.5f, 1.0f},    {0.3f, 1.0f, 0.0f}, {0.7f, 0.2f, 0.5f},
      {1.0f, 1.0f, 1.0f},    {0.0f, 0.0f, 0.0f},
  };
  for (const auto& s : settings) {
    TDelayFilt delay(kRate);
    delay.setFilterLow(s.low);
    delay.setFilterHigh(s.high);
    delay.setFilterReso(s.reso);
    FilterModel model;
    float previous = 0.0f;
    for (std::size_t i = 0; i < input.size(); ++i) {
      ASSERT_EQ(delay.processSample(input[i]), model.run(s.low, s.high, s.reso, previous))
          << s.low << " " << s.high << " " << s.reso << " at " << i;
      previous = input[i] + kTiny;
    }
  }
}

TEST(TDelayFilt, LowPassKeepsDcAndRemovesNyquist) {
  TDelayFilt delay(kRate);
  delay.setFilterHigh(0.1f);
  float out = 0.0f;
  for (int i = 0; i < 20000; ++i) out = delay.processSample(0.5f);
  EXPECT_NEAR(out, 0.5f, 1e-5f);

  // Four poles at f = 0.099 pass about (0.099 / 1.9) ^ 4 of an alternating signal.
  delay.resetFilter();
  double energy = 0.0;
  for (int i = 0; i < 20000; ++i) {
    out = delay.processSample(i % 2 == 0 ? 1.0f : -1.0f);
    if (i >= 10000) energy += static_cast<double>(out) * out;
  }
  EXPECT_LT(std::sqrt(energy / 10000.0), 1e-3);
}

TEST(TDelayFilt, HighPassRemovesDc) {
  TDelayFilt delay(kRate);
  delay.setFilterLow(0.5f);
  float out = 1.0f;
  for (int i = 0; i < 20000; ++i) out = delay.processSample(0.5f);
  EXPECT_NEAR(out, 0.0f, 1e-5f);
}

TEST(TDelayFilt, ExtremeResonanceStaysFinite) {
  TDelayFilt delay(kRate);
  delay.setFilterHigh(1.0f - 1e-7f);
  delay.setFilterReso(1.0f);
  delay.setFeedback(1.0f);
  delay.setDelayTime(0.01f);
  const std::vector<float> input = noise(44100 * 5, 5);
  for (std::size_t i = 0; i < input.size(); ++i) {
    const float out = delay.processSample(i % 4410 < 2205 ? 1.0f : input[i]);
    ASSERT_TRUE(std::isfinite(out)) << i;
  }
}

TEST(TDelayFilt, ControlsAreLimitedToTheUnitRange) {
  const std::vector<float> input = noise(4096, 6);
  TDelayFilt limited(kRate);
  TDelayFilt reference(kRate);
  limited.setFeedback(5.0f);
  reference.setFeedback(1.0f);
  limited.setFilterHigh(2.0f);  // above 1 would make 1 - f reach 0
  reference.setFilterHigh(1.0f);
  limited.setFilterLow(0.2f);
  reference.setFilterLow(0.2f);
  limited.setFilterReso(std::numeric_limits<float>::infinity());
  reference.setFilterReso(1.0f);
  for (float x : input) ASSERT_EQ(limited.processSample(x), reference.processSample(x));

  // A negative filter low is 0: with filter high 1 the filter is bypassed.
  TDelayFilt bypassed(kRate);
  bypassed.setFilterLow(-1.0f);
  float previous = 0.0f;
  for (float x : input) {
    ASSERT_EQ(bypassed.processSample(x), previous);
    previous = x + kTiny;
  }

  // NaN gives 0: filter high 0 makes the filter's output silent.
  TDelayFilt silent(kRate);
  silent.setFilterHigh(std::numeric_limits<float>::quiet_NaN());
  for (float x : input) ASSERT_EQ(silent.processSample(x), 0.0f);
}

TEST(TDelayFilt, NonFiniteInputCountsAsSilence) {
  const float kInf = std::numeric_limits<float>::infinity();
  const float kNaN = std::numeric_limits<float>::quiet_NaN();
  std::vector<float> input = noise(1000, 7);
  std::vector<float> cleaned = input;
  for (std::size_t i = 100; i < 1000; i += 97) {
    input[i] = i % 3 == 0 ? kNaN : (i % 3 == 1 ? kInf : -kInf);
    cleaned[i] = 0.0f;
  }
  TDelayFilt dirty(kRate);
  TDelayFilt clean(kRate);
  for (TDelayFilt* d : {&dirty, &clean}) {
    d->setDelayTime(0.001f);
    d->setFeedback(0.8f);
    d->setFilterHigh(0.6f);
    d->setFilterReso(0.8f);
  }
  for (std::size_t i = 0; i < input.size(); ++i)
    ASSERT_EQ(dirty.processSample(input[i]), clean.processSample(cleaned[i])) << i;
}

// Finite input can still overflow the line's sum or the filter's states; the
// overflow must not stay (at feedback 0 an infinity in the line becomes NaN
// and silences it for good), and nothing non-finite comes out meanwhile.
TEST(TDelayFilt, OverflowFromExtremeInputDoesNotSilenceTheLineForGood) {
  const float kMax = std::numeric_limits<float>::max();
  for (const bool filtered : {false, true}) {
    TDelayFilt delay(kRate);
    delay.setFeedback(1.0f);
    delay.setDelayTime(0.001f);
    if (filtered) {
      delay.setFilterHigh(0.5f);
      delay.setFilterReso(1.0f);
    }
    for (int i = 0; i < 2000; ++i) {
      ASSERT_TRUE(std::isfinite(delay.processSample(i % 3 == 0 ? -kMax : kMax))) << filtered << " " << i;
    }
    delay.setFeedback(0.0f);
    delay.setDelayTime(0.0f);
    if (filtered) {
      // The filter's own states recover too: a low-pass settles on the input.
      float out = 0.0f;
      for (int i = 0; i < 20000; ++i) out = delay.processSample(0.5f);
      EXPECT_NEAR(out, 0.5f, 1e-4f);
    } else {
      delay.processSample(0.5f);
      for (int i = 0; i < 10; ++i) ASSERT_EQ(delay.processSample(0.5f), 0.5f + kTiny) << i;
    }
  }
}

TEST(TDelayFilt, ResetFilterClearsTheStatesAndKeepsTheEchoes) {
  TDelayFilt delay(kRate);
  delay.setDelayTime(0.01f);  // 442 samples
  ASSERT_EQ(delay.delayLength(), 442);
  delay.setFilterHigh(0.5f);
  delay.processSample(1.0f);
  for (int i = 1; i < 442; ++i) delay.processSample(0.0f);
  delay.resetFilter();
  // The impulse is still in the line; the filter starts again from zero.
  FilterModel model;
  EXPECT_EQ(delay.processSample(0.0f), model.run(0.0f, 0.5f, 0.0f, 1.0f + kTiny));
  EXPECT_EQ(delay.processSample(0.0f), model.run(0.0f, 0.5f, 0.0f, kTiny));
}

TEST(TDelayFilt, SampleRateChangeResizesAndClearsTheLine) {
  TDelayFilt delay(kRate);
  delay.setDelayTime(0.5f);
  delay.setFilterHigh(0.5f);
  for (int i = 0; i < 30000; ++i) delay.processSample(1.0f);
  delay.setSampleRate(96000.0);
  EXPECT_EQ(delay.getSampleRate(), 96000.0);
  EXPECT_EQ(delay.delayLength(), 48001);  // the control value stays 0.5
  // Nothing of the old line or the old filter states remains.
  for (int i = 0; i < 48001; ++i) ASSERT_EQ(delay.processSample(0.0f), 0.0f) << i;
  delay.setDelayTime(1.0f);
  EXPECT_EQ(delay.delayLength(), 96000);

  delay.setSampleRate(22050.0);
  EXPECT_EQ(delay.delayLength(), 22050);
  delay.setFilterHigh(1.0f);
  delay.processSample(1.0f);
  for (int i = 1; i < 22050; ++i) ASSERT_LT(delay.processSample(0.0f), 0.5f);
  EXPECT_EQ(delay.processSample(0.0f), 1.0f + kTiny);
}

}  // namespace
}  // namespace sarnel
