// The LFO: table contents at the named indices, the phase counter's period
// and reading order, the sample-and-hold noise and every index limit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "sampler/dsp/TRandom.h"
#include "sampler/dsp/TWavetableOsc.h"

namespace sarnel {
namespace {

constexpr std::int32_t kRate = 44100;
constexpr std::int32_t kLength = 4096;
constexpr std::int32_t kTables = 7;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// An LFO as the engine builds it: tables 0 ... 5 hold waves 0 ... 5, table 6 stays zero.
struct EngineLfo : TWavetableOsc {
  EngineLfo() : TWavetableOsc(kRate, kLength, kTables) {
    for (std::int32_t i = 0; i < 6; ++i) fillTable(i, i);
  }
};

// One ulp of a float32 table value near v; the tables are computed in float64
// and rounded once.
float ulpAt(float v) { return std::nextafter(std::fabs(v), 2.0f) - std::fabs(v); }

TEST(TWavetableOsc, FrequencyIsLimitedAndRestartsTheCycle) {
  TOsc osc(kRate);
  EXPECT_EQ(osc.getFrequency(), 1.0f);
  osc.setFrequency(500.0f);
  EXPECT_EQ(osc.getFrequency(), 100.0f);
  osc.setFrequency(0.0f);
  EXPECT_EQ(osc.getFrequency(), 0.00001f);
  osc.setFrequency(-3.0f);
  EXPECT_EQ(osc.getFrequency(), 0.00001f);
  osc.setFrequency(kNaN);
  EXPECT_EQ(osc.getFrequency(), 0.00001f);
  osc.setFrequency(std::numeric_limits<float>::infinity());
  EXPECT_EQ(osc.getFrequency(), 100.0f);
  osc.setFrequency(2.5f);
  EXPECT_EQ(osc.getFrequency(), 2.5f);
}

TEST(TWavetableOsc, PhasesAreLimitedToTheUnitRange) {
  TOsc osc(kRate);
  osc.setStartPhase(kNaN);
  EXPECT_EQ(osc.getStartPhase(), 0.0f);
  EXPECT_EQ(osc.getPhase(), 0.0f);
  osc.setStartPhase(1.5f);
  EXPECT_EQ(osc.getStartPhase(), 1.0f);
  EXPECT_EQ(osc.getPhase(), 1.0f);
  osc.setPhase(-0.5f);
  EXPECT_EQ(osc.getPhase(), 0.0f);
  osc.setPhase(kNaN);
  EXPECT_EQ(osc.getPhase(), 0.0f);
  osc.resetPhase();
  EXPECT_EQ(osc.getPhase(), 1.0f);
}

TEST(TWavetableOsc, SineTableAtItsQuarters) {
  EngineLfo lfo;
  const auto sine = lfo.table(TWavetableOsc::kWaveSine);
  ASSERT_EQ(sine.size(), 4096u);
  EXPECT_EQ(sine[0], 0.5f);
  EXPECT_EQ(sine[1024], 1.0f);
  EXPECT_EQ(sine[3072], 0.0f);
  EXPECT_NEAR(sine[2048], 0.5f, ulpAt(0.5f));
  EXPECT_NEAR(sine[512], (std::sqrt(0.5) + 1.0) * 0.5, ulpAt(0.85f));
}

TEST(TWavetableOsc, SawTablesJumpAtTheMiddle) {
  EngineLfo lfo;
  const auto saw1 = lfo.table(TWavetableOsc::kWaveSaw1);
  EXPECT_EQ(saw1[0], 0.5f);
  EXPECT_EQ(saw1[2047], 1.0f / 4096.0f);  // just before the jump: near 0
  EXPECT_EQ(saw1[2048], 1.0f);
  EXPECT_EQ(saw1[4095], 0.5f + 1.0f / 4096.0f);
  EXPECT_TRUE(std::is_sorted(saw1.begin(), saw1.begin() + 2048, std::greater<float>()));

  const auto saw2 = lfo.table(TWavetableOsc::kWaveSaw2);
  EXPECT_EQ(saw2[0], 0.5f);
  EXPECT_EQ(saw2[2047], 1.0f - 1.0f / 4096.0f);
  EXPECT_EQ(saw2[2048], 0.0f);
  EXPECT_EQ(saw2[4095], 0.5f - 1.0f / 4096.0f);
  EXPECT_TRUE(std::is_sorted(saw2.begin() + 2048, saw2.end()));
}

TEST(TWavetableOsc, SquareAndTriangleTables) {
  EngineLfo lfo;
  const auto square = lfo.table(TWavetableOsc::kWaveSquare);
  EXPECT_EQ(std::count(square.begin(), square.begin() + 2048, 1.0f), 2048);
  EXPECT_EQ(std::count(square.begin() + 2048, square.end(), 0.0f), 2048);

  const auto triangle = lfo.table(TWavetableOsc::kWaveTriangle);
  EXPECT_EQ(triangle[0], 0.5f);
  EXPECT_EQ(triangle[1024], 1.0f);
  EXPECT_EQ(triangle[2048], 0.5f);
  EXPECT_EQ(triangle[3072], 0.0f);
  EXPECT_EQ(triangle[512], 0.75f);
  EXPECT_EQ(triangle[4095], 0.5f - 2.0f / 4096.0f);
}

TEST(TWavetableOsc, WaveBoundariesAreRealNumbers) {
  // Five values: n / 2 = 2.5, so index 2 is still in the first half.
  TWavetableOsc odd(kRate, 5, 1);
  odd.fillTable(0, TWavetableOsc::kWaveSquare);
  const auto square = odd.table(0);
  EXPECT_EQ(std::vector<float>(square.begin(), square.end()),
            (std::vector<float>{1.0f, 1.0f, 1.0f, 0.0f, 0.0f}));

  // Six values: n / 4 = 1.5, so index 1 is still on the first rise.
  TWavetableOsc six(kRate, 6, 1);
  six.fillTable(0, TWavetableOsc::kWaveTriangle);
  const auto triangle = six.table(0);
  EXPECT_NEAR(triangle[1], ((1.0 / 6.0 + 0.25) * 4.0 - 1.0 + 1.0) * 0.5, ulpAt(0.8f));
  for (float v : triangle) {
    EXPECT_GE(v, 0.0f);
    EXPECT_LE(v, 1.0f);
  }
}

TEST(TWavetableOsc, NoiseTableIsUniformInTheUnitRangeAndTableSixStaysZero) {
  EngineLfo lfo;
  const auto noise = lfo.table(TWavetableOsc::kWaveNoise);
  double sum = 0.0;
  for (float v : noise) {
    ASSERT_GE(v, 0.0f);
    ASSERT_LE(v, 1.0f);
    sum += v;
  }
  // The mean of 4096 uniform values has a standard deviation of 0.0045.
  EXPECT_NEAR(sum / 4096.0, 0.5, 6 * 0.0045);
  const auto unused = lfo.table(6);
  EXPECT_EQ(std::count(unused.begin(), unused.end(), 0.0f), 4096);
}

TEST(TWavetableOsc, TableIndicesStayInsideTheTables) {
  EngineLfo lfo;
  lfo.fillTable(7, TWavetableOsc::kWaveSine);   // no table 7: ignored
  lfo.fillTable(-1, TWavetableOsc::kWaveSine);  // ignored, nothing written before table 0
  EXPECT_TRUE(lfo.table(7).empty());
  EXPECT_TRUE(lfo.table(-1).empty());
  EXPECT_EQ(lfo.table(0)[0], 0.5f);

  lfo.selectWave(9);
  EXPECT_EQ(lfo.getWaveIndex(), 6);
  lfo.selectWave(-3);
  EXPECT_EQ(lfo.getWaveIndex(), 0);
  lfo.selectWave(3);
  EXPECT_EQ(lfo.getWaveIndex(), 3);

  // Table counts and lengths out of range still give a readable table 0.
  TWavetableOsc none(kRate, 0, 0);
  EXPECT_EQ(none.getTableCount(), 1);
  EXPECT_EQ(none.getTableLength(), 1);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(none.tickValue(), 0.0f);
  TWavetableOsc many(kRate, 1, 5000);
  EXPECT_EQ(many.getTableCount(), TWavetableOsc::kMaxTables);
}

TEST(TWavetableOsc, OutputReadsThePhaseBeforeTheStep) {
  EngineLfo lfo;
  lfo.selectWave(TWavetableOsc::kWaveSine);
  lfo.setFrequency(200.0f);  // limited to 100: a period of 441 steps
  EXPECT_EQ(lfo.tickValue(), 0.5f);  // phase 0
  EXPECT_EQ(lfo.getPhase(), 0.0f);
  lfo.tickValue();
  EXPECT_EQ(lfo.getPhase(), 1.0f / 441.0f);

  // A quarter of the way in: 44100 x 0.25 / 100 = 110.25 steps, index 1024.
  lfo.setPhase(0.25f);
  EXPECT_EQ(lfo.tickValue(), 1.0f);
}

TEST(TWavetableOsc, CycleLasts441StepsAt100HzAndWrapsToIndexZero) {
  EngineLfo lfo;
  lfo.selectWave(TWavetableOsc::kWaveSaw2);
  lfo.setFrequency(100.0f);
  // The step count before each tick runs 0, 1, ... 441, then 1 ... 441 again:
  // the tick at 441 has phase exactly 1, which reads index 4096 mod 4096 = 0.
  std::vector<float> out;
  for (int i = 0; i < 442 + 441 * 3; ++i) out.push_back(lfo.tickValue());
  const auto saw2 = lfo.table(TWavetableOsc::kWaveSaw2);
  EXPECT_EQ(out[441], saw2[0]);
  EXPECT_EQ(out[441 + 441], saw2[0]);
  // Every later cycle is the same 441 values.
  for (int i = 442; i < 442 + 441 * 2; ++i) ASSERT_EQ(out[i], out[i + 441]) << i;
  // Half a cycle: the jump from the top to the bottom of saw2.
  const auto top = std::max_element(out.begin() + 442, out.begin() + 442 + 441);
  EXPECT_GT(*top, 0.99f);
  EXPECT_LT(*(top + 1), 0.01f);
}

TEST(TWavetableOsc, NoiseHoldsItsValueForAWholeCycle) {
  TRandom::seed(12345);
  EngineLfo lfo;
  lfo.selectWave(TWavetableOsc::kWaveNoise);
  lfo.setFrequency(100.0f);
  // No cycle boundary yet: the held value is still the initial 0. The tick
  // that crosses the boundary already returns the new value.
  for (int i = 0; i < 441; ++i) ASSERT_EQ(lfo.tickValue(), 0.0f) << i;
  std::vector<int> runLengths;
  float held = lfo.tickValue();
  int run = 1;
  for (int i = 0; i < 441 * 20; ++i) {
    const float v = lfo.tickValue();
    ASSERT_GE(v, 0.0f);
    ASSERT_LT(v, 1.0f);
    if (v != held) {
      runLengths.push_back(run);
      held = v;
      run = 0;
    }
    ++run;
  }
  ASSERT_GE(runLengths.size(), 19u);
  for (int length : runLengths) EXPECT_EQ(length, 441);

  // Table 6 (zero-filled) selects the noise source as well.
  lfo.selectWave(6);
  lfo.setFrequency(100.0f);
  float last = 0.0f;
  for (int i = 0; i < 442; ++i) last = lfo.tickValue();
  EXPECT_NE(last, 0.0f);
}

TEST(TWavetableOsc, LowestFrequencyAndSmallRatesDoNotStall) {
  // At 1 step per second the period is 0.01 steps at 100 Hz: each tick wraps
  // a hundred times and must still finish.
  TWavetableOsc fast(1, kLength, 1);
  fast.fillTable(0, TWavetableOsc::kWaveSine);
  fast.setFrequency(100.0f);
  for (int i = 0; i < 1000; ++i) {
    const float v = fast.tickValue();
    ASSERT_GE(v, 0.0f);
    ASSERT_LE(v, 1.0f);
  }
  // A rate of 0 counts as 44100 rather than a period of 0 that never wraps.
  TWavetableOsc zero(0, kLength, 1);
  EXPECT_EQ(zero.getSampleRate(), 44100);
  zero.setFrequency(100.0f);
  for (int i = 0; i < 1000; ++i) zero.tickValue();
  // Tick 999 is tick 117 of the third cycle (the first has 442 ticks).
  EXPECT_EQ(zero.getPhase(), 117.0f / 441.0f);
}

TEST(TWavetableOsc, SampleRateChangeKeepsThePointInTheCycle) {
  EngineLfo lfo;
  lfo.selectWave(TWavetableOsc::kWaveSaw2);
  lfo.setFrequency(100.0f);
  for (int i = 0; i < 100; ++i) lfo.tickValue();  // 100 of 441 steps
  lfo.setSampleRate(88200);
  EXPECT_EQ(lfo.getSampleRate(), 88200);
  lfo.tickValue();
  EXPECT_NEAR(lfo.getPhase(), 100.0f / 441.0f, 1e-6f);
  lfo.tickValue();
  EXPECT_NEAR(lfo.getPhase(), 100.0f / 441.0f + 1.0f / 882.0f, 1e-6f);
}

// What the audio thread leaves behind when the GUI thread's setFrequency
// meets its tick: the new frequency, and the tick's counter written back
// over the restart. The test writes that counter as the tick would.
struct RacedLfo : EngineLfo {
  void writeBackCounter(float steps) { counter = steps; }
};

// Random draws between two seeded points of the generator, up to `limit`.
int drawsSince(std::uint32_t seed, float nextValue, int limit) {
  TRandom::seed(seed);
  for (int draws = 0; draws <= limit; ++draws) {
    if (TRandom::next() == nextValue) return draws;
  }
  return limit + 1;
}

TEST(TWavetableOsc, AStaleCounterAfterARateChangeCostsOneBoundedStep) {
  RacedLfo lfo;
  lfo.selectWave(TWavetableOsc::kWaveNoise);
  lfo.setFrequency(0.001f);         // a slow LFO: 44.1 million steps per cycle
  lfo.setPhase(0.5f);               // far into its cycle
  const float stale = 22050000.0f;  // what the tick read before the change
  lfo.setFrequency(100.0f);         // the GUI thread: period 441, counter 0
  lfo.writeBackCounter(stale + 1.0f);

  constexpr std::uint32_t kSeed = 1234u;
  TRandom::seed(kSeed);
  const float value = lfo.tickValue();
  const float afterTick = TRandom::next();
  // The step restarts the cycle as the change asked: phase 0, one step on,
  // and no draw at all (a wrap per stale period would make 50000).
  EXPECT_EQ(drawsSince(kSeed, afterTick, 1000), 0);
  EXPECT_EQ(lfo.getPhase(), 0.0f);
  RacedLfo fresh;
  fresh.selectWave(TWavetableOsc::kWaveNoise);
  fresh.setFrequency(100.0f);
  TRandom::seed(kSeed);
  EXPECT_EQ(value, fresh.tickValue()) << "the same as a change that won the race";

  // Every wave reads inside its table whatever counter a race leaves.
  for (std::int32_t wave = 0; wave < kTables; ++wave) {
    RacedLfo raced;
    raced.selectWave(wave);
    raced.setFrequency(100.0f);
    for (float steps : {441.0f, 441.5f, 442.0f, 1.0e6f}) {
      raced.writeBackCounter(steps);
      const float v = raced.tickValue();
      EXPECT_GE(v, 0.0f) << wave << " " << steps;
      EXPECT_LE(v, 1.0f) << wave << " " << steps;
      EXPECT_LE(raced.getPhase(), 1.0f);
    }
  }
}

TEST(TRandom, SeededSequencesRepeatAndStayInTheUnitRange) {
  TRandom::seed(99);
  std::vector<float> first;
  for (int i = 0; i < 1000; ++i) first.push_back(TRandom::next());
  TRandom::seed(99);
  for (int i = 0; i < 1000; ++i) ASSERT_EQ(TRandom::next(), first[static_cast<std::size_t>(i)]);

  double sum = 0.0;
  float lowest = 1.0f;
  float highest = 0.0f;
  constexpr int kDraws = 100000;
  for (int i = 0; i < kDraws; ++i) {
    const float r = TRandom::next();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
    sum += r;
    lowest = std::min(lowest, r);
    highest = std::max(highest, r);
  }
  // Standard deviation of the mean: sqrt(1/12) / sqrt(100000) = 0.00091.
  EXPECT_NEAR(sum / kDraws, 0.5, 6 * 0.00091);
  EXPECT_LT(lowest, 0.001f);
  EXPECT_GT(highest, 0.999f);
}

}  // namespace
}  // namespace sarnel
