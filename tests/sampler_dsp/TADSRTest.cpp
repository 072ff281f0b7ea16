// The envelope's stage timings and edge cases, bit-exact where the arithmetic
// is float32 steps of 1 / (seconds x rate).

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "sampler/dsp/TADSR.h"

namespace sarnel {
namespace {

constexpr float kRate = 44100.0f;

// Steps until the stage leaves `from`; returns how many nextValue calls it took.
int samplesInStage(TADSR& env, std::uint8_t from, int limit = 10'000'000) {
  int count = 0;
  while (env.stage() == from && count < limit) {
    env.nextValue();
    ++count;
  }
  return count;
}

// How far a run of float32 steps may end from its exact length: each step on
// a level below 1 rounds by at most half an ulp of 1 (2^-24), so n steps
// drift by at most n x 2^-24 levels, that is n x 2^-24 / step samples; one
// more for the sample on which the comparison trips.
int stepTolerance(int steps, float step) {
  return static_cast<int>(steps * 0x1p-24 / step) + 1;
}

// The float32 sum the attack performs, written out independently: how many
// additions of `step` from `start` until the sum reaches 1.
int attackSamplesBySum(float start, float step) {
  float level = start;
  int count = 0;
  do {
    level += step;
    ++count;
  } while (level < 1.0f);
  return count;
}

TEST(TADSR, AttackOfOneAndAHalfSecondsStepsByOneOver66150) {
  TADSR env(kRate);
  env.setAttack(3.0f * 0.5f);  // the engine's 3 x parameter
  env.gateOn();
  const float first = env.nextValue();
  EXPECT_EQ(first, 1.0f / 66150.0f);
  EXPECT_EQ(env.nextValue(), first + first);

  TADSR full(kRate);
  full.setAttack(1.5f);
  full.gateOn();
  const int samples = samplesInStage(full, TADSR::kStageAttack);
  EXPECT_EQ(samples, attackSamplesBySum(0.0f, 1.0f / 66150.0f));
  // The float32 sum decides the exact sample, but it stays near the set time.
  EXPECT_NEAR(samples, 66150, stepTolerance(66150, 1.0f / 66150.0f));
  EXPECT_EQ(full.level(), 1.0f);
  EXPECT_EQ(full.stage(), TADSR::kStageDecay);
}

TEST(TADSR, StagesRunAttackDecaySustainRelease) {
  TADSR env(kRate);
  env.setAttack(0.01f);   // 441 samples
  env.setDecay(0.02f);    // 882 samples from 1 to 0, so 441 to 0.5
  env.setSustain(0.5f);
  env.setRelease(0.04f);  // 1764 samples from 1 to 0
  env.gateOn();

  const int attack = samplesInStage(env, TADSR::kStageAttack);
  EXPECT_NEAR(attack, 441, stepTolerance(441, 1.0f / 441.0f));
  EXPECT_EQ(env.level(), 1.0f);

  const int decay = samplesInStage(env, TADSR::kStageDecay);
  EXPECT_NEAR(decay, 441, stepTolerance(441, 1.0f / 882.0f));  // (1 - sustain) x the set time
  EXPECT_EQ(env.level(), 0.5f);
  EXPECT_EQ(env.stage(), TADSR::kStageSustain);

  for (int i = 0; i < 1000; ++i) ASSERT_EQ(env.nextValue(), 0.5f);

  env.gateOff();
  EXPECT_EQ(env.stage(), TADSR::kStageRelease);
  const int release = samplesInStage(env, TADSR::kStageRelease);
  EXPECT_NEAR(release, 882, stepTolerance(882, 1.0f / 1764.0f));  // level x the set time
  EXPECT_EQ(env.level(), 0.0f);
  EXPECT_EQ(env.stage(), TADSR::kStageFinished);
  EXPECT_EQ(env.nextValue(), 0.0f);
  EXPECT_EQ(env.stage(), TADSR::kStageFinished);
}

TEST(TADSR, ZeroTimesCompleteEachStageOnItsFirstSample) {
  TADSR env(kRate);
  env.setAttack(0.0f);
  env.setDecay(0.0f);
  env.setSustain(0.25f);
  env.setRelease(0.0f);
  env.gateOn();
  EXPECT_EQ(env.nextValue(), 1.0f);
  EXPECT_EQ(env.stage(), TADSR::kStageDecay);
  EXPECT_EQ(env.nextValue(), 0.25f);
  EXPECT_EQ(env.stage(), TADSR::kStageSustain);
  env.gateOff();
  EXPECT_EQ(env.nextValue(), 0.0f);
  EXPECT_EQ(env.stage(), TADSR::kStageFinished);
}

TEST(TADSR, TimesTooShortOrNotANumberActLikeZero) {
  // NaN, a negative zero and a time far below one sample must not leave a
  // NaN or a stuck stage behind.
  for (const float seconds : {std::numeric_limits<float>::quiet_NaN(), -0.0f, 1e-44f}) {
    TADSR env(kRate);
    env.setAttack(seconds);
    env.setDecay(seconds);
    env.setSustain(0.5f);
    env.setRelease(seconds);
    env.gateOn();
    EXPECT_EQ(env.nextValue(), 1.0f) << seconds;
    EXPECT_EQ(env.nextValue(), 0.5f) << seconds;
    env.gateOff();
    EXPECT_EQ(env.nextValue(), 0.0f) << seconds;
    EXPECT_EQ(env.stage(), TADSR::kStageFinished) << seconds;
  }
}

TEST(TADSR, NegativeTimesCountByTheirMagnitude) {
  TADSR negative(kRate);
  TADSR positive(kRate);
  negative.setAttack(-0.25f);
  positive.setAttack(0.25f);
  negative.gateOn();
  positive.gateOn();
  for (int i = 0; i < 100; ++i) ASSERT_EQ(negative.nextValue(), positive.nextValue());
}

TEST(TADSR, SustainOfOneEndsTheDecayOnItsFirstSample) {
  TADSR env(kRate);
  env.setAttack(0.0f);
  env.setDecay(1.0f);
  env.setSustain(1.0f);
  env.gateOn();
  env.nextValue();
  EXPECT_EQ(env.nextValue(), 1.0f);
  EXPECT_EQ(env.stage(), TADSR::kStageSustain);
}

TEST(TADSR, SustainIsLimitedToTheUnitRange) {
  for (const float sustain : {-0.3f, std::numeric_limits<float>::quiet_NaN(), 1.5f,
                              std::numeric_limits<float>::infinity()}) {
    TADSR env(kRate);
    env.setAttack(0.0f);
    env.setDecay(0.0f);
    env.setSustain(sustain);
    env.gateOn();
    env.nextValue();
    const float expected = sustain > 1.0f ? 1.0f : 0.0f;
    EXPECT_EQ(env.nextValue(), expected) << sustain;
    // A sustain of 0 is a held stage, not the end of the note.
    EXPECT_EQ(env.stage(), TADSR::kStageSustain) << sustain;
  }
}

TEST(TADSR, GateOffDuringAttackReleasesFromTheLevelReached) {
  TADSR env(kRate);
  env.setAttack(1.0f);
  env.setRelease(1.0f);
  env.gateOn();
  float reached = 0.0f;
  for (int i = 0; i < 4410; ++i) reached = env.nextValue();
  EXPECT_NEAR(reached, 0.1f, 0.001f);
  env.gateOff();
  const float rate = 1.0f / 44100.0f;
  EXPECT_EQ(env.nextValue(), reached - rate);
  // Releasing from 0.1 takes a tenth of the release time.
  const int rest = samplesInStage(env, TADSR::kStageRelease);
  EXPECT_NEAR(rest + 1, 4410, stepTolerance(4410, 1.0f / 44100.0f));
}

TEST(TADSR, GateOnDuringReleaseRisesFromTheCurrentLevel) {
  TADSR env(kRate);
  env.setAttack(0.0f);
  env.setDecay(0.0f);
  env.setSustain(0.8f);
  env.setRelease(1.0f);
  env.gateOn();
  env.nextValue();
  env.nextValue();
  env.gateOff();
  float level = 0.0f;
  for (int i = 0; i < 1000; ++i) level = env.nextValue();
  ASSERT_LT(level, 0.8f);

  env.setAttack(1.0f);
  env.gateOn();
  EXPECT_EQ(env.stage(), TADSR::kStageAttack);
  EXPECT_EQ(env.nextValue(), level + 1.0f / 44100.0f);
}

TEST(TADSR, RateChangesReachDecayAndReleaseAtOnceAndAttackAtTheNextGate) {
  TADSR env(kRate);
  env.setAttack(1.0f);
  env.setDecay(1.0f);
  env.setSustain(0.0f);
  env.gateOn();
  const float a1 = env.nextValue();
  env.setAttack(0.5f);  // the running attack keeps its copied step
  EXPECT_EQ(env.nextValue(), a1 + a1);
  env.gateOn();  // the new gate copies the new rate
  const float a3 = env.nextValue();
  EXPECT_EQ(a3, (a1 + a1) + 1.0f / 22050.0f);

  TADSR decaying(kRate);
  decaying.setAttack(0.0f);
  decaying.setDecay(1.0f);
  decaying.setSustain(0.0f);
  decaying.gateOn();
  decaying.nextValue();
  const float d1 = decaying.nextValue();
  EXPECT_EQ(d1, 1.0f - 1.0f / 44100.0f);
  decaying.setDecay(0.5f);
  EXPECT_EQ(decaying.nextValue(), d1 - 1.0f / 22050.0f);

  decaying.gateOff();
  decaying.setRelease(2.0f);
  const float r1 = decaying.nextValue();
  decaying.setRelease(1.0f);
  EXPECT_EQ(decaying.nextValue(), r1 - 1.0f / 44100.0f);
}

TEST(TADSR, SustainChangeMovesADecayButNotAHeldSustain) {
  TADSR env(kRate);
  env.setAttack(0.0f);
  env.setDecay(1.0f);
  env.setSustain(0.2f);
  env.gateOn();
  env.nextValue();
  env.nextValue();
  ASSERT_EQ(env.stage(), TADSR::kStageDecay);
  env.setSustain(0.99999f);  // the next decay step lands below it
  EXPECT_EQ(env.nextValue(), 0.99999f);
  EXPECT_EQ(env.stage(), TADSR::kStageSustain);
  env.setSustain(0.3f);
  EXPECT_EQ(env.nextValue(), 0.99999f);
}

TEST(TADSR, SampleRateChangeKeepsTheTimesInSeconds) {
  TADSR env(kRate);
  env.setAttack(0.5f);
  env.setDecay(0.5f);
  env.setSustain(0.5f);
  env.setRelease(0.5f);
  env.setSampleRate(88200.0f);
  EXPECT_EQ(env.getSampleRate(), 88200.0f);
  env.gateOn();
  EXPECT_EQ(env.nextValue(), 1.0f / 44100.0f);  // 1 / (0.5 x 88200)
  const float step = 1.0f / 44100.0f;
  EXPECT_NEAR(samplesInStage(env, TADSR::kStageAttack) + 1, 44100, stepTolerance(44100, step));
  EXPECT_NEAR(samplesInStage(env, TADSR::kStageDecay), 22050, stepTolerance(22050, step));
  env.gateOff();
  EXPECT_NEAR(samplesInStage(env, TADSR::kStageRelease), 22050, stepTolerance(22050, step));

  // A running attack continues at the step of the new rate.
  TADSR running(kRate);
  running.setAttack(1.0f);
  running.gateOn();
  const float before = running.nextValue();
  running.setSampleRate(22050.0f);
  EXPECT_EQ(running.nextValue(), before + 1.0f / 22050.0f);
}

TEST(TADSR, UnusableSampleRatesCountAs44100) {
  for (const float rate : {0.0f, -48000.0f, std::numeric_limits<float>::quiet_NaN(),
                           std::numeric_limits<float>::infinity()}) {
    TADSR env(rate);
    EXPECT_EQ(env.getSampleRate(), 44100.0f) << rate;
    env.setAttack(1.0f);
    env.gateOn();
    EXPECT_EQ(env.nextValue(), 1.0f / 44100.0f) << rate;
    env.setSampleRate(rate);
    EXPECT_EQ(env.getSampleRate(), 44100.0f) << rate;
  }
}

}  // namespace
}  // namespace sarnel
