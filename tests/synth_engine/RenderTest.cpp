// Rendering: pitch, envelope, glide, unison, the effect paths, filter, comb,
// clip, phase inversion and the two process entries. The engine is compared
// sample for sample with the plain model in ReferenceSynth.h, and checked
// against the design's own numbers where it gives them.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <thread>
#include <limits>
#include <string>
#include <vector>

#include "tests/synth_engine/ReferenceSynth.h"
#include "tests/synth_engine/SynthTestSupport.h"

namespace {

using namespace marrowglint;
using synthtest::Block;
using synthtest::makePlugin;
using synthtest::sendMidi;

// Renders exactly one frame and returns the left sample.
float renderFrame(APlugin& plugin, float in0 = 0.0f, float in1 = 0.0f) {
  Block block(1);
  block.in0[0] = in0;
  block.in1[0] = in1;
  block.replacing(plugin);
  return block.out0[0];
}

void renderFrames(APlugin& plugin, int frames) {
  Block block(frames);
  block.replacing(plugin);
}

// ---------------------------------------------------------------------------
// Pitch and voices

TEST(SynthRender, Note60PlaysIncrement512OnTheHighestVoice) {
  auto plugin = makePlugin();
  sendMidi(*plugin, {host::noteOn(0, 60, 100)});
  TVoice voice = plugin->voice(4);
  EXPECT_EQ(voice.note, 108);  // shifted by G.Tune 0.5
  EXPECT_EQ(voice.increment1, 512.0f);
  EXPECT_EQ(voice.increment2, 512.0f);
  EXPECT_EQ(voice.gain, 100.0f / 127.0f);
  EXPECT_EQ(voice.state, kEnvelopeAttack);
  for (int v = 1; v <= 3; ++v) EXPECT_EQ(plugin->voice(v).state, kEnvelopeIdle);

  // Oscillator 1 steps 512 per sample; oscillator 2 a further 0.3 (the
  // "Fin2" offset of 0.5 − 0.2) until oscillator 1 wraps and syncs it.
  float expected2 = 0.0f;
  for (int n = 1; n < 32; ++n) {
    renderFrame(*plugin);
    voice = plugin->voice(4);
    expected2 += 512.0f + (0.5f - 0.2f);
    ASSERT_EQ(voice.phase1, 512.0f * static_cast<float>(n)) << n;
    ASSERT_EQ(voice.phase2, expected2) << n;
  }
  renderFrame(*plugin);
  voice = plugin->voice(4);
  EXPECT_EQ(voice.phase1, 0.0f);
  EXPECT_EQ(voice.phase2, 512.0f + (0.5f - 0.2f));  // synced to 0, then stepped
}

TEST(SynthRender, OutputRepeatsEvery32FramesAt1378Hz) {
  auto plugin = makePlugin();
  sendMidi(*plugin, {host::noteOn(0, 60, 127)});
  // Let attack, decay, filter and the 501-frame comb settle.
  renderFrames(*plugin, 20000);
  Block block(256);
  block.replacing(*plugin);
  double energy = 0.0;
  double halfPeriodDifference = 0.0;
  for (int n = 0; n + 32 < 256; ++n) {
    EXPECT_NEAR(block.out0[n], block.out0[n + 32], 1e-5f) << n;
    energy += block.out0[n] * block.out0[n];
    halfPeriodDifference += std::fabs(block.out0[n] - block.out0[n + 16]);
  }
  EXPECT_GT(energy / 224, 1e-3);           // it sounds
  EXPECT_GT(halfPeriodDifference / 224, 1e-2);  // and 32 frames is the period, not 16
}

TEST(SynthRender, TuneAndGlobalTuneShiftTheIncrements) {
  auto plugin = makePlugin();
  plugin->setParameter(kGTune, 0.0f);
  plugin->setParameter(kTun1, 1.0f);   // +24 semitones
  plugin->setParameter(kTun2, 0.25f);  // −12 semitones
  sendMidi(*plugin, {host::noteOn(0, 60, 64)});
  const TVoice voice = plugin->voice(4);
  EXPECT_EQ(voice.note, 84);
  EXPECT_EQ(voice.increment1, 512.0f);  // 84 + 24 − 24 semitones: 2^9
  EXPECT_EQ(voice.increment2, 64.0f);   // 84 − 12 − 24 semitones: 2^6
  plugin->setParameter(kTun1, 0.5f + 7.0f / 48.0f);  // a fifth up
  sendMidi(*plugin, {host::noteOn(0, 60, 64)});
  EXPECT_FLOAT_EQ(plugin->voice(3).increment1, static_cast<float>(std::pow(2.0, 91.0 / 12.0)));
}

TEST(SynthRender, PolyphonyTakesTheHighestFreeVoiceAndDropsTheFifth) {
  auto plugin = makePlugin();
  sendMidi(*plugin, {host::noteOn(0, 60, 100), host::noteOn(0, 62, 100), host::noteOn(0, 64, 100),
                     host::noteOn(0, 65, 100)});
  EXPECT_EQ(plugin->voice(4).note, 108);
  EXPECT_EQ(plugin->voice(3).note, 110);
  EXPECT_EQ(plugin->voice(2).note, 112);
  EXPECT_EQ(plugin->voice(1).note, 113);
  renderFrames(*plugin, 10);
  const float phaseBefore = plugin->voice(4).phase1;
  sendMidi(*plugin, {host::noteOn(0, 67, 100)});
  for (int v = 1; v <= 4; ++v) EXPECT_NE(plugin->voice(v).note, 115) << v;
  EXPECT_EQ(plugin->voice(4).phase1, phaseBefore);
  EXPECT_EQ(plugin->voice(5).note, 0);  // the spare voices never sound
}

TEST(SynthRender, FatModeDetunesAllFourVoices) {
  auto plugin = makePlugin();
  plugin->setParameter(kFat, 1.0f);
  renderFrames(*plugin, 3);
  sendMidi(*plugin, {host::noteOn(0, 60, 127)});
  const float detune[4] = {-0.25f, -0.15f, -0.05f, 0.05f};
  for (int v = 1; v <= 4; ++v) {
    const TVoice voice = plugin->voice(v);
    EXPECT_EQ(voice.note, 108);
    EXPECT_EQ(voice.gain, 127.0f / 127.0f * 0.7f);
    EXPECT_FLOAT_EQ(voice.increment1, 512.0f + detune[v - 1]);
    EXPECT_FLOAT_EQ(voice.increment2, 512.0f - detune[v - 1]);
    EXPECT_EQ(voice.state, kEnvelopeAttack);
  }
  renderFrames(*plugin, 5);
  const float phase = plugin->voice(2).phase1;
  // Every further note restarts all four voices without resetting phases.
  sendMidi(*plugin, {host::noteOn(0, 72, 64)});
  for (int v = 1; v <= 4; ++v) {
    EXPECT_EQ(plugin->voice(v).note, 120);
    EXPECT_EQ(plugin->voice(v).level, 0.0f);
  }
  EXPECT_EQ(plugin->voice(2).phase1, phase);
  // One note-off releases them all.
  sendMidi(*plugin, {host::noteOff(0, 72)});
  for (int v = 1; v <= 4; ++v) EXPECT_EQ(plugin->voice(v).state, kEnvelopeRelease);
}

// ---------------------------------------------------------------------------
// Envelope

// Frames until the voice leaves `state`.
int framesIn(APlugin& plugin, int v, int state, int limit) {
  for (int n = 1; n <= limit; ++n) {
    renderFrame(plugin);
    if (plugin.voice(v).state != state) return n;
  }
  return -1;
}

TEST(SynthEnvelope, StageTimesAtParameterOneAndZero) {
  auto fast = makePlugin();
  fast->setParameter(kAAt, 1.0f);
  fast->setParameter(kADe, 1.0f);
  fast->setParameter(kASu, 0.5f);
  sendMidi(*fast, {host::noteOn(0, 60, 100)});
  // 0.01 per frame: 100 frames full scale (one more when rounding leaves it short).
  const int attack = framesIn(*fast, 4, kEnvelopeAttack, 1000);
  EXPECT_GE(attack, 100);
  EXPECT_LE(attack, 101);
  EXPECT_EQ(fast->voice(4).level, 1.0f);
  const int decay = framesIn(*fast, 4, kEnvelopeDecay, 1000);
  EXPECT_GE(decay, 50);
  EXPECT_LE(decay, 51);
  EXPECT_EQ(fast->voice(4).state, kEnvelopeSustain);
  EXPECT_EQ(fast->voice(4).level, 0.5f);
  renderFrames(*fast, 1000);
  EXPECT_EQ(fast->voice(4).level, 0.5f);

  auto slow = makePlugin();
  slow->setParameter(kAAt, 0.0f);
  sendMidi(*slow, {host::noteOn(0, 60, 100)});
  renderFrames(*slow, 22050);
  EXPECT_NEAR(slow->voice(4).level, 0.5f, 1e-3f);  // 1/44100 per frame
  const int rest = framesIn(*slow, 4, kEnvelopeAttack, 30000);
  // 44100 float additions, each off by at most half an ulp of the level
  // (2^-25 below 1): up to 44100 × 2^-25 of level, 58 frames of 1/44100.
  EXPECT_NEAR(22050 + rest, 44100, 58);
}

TEST(SynthEnvelope, ReleaseEndsJustBelowZeroAndFreesTheVoice) {
  auto plugin = makePlugin();
  plugin->setParameter(kAAt, 1.0f);
  plugin->setParameter(kADe, 1.0f);
  plugin->setParameter(kASu, 0.5f);
  plugin->setParameter(kARe, 1.0f);
  sendMidi(*plugin, {host::noteOn(0, 60, 100)});
  renderFrames(*plugin, 300);
  sendMidi(*plugin, {host::noteOff(0, 60)});
  EXPECT_EQ(plugin->voice(4).state, kEnvelopeRelease);
  const int release = framesIn(*plugin, 4, kEnvelopeRelease, 1000);
  EXPECT_GE(release, 50);
  EXPECT_LE(release, 51);
  const TVoice voice = plugin->voice(4);
  EXPECT_EQ(voice.note, 0);
  EXPECT_LT(voice.level, 0.0f);
  EXPECT_GT(voice.level, -0.01f);
  renderFrames(*plugin, 10);
  EXPECT_EQ(plugin->voice(4).level, voice.level);  // stays until the voice starts again
}

TEST(SynthEnvelope, SustainZero) {
  auto plugin = makePlugin();
  plugin->setParameter(kAAt, 1.0f);
  plugin->setParameter(kADe, 1.0f);
  plugin->setParameter(kASu, 0.0f);
  sendMidi(*plugin, {host::noteOn(0, 60, 100)});
  renderFrames(*plugin, 250);  // attack and the whole decay
  EXPECT_EQ(plugin->voice(4).state, kEnvelopeIdle);
  EXPECT_EQ(plugin->voice(4).note, 0);
  EXPECT_EQ(plugin->voice(4).level, 0.0f);

  // A note-off during the decay silences the voice at once.
  sendMidi(*plugin, {host::noteOn(0, 60, 100)});
  renderFrames(*plugin, 150);
  ASSERT_EQ(plugin->voice(4).state, kEnvelopeDecay);
  sendMidi(*plugin, {host::noteOff(0, 60)});
  EXPECT_EQ(plugin->voice(4).state, kEnvelopeIdle);
  EXPECT_EQ(plugin->voice(4).note, 108);  // the note stays; the voice is free by its state

  // A note-off during the attack silences the voice at once.
  sendMidi(*plugin, {host::noteOn(0, 60, 100)});
  renderFrames(*plugin, 20);
  sendMidi(*plugin, {host::noteOff(0, 60)});
  EXPECT_EQ(plugin->voice(4).state, kEnvelopeIdle);
  renderFrames(*plugin, 1200);  // the comb and filter forget the note
  auto silent = makePlugin();
  silent->setParameter(kASu, 0.0f);
  Block a(64), b(64);
  a.replacing(*plugin);
  b.replacing(*silent);
  for (int n = 0; n < 64; ++n) EXPECT_NEAR(a.out0[n], b.out0[n], 1e-6f);
}

TEST(SynthGlide, FirstNoteRisesFromZeroBy003PerFrame) {
  auto plugin = makePlugin();
  plugin->setParameter(kGlide, 1.0f);
  sendMidi(*plugin, {host::noteOn(0, 60, 100)});
  const auto voice = [&plugin] { return plugin->voice(4); };
  EXPECT_EQ(voice().increment1, 0.0f);  // the note changes only the shared targets
  EXPECT_EQ(plugin->glideTarget(1), 512.0f);
  EXPECT_EQ(plugin->glideTarget(2), 512.0f);
  renderFrames(*plugin, 1000);
  EXPECT_NEAR(voice().increment1, 30.0f, 0.01f);
  EXPECT_NEAR(voice().increment2, 30.0f, 0.01f);
  // About 17067 frames to reach 512; then it stays within one step.
  renderFrames(*plugin, 16000);
  EXPECT_LT(voice().increment1, 512.0f);
  renderFrames(*plugin, 100);
  EXPECT_NEAR(voice().increment1, 512.0f, 0.03f);
  for (int n = 0; n < 10; ++n) {
    renderFrame(*plugin);
    EXPECT_NEAR(voice().increment1, 512.0f, 0.0301f);
  }
  // A second note on another voice: every sounding voice heads for it.
  sendMidi(*plugin, {host::noteOn(0, 48, 100)});
  EXPECT_EQ(plugin->glideTarget(1), 256.0f);
  const float before = voice().increment1;
  renderFrame(*plugin);
  EXPECT_FLOAT_EQ(voice().increment1, before - 0.03f);
  EXPECT_EQ(plugin->voice(3).increment1, 0.03f);
}

// ---------------------------------------------------------------------------
// The whole render loop against the plain model

struct Scenario {
  std::string name;
  std::vector<std::pair<int, float>> parameters;
  std::vector<int> notes;  // MIDI notes started at frame 0, 300, 600, ...
  bool withInput = false;
  float inputGain = 1.0f;
};

// Renders `frames` frames in uneven blocks, starting a note every 300
// frames and releasing it 900 frames later, and expects the engine's bits
// to be the model's.
void expectModelOutput(const Scenario& scenario, int mode, int frames = 4000) {
  auto plugin = makePlugin();
  reference::ReferenceSynth model(plugin->waveTables());
  plugin->setParameter(kCommandInterpolation, static_cast<float>(mode) / 10.0f);
  model.interpolation = mode;
  for (const auto& [index, value] : scenario.parameters) {
    plugin->setParameter(index, value);
    model.set(index, value);
  }
  const bool invert = model.get(kPhase) > 0.0f;
  const int blockSizes[] = {1, 17, 512, 300, 4096, 64};
  int frame = 0;
  int blockIndex = 0;
  while (frame < frames) {
    // Events land on frame multiples of 300; blocks end there.
    if (frame % 300 == 0) {
      const int k = frame / 300;
      std::vector<host::MidiMessage> events;
      if (k < static_cast<int>(scenario.notes.size())) events.push_back(host::noteOn(0, scenario.notes[k], 90 + k));
      if (k >= 3 && k - 3 < static_cast<int>(scenario.notes.size())) events.push_back(host::noteOff(0, scenario.notes[k - 3]));
      sendMidi(*plugin, events);
      for (const host::MidiMessage& m : events) model.midiNote(m.status, m.data1, m.data2);
    }
    const int toEvent = 300 - frame % 300;
    const int size = std::min({blockSizes[blockIndex++ % 6], toEvent, frames - frame});
    Block block(size);
    for (int n = 0; n < size && scenario.withInput; ++n) {
      block.in0[n] = scenario.inputGain * 0.5f * std::sin(0.05f * static_cast<float>(frame + n));
      block.in1[n] = scenario.inputGain * 0.3f * std::sin(0.011f * static_cast<float>(frame + n));
    }
    block.replacing(*plugin);
    for (int n = 0; n < size; ++n) {
      const float y = model.renderOne(block.in0[n], block.in1[n]);
      ASSERT_EQ(block.out0[n], y) << scenario.name << " mode " << mode << " frame " << frame + n;
      ASSERT_EQ(block.out1[n], invert ? -y : y) << scenario.name << " mode " << mode << " frame " << frame + n;
    }
    frame += size;
  }
}

const std::vector<Scenario>& scenarios() {
  static const std::vector<Scenario> all = {
      {"defaults", {}, {60, 64, 67, 72, 48}},
      {"sine and noise", {{kWav1, 0.0f}, {kWav2, 0.3f}}, {60, 67}},
      {"triangle and sine", {{kWav1, 0.3f}, {kWav2, 0.0f}, {kMix, 0.2f}}, {55, 62, 69}},
      {"pwm low mix", {{kPWM, 0.6f}, {kMix, 0.3f}}, {60, 64}},
      {"pwm high mix", {{kPWM, 0.6f}, {kMix, 0.8f}}, {60, 64}},
      {"fm low mix", {{kFM, 0.8f}, {kMix, 0.3f}, {kWav1, 0.0f}}, {60, 72}},
      {"fm high mix with pwm", {{kFM, 1.0f}, {kPWM, 1.0f}, {kMix, 0.9f}}, {48, 84}},
      {"ring", {{kRMod, 0.5f}}, {60, 63}, true},
      {"comb", {{kTube, 0.9f}, {kCut, 0.5f}}, {60, 67, 74}, true},
      {"high pass", {{kFilt, 0.1f}, {kReso, 0.9f}, {kCut, 0.3f}}, {60, 64}},
      {"s1 filter", {{kFilt, 0.2f}, {kReso, 0.5f}}, {60, 64}},
      {"s2 filter", {{kFilt, 0.3f}, {kReso, 0.7f}, {kCut, 0.6f}}, {60, 64}, true},
      {"extreme cutoff and resonance", {{kCut, 1.0f}, {kReso, 1.0f}}, {36, 40}},
      {"fat", {{kFat, 1.0f}}, {60, 65}},
      {"glide", {{kGlide, 1.0f}}, {60, 72, 48}},
      {"fat glide", {{kFat, 0.5f}, {kGlide, 0.5f}}, {60, 72}},
      {"lfo on mix", {{kLFOAmnt, 1.0f}, {kLFORate, 1.0f}}, {60, 64}},
      {"lfo on cutoff", {{kLFOAmnt, 0.7f}, {kLFORate, 0.3f}, {kLFODest, 0.02f}, {kLFOWav, 0.1f}}, {60}},
      {"lfo on fine tune", {{kLFOAmnt, 1.0f}, {kLFORate, 0.9f}, {kLFODest, 0.01f}, {kLFOWav, 0.2f}}, {60}},
      {"lfo on effects", {{kLFOAmnt, 1.0f}, {kLFORate, 0.5f}, {kLFODest, 0.04f}, {kLFOWav, 0.3f}}, {60, 67}},
      {"lfo on ring", {{kLFOAmnt, 0.5f}, {kLFORate, 0.5f}, {kLFODest, 0.07f}}, {60, 67}},
      {"lfo on resonance", {{kLFOAmnt, 1.0f}, {kLFORate, 0.8f}, {kLFODest, 0.03f}, {kCut, 0.4f}}, {60, 64}},
      {"lfo on fm", {{kLFOAmnt, 1.0f}, {kLFORate, 0.7f}, {kLFODest, 0.05f}, {kMix, 0.7f}}, {60, 64}},
      {"lfo on tube", {{kLFOAmnt, 0.8f}, {kLFORate, 0.4f}, {kLFODest, 0.06f}}, {60}, true},
      {"glide below zero", {{kGlide, 1.0f}, {kFin1, 0.0f}, {kFin2, 0.0f}, {kGTune, 0.0f}}, {0, 12}},
      {"highest notes", {{kTun1, 1.0f}, {kTun2, 1.0f}, {kGTune, 1.0f}, {kFin1, 1.0f}}, {127, 120}},
      {"lowest notes", {{kTun1, 0.0f}, {kTun2, 0.0f}, {kGTune, 0.0f}, {kFin1, 0.0f}, {kFin2, 0.0f}}, {0, 1}},
      {"sustain zero", {{kASu, 0.0f}, {kADe, 0.9f}, {kAAt, 0.95f}}, {60, 64, 67}},
      {"quick envelope", {{kAAt, 1.0f}, {kADe, 1.0f}, {kASu, 0.4f}, {kARe, 1.0f}}, {60, 64, 67, 71, 74}},
      {"quiet inverted", {{kOutVol, 0.3f}, {kPhase, 0.3f}}, {60}},
      {"loud clipped", {{kFat, 1.0f}, {kReso, 0.98f}, {kCut, 0.2f}}, {30}},
      {"overflowing input", {{kReso, 1.0f}, {kCut, 1.0f}, {kTube, 1.0f}, {kFilt, 0.2f}}, {60}, true, 3.4e38f},
      {"overflowing input, low pass", {{kReso, 1.0f}, {kCut, 0.8f}, {kTube, 1.0f}}, {60, 64}, true, 3e38f},
  };
  return all;
}

class SynthAgainstModel : public ::testing::TestWithParam<int> {};

TEST_P(SynthAgainstModel, EveryScenarioBitForBit) {
  for (const Scenario& scenario : scenarios()) expectModelOutput(scenario, GetParam());
}

INSTANTIATE_TEST_SUITE_P(InterpolationModes, SynthAgainstModel, ::testing::Values(0, 1, 2));

TEST(SynthRender, BlockSizeDoesNotChangeTheOutput) {
  std::vector<float> reference;
  for (const int blockSize : {4096, 1, 17, 512}) {
    auto plugin = makePlugin();
    plugin->setParameter(kLFOAmnt, 1.0f);
    plugin->setParameter(kLFORate, 0.7f);
    plugin->setParameter(kLFODest, 0.02f);
    sendMidi(*plugin, {host::noteOn(0, 60, 100), host::noteOn(0, 67, 100)});
    const std::vector<float> out = synthtest::renderLeft(*plugin, 4096, blockSize);
    if (reference.empty()) reference = out;
    ASSERT_EQ(out, reference) << blockSize;
  }
}

// ---------------------------------------------------------------------------
// Filter, comb, clip and the process entries

TEST(SynthFilter, TypesAndClamps) {
  // Low pass keeps a constant input, high pass removes it.
  TResonantFilter low, high;
  float lowOut = 0.0f, highOut = 0.0f;
  for (int n = 0; n < 5000; ++n) {
    lowOut = low.filterSample(0.5f, 0.0001f, 0.9f, 0.0f);
    highOut = high.filterSample(0.5f, 0.0001f, 0.9f, 0.1f);
  }
  EXPECT_NEAR(lowOut, 0.5f, 1e-5f);
  EXPECT_NEAR(highOut, 0.0f, 1e-5f);

  TResonantFilter s1, s2;
  for (int n = 0; n < 10; ++n) {
    const float x = 0.1f * static_cast<float>(n);
    const float y1 = s1.filterSample(x, 0.5f, 0.3f, 0.2f);
    EXPECT_EQ(y1, s1.stage1() * s1.stage0() * 4.0f);
    const float y2 = s2.filterSample(x, 0.5f, 0.3f, 0.3f);
    const float a = s2.stage0(), b = s2.stage1();
    EXPECT_EQ(y2, TResonantFilter::sine(TResonantFilter::sine(a + b) * x + 1e-24f - (a - b)) - b);
    EXPECT_NEAR(y2, std::sin(std::sin(a + b) * x - (a - b)) - b, 1e-6f);
  }

  // Cutoff and resonance beyond their limits act as the limits.
  TResonantFilter wide, limited, tiny, floor;
  for (int n = 0; n < 200; ++n) {
    const float x = n % 7 == 0 ? 1.0f : -0.2f;
    EXPECT_EQ(wide.filterSample(x, 1.0f, 1.0f, 0.0f), limited.filterSample(x, 0.98f, 0.99f, 0.0f));
    EXPECT_EQ(tiny.filterSample(x, 0.0f, 0.0f, 0.0f), floor.filterSample(x, 0.0f, 0.001f, 0.0f));
  }
}

TEST(SynthFilter, TypeValuesSelectFourOutputs) {
  // A constant 0.4 on both inputs and no note: once the filter has settled
  // (cutoff 0.9, resonance 0.0001) both stages hold 0.4, and the comb, fed
  // a constant, gives it back. Each type's output follows from its formula:
  // LP s1 = 0.4, HP x − s1 = 0, S1 s1 × s0 × 4 = 0.64,
  // S2 sin(sin(0.8) × 0.4 − 0) − 0.4.
  const double s2 = std::sin(std::sin(0.8) * 0.4) - 0.4;
  const std::vector<std::pair<float, double>> cases = {{0.0f, 0.4}, {0.1f, 0.0}, {0.2f, 0.64}, {0.3f, s2}};
  for (const auto& [type, expected] : cases) {
    auto plugin = makePlugin();
    plugin->setParameter(kFilt, type);
    Block block(2000);
    std::fill(block.in0.begin(), block.in0.end(), 0.4f);
    std::fill(block.in1.begin(), block.in1.end(), 0.4f);
    block.replacing(*plugin);
    // Float arithmetic of values below 1, settled: a few units in the last
    // place (2^-24 below 1) at most.
    EXPECT_NEAR(block.out0.back(), expected, 4.0 / (1 << 24)) << type;
  }
}

// The input path alone, written out: mix of the inputs, the filter, and
// the comb that averages with the line 501 frames back.
TEST(SynthComb, AveragesWithThe501stFrameBack) {
  for (const float tube : {0.0f, 0.5f}) {
    auto plugin = makePlugin();
    plugin->setParameter(kTube, tube);
    plugin->setParameter(kMix, 0.25f);
    const int frames = 1600;
    Block block(frames);
    block.in0[0] = 1.0f;  // an impulse on the left input
    block.in1[700] = 1.0f;  // and one on the right
    block.replacing(*plugin);

    TResonantFilter filter;
    std::vector<float> line(501, 0.0f);
    int pos = 0;
    for (int n = 0; n < frames; ++n) {
      const float g = 0.75f * block.in0[n] + 0.25f * block.in1[n];
      const float r = filter.filterSample(static_cast<float>(g + 0.0), 0.0001f, 0.9f, 0.0f);
      const float o = (line[pos] + r) / 2.0f;
      line[pos] = r + 0.999f * line[pos] * tube + 1e-24f;
      pos = pos == 500 ? 0 : pos + 1;
      ASSERT_EQ(block.out0[n], o + 1e-24f) << "tube " << tube << " frame " << n;
    }
    // The impulse comes back 501 frames later, as strong as it first was.
    EXPECT_GT(block.out0[0], 0.1f);
    EXPECT_NEAR(block.out0[501], block.out0[0], 0.05f);
    EXPECT_LT(std::fabs(block.out0[250]), 0.01f);
  }
}

TEST(SynthOutput, ClipsAtExactlyOne) {
  auto plugin = makePlugin();
  plugin->setParameter(kFat, 1.0f);
  plugin->setParameter(kReso, 1.0f);
  plugin->setParameter(kCut, 0.15f);
  plugin->setParameter(kWav1, 0.2f);
  plugin->setParameter(kWav2, 0.2f);
  sendMidi(*plugin, {host::noteOn(0, 24, 127)});
  Block block(4096);
  for (int n = 0; n < 4096; ++n) block.in0[n] = block.in1[n] = n % 200 < 100 ? 1.0f : -1.0f;
  block.replacing(*plugin);
  int atTop = 0, atBottom = 0;
  for (int n = 0; n < 4096; ++n) {
    ASSERT_LE(std::fabs(block.out0[n]), 1.0f);
    atTop += block.out0[n] == 1.0f ? 1 : 0;
    atBottom += block.out0[n] == -1.0f ? 1 : 0;
  }
  EXPECT_GT(atTop, 0);
  EXPECT_GT(atBottom, 0);
}

TEST(SynthOutput, PhaseInvertsTheRightChannel) {
  for (const float phase : {0.0f, 0.3f, 1.0f}) {
    auto plugin = makePlugin();
    plugin->setParameter(kPhase, phase);
    sendMidi(*plugin, {host::noteOn(0, 60, 100)});
    Block block(512);
    block.replacing(*plugin);
    for (int n = 0; n < 512; ++n) {
      ASSERT_EQ(block.out1[n], phase > 0.0f ? -block.out0[n] : block.out0[n]) << phase;
    }
  }
}

TEST(SynthOutput, ProcessAddsAndProcessReplacingReplaces) {
  for (const float phase : {0.0f, 1.0f}) {
    auto replacing = makePlugin();
    auto adding = makePlugin();
    for (APlugin* plugin : {replacing.get(), adding.get()}) {
      plugin->setParameter(kPhase, phase);
      sendMidi(*plugin, {host::noteOn(0, 60, 100)});
    }
    Block a(300), b(300);
    for (int n = 0; n < 300; ++n) {
      a.out0[n] = a.out1[n] = 123.0f;
      b.out0[n] = 0.25f;
      b.out1[n] = -0.5f;
    }
    a.replacing(*replacing);
    b.accumulating(*adding);
    for (int n = 0; n < 300; ++n) {
      ASSERT_EQ(b.out0[n], 0.25f + a.out0[n]);
      ASSERT_EQ(b.out1[n], phase > 0.0f ? -0.5f - a.out0[n] : -0.5f + a.out0[n]);
    }
  }
}

TEST(SynthOutput, NonFiniteInputIsSilence) {
  auto clean = makePlugin();
  auto poisoned = makePlugin();
  for (APlugin* plugin : {clean.get(), poisoned.get()}) {
    plugin->setParameter(kRMod, 0.5f);
    plugin->setParameter(kTube, 0.8f);
    sendMidi(*plugin, {host::noteOn(0, 60, 100)});
  }
  Block a(2000), b(2000);
  const float specials[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity()};
  for (int n = 0; n < 2000; n += 7) {
    b.in0[n] = specials[n % 3];
    b.in1[n + 3 < 2000 ? n + 3 : n] = specials[(n + 1) % 3];
  }
  a.replacing(*clean);
  b.replacing(*poisoned);
  EXPECT_EQ(a.out0, b.out0);
  for (const float y : b.out0) ASSERT_TRUE(std::isfinite(y));
}

TEST(SynthOutput, ExtremeFiniteInputNeverLeavesNonFiniteState) {
  auto plugin = makePlugin();
  plugin->setParameter(kReso, 1.0f);
  plugin->setParameter(kCut, 1.0f);
  plugin->setParameter(kTube, 1.0f);
  Block block(3000);
  for (int n = 0; n < 3000; ++n) block.in0[n] = block.in1[n] = n % 2 == 0 ? 3e38f : -3e38f;
  block.replacing(*plugin);
  Block quiet(2000);
  quiet.replacing(*plugin);
  for (const float y : quiet.out0) ASSERT_TRUE(std::isfinite(y));
  EXPECT_TRUE(std::isfinite(plugin->filter().stage0()));
  EXPECT_TRUE(std::isfinite(plugin->filter().stage1()));
}

TEST(SynthOutput, PhasesStayInsideTheTablesForAnyPitch) {
  auto plugin = makePlugin();
  plugin->setParameter(kTun1, 1.0f);
  plugin->setParameter(kTun2, 1.0f);
  plugin->setParameter(kGTune, 1.0f);
  plugin->setParameter(kFM, 1.0f);
  plugin->setParameter(kPWM, 1.0f);
  plugin->setParameter(kCommandInterpolation, 0.2f);
  for (const float mix : {0.0f, 1.0f}) {
    plugin->setParameter(kMix, mix);
    sendMidi(*plugin, {host::noteOn(0, 127, 127), host::noteOn(0, 120, 127), host::noteOn(0, 0, 127)});
    for (int n = 0; n < 3000; ++n) {
      const float y = renderFrame(*plugin);
      ASSERT_TRUE(std::isfinite(y));
      for (int v = 1; v <= 4; ++v) {
        ASSERT_GE(plugin->voice(v).phase1, 0.0f);
        ASSERT_LE(plugin->voice(v).phase1, 16384.0f);
        ASSERT_GE(plugin->voice(v).phase2, 0.0f);
        ASSERT_LE(plugin->voice(v).phase2, 16384.0f);
      }
    }
    sendMidi(*plugin, {host::noteOff(0, 127), host::noteOff(0, 120), host::noteOff(0, 0)});
    renderFrames(*plugin, 2000);
  }
  EXPECT_GT(plugin->voice(4).increment1, 16384.0f);  // many periods per frame
}

// The host's GUI thread changes parameters and programs while its audio
// thread renders and sends MIDI; under the thread sanitizer this shows any
// value they share without an atomic.
TEST(SynthThreads, ParametersChangeWhileRendering) {
  auto plugin = makePlugin();
  std::atomic<bool> done{false};
  std::thread audio([&] {
    Block block(128);
    for (int round = 0; !done.load() || round < 50; ++round) {
      sendMidi(*plugin, {host::noteOn(0, 48 + round % 24, 100), host::controlChange(0, 1, round % 128)});
      block.replacing(*plugin);
      if (round % 3 == 0) sendMidi(*plugin, {host::noteOff(0, 48 + (round + 12) % 24)});
    }
  });
  for (int i = 0; i < 2000; ++i) {
    plugin->setParameter(i % 27, static_cast<float>(i % 101) / 100.0f);
    if (i % 200 == 0) plugin->setProgram(i / 200 % 16);
    if (i % 300 == 0) plugin->setParameter(kCommandInterpolation, static_cast<float>(i % 3) / 10.0f);
    char text[vst::kVstMaxTextLen];
    plugin->getParameterDisplay(i % 30, text);
  }
  done = true;
  audio.join();
  for (int i = 0; i < 27; ++i) {
    EXPECT_GE(plugin->getParameter(i), 0.0f);
    EXPECT_LE(plugin->getParameter(i), 1.0f);
  }
}

TEST(SynthLfo, AmountZeroLeavesTheDestinationAndOneSweepsItFully) {
  auto still = makePlugin();
  still->setParameter(kMix, 0.3f);
  renderFrames(*still, 5000);
  EXPECT_EQ(still->getParameter(kMix), 0.3f);
  EXPECT_EQ(still->lfoPhase(), 0.0f);
  EXPECT_EQ(still->pendingUpdateCount(), 0);

  auto sweeping = makePlugin();
  sweeping->setParameter(kLFOAmnt, 1.0f);
  sweeping->setParameter(kLFORate, 1.0f);
  sweeping->setParameter(kLFODest, 0.02f);  // "Cut"
  float lowest = 1.0f, highest = 0.0f;
  for (int block = 0; block < 30000 / 64; ++block) {
    renderFrames(*sweeping, 64);
    lowest = std::min(lowest, sweeping->getParameter(kCut));
    highest = std::max(highest, sweeping->getParameter(kCut));
  }
  EXPECT_LT(lowest, 0.01f);
  EXPECT_GT(highest, 0.99f);
  // The LFO moves the live value only; the program keeps its value.
  EXPECT_EQ(sweeping->program(0).value(kCut), 0.9f);
  EXPECT_EQ(sweeping->pendingUpdateCount(), 1);
}

}  // namespace
