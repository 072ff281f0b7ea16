// Sarnel's LFOs as the engine drives them: the rate rule (free-running and
// following the host's tempo), the tempo answer and its limits, the heard
// period of an LFO that writes a parameter, and a few engine rules that are
// only visible over many frames or outputs (loop mode rounding, glide
// without a new attack, the echo tail after all notes off, the effect mode
// after a one-channel sample).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "sampler/dsp/TTempoRateTable.h"
#include "tests/sampler_engine/EngineFixture.h"

namespace {

using namespace sarnel;
using sarneltest::Block;
using sarneltest::EngineTest;

// The host's tempo answer is beats per minute x 10000.
constexpr std::int32_t tempoAnswer(int beatsPerMinute) { return beatsPerMinute * 10000; }

class SarnelLfoRates : public EngineTest {
 protected:
  void TearDown() override {
    sarneltest::testHost.tempoAnswer = 0;
    EngineTest::TearDown();
  }
  void run(int frames) {
    Block block(frames);
    block.replacing(*plugin);
  }
};

TEST_F(SarnelLfoRates, FreeRunningFrequencyIsTheRateTimesTwoHundredAndRestartsThePhase) {
  plugin->setParameter(kLfo1Rate, 0.25f);
  EXPECT_EQ(plugin->lfo(1).getFrequency(), 50.0f);  // heard: 0.25 x 4 = 1 Hz
  plugin->setParameter(kLfo2Rate, 0.125f);
  EXPECT_EQ(plugin->lfo(2).getFrequency(), 25.0f);
  run(500);
  EXPECT_GT(plugin->lfo(1).getPhase(), 0.0f);
  plugin->setParameter(kLfo1Rate, 0.25f);
  EXPECT_EQ(plugin->lfo(1).getPhase(), 0.0f);
  // 1.0 x 200 is beyond the oscillator's 100; 0 is below its 0.00001.
  plugin->setParameter(kLfo1Rate, 1.0f);
  EXPECT_EQ(plugin->lfo(1).getFrequency(), 100.0f);
  plugin->setParameter(kLfo1Rate, 0.0f);
  EXPECT_EQ(plugin->lfo(1).getFrequency(), 0.00001f);
}

TEST_F(SarnelLfoRates, SynchronisedFrequencyIsTheTableRateTimesFiftyTimesTheTempoOverSixty) {
  plugin->setParameter(kLfo1Sync, 1.0f);
  // The switch alone changes nothing until the next rate or tempo change.
  EXPECT_EQ(plugin->lfo(1).getFrequency(), 0.00001f);
  plugin->setParameter(kLfo1Rate, 0.3f);  // round(9.03) = 9: "1/4" cycle per beat
  ASSERT_EQ(TTempoRateTable::rateName(0.3f), "1/4");
  EXPECT_EQ(plugin->lfo(1).getFrequency(), 25.0f);  // 0.25 x 50 x 120 / 60
  // Sync at exactly 0.5 is off: the rate runs free.
  plugin->setParameter(kLfo2Sync, 0.5f);
  plugin->setParameter(kLfo2Rate, 0.3f);
  EXPECT_FLOAT_EQ(plugin->lfo(2).getFrequency(), 60.0f);  // 0.3 x 50 x 4 in float32
  plugin->setParameter(kLfo2Sync, 0.51f);
  plugin->setParameter(kLfo2Rate, 0.0f);  // "1/64"
  EXPECT_EQ(plugin->lfo(2).getFrequency(), 100.0f / 64.0f);  // 1/64 x 50 x 120 / 60
}

TEST_F(SarnelLfoRates, TheHostTempoRetunesSynchronisedLfosOnlyWhenItChanges) {
  plugin->setParameter(kLfo1Sync, 1.0f);
  plugin->setParameter(kLfo1Rate, 0.3f);  // 1/4 cycle per beat
  plugin->setParameter(kLfo2Rate, 0.25f);  // free: 50
  sarneltest::testHost.tempoAnswer = tempoAnswer(90);
  run(16);
  EXPECT_EQ(plugin->hostTempo(), 90.0f);
  // 0.25 x 90 / 1.2 = 18.75 (1.2 is not exact in binary: within a few ulps).
  EXPECT_FLOAT_EQ(plugin->lfo(1).getFrequency(), 18.75f);
  EXPECT_EQ(plugin->lfo(2).getFrequency(), 50.0f);
  EXPECT_EQ(plugin->lfo(1).getPhase(), 0.0f);  // set at the start of the block, not ticked yet

  // The same tempo again: no new frequency, so the phase runs on.
  run(200);
  const float phase = plugin->lfo(1).getPhase();
  EXPECT_GT(phase, 0.0f);
  run(50);
  EXPECT_GT(plugin->lfo(1).getPhase(), phase);

  // A rate set while the host plays 90 uses that tempo.
  plugin->setParameter(kLfo1Rate, 0.465f);  // round(13.9965) = 14: "1" cycle per beat
  EXPECT_FLOAT_EQ(plugin->lfo(1).getFrequency(), 75.0f);  // 1 x 50 x 90 / 60
}

TEST_F(SarnelLfoRates, TempoAnswersOutsideTenToFourHundredCountAsOneHundredTwenty) {
  const struct {
    std::int32_t answer;
    float tempo;
  } cases[] = {
      {0, 120.0f},                    // no answer
      {tempoAnswer(10), 10.0f},       // the limits themselves are kept
      {tempoAnswer(400), 400.0f},
      {99999, 120.0f},                // 9.9999
      {4000001, 120.0f},              // 400.0001
      {-tempoAnswer(100), 120.0f},
      {1405000, 140.5f},
  };
  for (const auto& c : cases) {
    sarneltest::testHost.tempoAnswer = c.answer;
    run(1);
    EXPECT_EQ(plugin->hostTempo(), c.tempo) << c.answer;
  }
}

// An LFO writing a square wave (0 or 1) into the volume: the parameter's
// value after each interval of 50 frames shows where the cycle turns.
class SarnelLfoPeriod : public SarnelLfoRates, public ::testing::WithParamInterface<float> {};

TEST_P(SarnelLfoPeriod, OneOscillatorStepPerFiftyFramesGivesRateTimesFourHertz) {
  const float rate = GetParam();
  plugin->setParameter(kLfo1Destination, 1.0f);  // volume
  plugin->setParameter(kLfo1Waveform, 0.6f);     // round(3): square
  plugin->setParameter(kLfo1DepthMin, 0.0f);
  plugin->setParameter(kLfo1DepthMax, 1.0f);
  plugin->setParameter(kLfo1Rate, rate);         // restarts the phase

  // Steps per cycle: 44100 / min(rate x 200, 100); the square is 1 while
  // round(4096 x step / period) is below 2048, and the counter wraps only
  // once it exceeds the period, so step `period` reads phase 1 (index 0).
  const double frequency = std::min(static_cast<double>(rate) * 200.0, 100.0);
  const int period = static_cast<int>(44100.0 / frequency);
  std::vector<float> volume;
  for (int tick = 0; tick < 2 * period + 2; ++tick) {
    run(50);  // the destination change evaluates at the first frame, then every 50
    volume.push_back(plugin->getParameter(kVolume));
  }
  std::vector<int> edges;
  for (std::size_t t = 1; t < volume.size(); ++t) {
    if (volume[t] != volume[t - 1]) edges.push_back(static_cast<int>(t));
  }
  EXPECT_EQ(volume[0], 1.0f);
  // Falling in mid-cycle, rising after exactly one period, and so on: one
  // cycle lasts period x 50 frames (22050 frames, 2 Hz, at rate 1).
  // The fall: the first step whose index reaches 2048 (221 of 441, 441 of 882).
  ASSERT_EQ(edges.size(), 4u);
  EXPECT_EQ(edges[0], (period + 1) / 2);
  EXPECT_EQ(edges[1], period);
  EXPECT_EQ(edges[2], edges[0] + period);
  EXPECT_EQ(edges[3], 2 * period);
}

INSTANTIATE_TEST_SUITE_P(Rates, SarnelLfoPeriod, ::testing::Values(1.0f, 0.25f));

TEST_F(SarnelLfoRates, AnLfoAtRateZeroStillAdvancesButWritesNothing) {
  plugin->setParameter(kLfo1Destination, 1.0f / 12.0f);  // loop low
  plugin->setParameter(kLfo1DepthMin, 0.5f);
  plugin->setParameter(kLfo1Rate, 0.0f);
  run(200);
  EXPECT_GT(plugin->lfo(1).getPhase(), 0.0f);
  EXPECT_EQ(plugin->getParameter(kLoopLow), 0.0f);
  EXPECT_GE(plugin->lfoValue(1), 0.5f);  // computed all the same
}

// Loop modes selected by round(v x 3), ties to even, seen through a voice
// that reaches the loop end: mode 0 frees it, mode 1 keeps it looping.
class SarnelLoopModeValues : public EngineTest {};

TEST_F(SarnelLoopModeValues, NearTheFirstBoundaryModeZeroStopsAndModeOneLoops) {
  sarneltest::makeEnvelopeImmediate(*plugin);
  loadWave("ramp.wav", sarneltest::ramp(64), 1);
  const struct {
    float value;
    bool loops;
  } cases[] = {{0.1666f, false}, {0.17f, true}, {0.0f, false}, {1.0f / 6.0f, false}};
  for (const auto& c : cases) {
    plugin->setParameter(kLoopMode, c.value);
    sarneltest::sendMidi(*plugin, {host::noteOn(0, 72, 100)});
    Block block(200);
    block.replacing(*plugin);
    EXPECT_EQ(plugin->voiceBank().isActive(0), c.loops) << c.value;
    sarneltest::sendMidi(*plugin, {host::controlChange(0, 123, 0)});
    Block tail(4);
    tail.replacing(*plugin);
    ASSERT_FALSE(plugin->voiceBank().isActive(0));
  }
}

class SarnelGlideEnvelope : public EngineTest {};

// A glide moves the pitch only: with a sustain of one half, a new attack
// would show as one frame at full level.
TEST_F(SarnelGlideEnvelope, AGlideToANewNoteStartsNoNewAttack) {
  plugin->setParameter(kAttack, 0.0f);
  plugin->setParameter(kDecay, 0.0f);
  plugin->setParameter(kSustain, 0.5f);
  plugin->setParameter(kPortamento, 1.0f);
  plugin->setParameter(kPortamentoTime, 0.01f);
  plugin->setParameter(kLoopMode, 1.0f / 3.0f);
  loadWave("dc.wav", std::vector<float>(512, 0.5f), 1);
  sarneltest::sendMidi(*plugin, {host::noteOn(0, 60, 127)});
  Block settle(8);
  settle.replacing(*plugin);
  ASSERT_EQ(settle.outL[7], 0.25f);  // 0.5 x sustain 0.5, one frame late
  sarneltest::sendMidi(*plugin, {host::noteOn(0, 67, 127)});
  Block gliding(600);
  gliding.replacing(*plugin);
  for (std::size_t i = 0; i < gliding.outL.size(); ++i) ASSERT_EQ(gliding.outL[i], 0.25f) << i;
  EXPECT_EQ(plugin->voiceBank().ratio[0], plugin->getParameter(kTuningFirst + 67) / plugin->getParameter(kTuningFirst + 72));
}

class SarnelEchoTail : public EngineTest {};

// All notes off clears the filters' states, not the delay line.
TEST_F(SarnelEchoTail, AfterAllNotesOffTheEchoStillPlays) {
  plugin->setParameter(kDelay, 0.01f);    // round(441) + 1 = 442 frames
  plugin->setParameter(kFeedback, 1.0f);  // each echo 0.9 of the last
  plugin->setParameter(kFilterHigh, 0.9f);
  Block first(442);
  first.inL[0] = 0.5f;
  first.replacing(*plugin);
  sarneltest::sendMidi(*plugin, {host::controlChange(0, 123, 0)});
  Block later(1000);
  later.replacing(*plugin);
  float loudest = 0.0f;
  for (std::size_t i = 400; i < later.outL.size(); ++i) loudest = std::max(loudest, std::fabs(later.outL[i]));
  EXPECT_GT(loudest, 0.05f);
}

class SarnelEffectMode : public EngineTest {};

// Unloaded after a one-channel sample, the instrument is an effect again and
// both outputs carry the left input's path (the channel count stays).
TEST_F(SarnelEffectMode, AfterAOneChannelSampleBothOutputsCarryTheLeftInput) {
  loadWave("mono.wav", std::vector<float>(64, 0.5f), 1);
  plugin->setParameter(kCommandUnload, 1.0f);
  ASSERT_TRUE(plugin->isNoSample());
  Block block(8);
  block.inL[2] = 0.5f;
  block.inR[4] = -0.25f;
  block.replacing(*plugin);
  for (std::size_t i = 0; i < block.outL.size(); ++i) EXPECT_EQ(block.outR[i], block.outL[i]) << i;
  EXPECT_EQ(block.outL[3], 0.5f);
  EXPECT_EQ(block.outR[5], block.outL[5]);
}

}  // namespace
