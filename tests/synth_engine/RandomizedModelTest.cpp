// Random playing histories against the plain model: random parameter values (every
// live value, LFO and effect settings included), notes, velocity-0 and real
// note-offs and random block sizes, with parameter changes between blocks.
// The seeds are fixed, so a failure repeats; the engine's bits must be the
// model's in every frame.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/synth_engine/ReferenceSynth.h"
#include "tests/synth_engine/SynthTestSupport.h"

namespace {

using namespace marrowglint;
using synthtest::Block;
using synthtest::makePlugin;
using synthtest::sendMidi;

// A value that lands on the interesting points of a parameter now and then:
// exactly 0, exactly 1, the band edges of the derived choices.
float randomValue(std::mt19937& random) {
  static const float kSpecial[] = {0.0f, 1.0f, 0.5f, 0.05f, 0.15f, 0.25f, 0.3f, 0.4f, 0.7f, 0.01f, 0.06f};
  std::uniform_int_distribution<int> pick(0, 3);
  if (pick(random) == 0) {
    std::uniform_int_distribution<int> which(0, static_cast<int>(std::size(kSpecial)) - 1);
    return kSpecial[which(random)];
  }
  return std::uniform_real_distribution<float>(-0.2f, 1.2f)(random);
}

// Returns the number of frames in which a voice sounded.
int runHistory(unsigned seed) {
  std::mt19937 random(seed);
  auto plugin = makePlugin();
  reference::ReferenceSynth model(plugin->waveTables());
  // Every host rate with every interpolation mode.
  static const float kRates[] = {44100.0f, 48000.0f, 88200.0f, 96000.0f, 22050.0f};
  const float rate = kRates[(seed / 3) % 5];
  plugin->setSampleRate(rate);
  model.rateScale = static_cast<float>(44100.0 / static_cast<double>(rate));
  const int mode = static_cast<int>(seed % 3);
  plugin->setParameter(kCommandInterpolation, static_cast<float>(mode) / 10.0f);
  model.interpolation = mode;
  const auto set = [&](int index, float value) {
    plugin->setParameter(index, value);
    model.set(index, value);
  };
  // Quick envelopes so that voices start, end and get reused in one history.
  set(kAAt, 0.999f);
  set(kADe, 0.998f);
  set(kARe, 0.997f);
  for (int i = 0; i < 6; ++i) set(std::uniform_int_distribution<int>(0, kNumLiveValues - 1)(random), randomValue(random));

  std::uniform_int_distribution<int> percent(0, 99);
  std::uniform_int_distribution<int> noteNumber(0, 127);
  std::vector<int> held;
  int frame = 0;
  int sounding = 0;
  while (frame < 6000) {
    std::vector<host::MidiMessage> events;
    if (percent(random) < 40) {
      const int note = noteNumber(random);
      events.push_back(host::noteOn(percent(random) % 16, note, 1 + percent(random)));
      held.push_back(note);
    }
    if (!held.empty() && percent(random) < 35) {
      const std::size_t k = static_cast<std::size_t>(percent(random)) % held.size();
      events.push_back(percent(random) < 50 ? host::noteOff(0, held[k]) : host::noteOn(0, held[k], 0));
      held.erase(held.begin() + static_cast<std::ptrdiff_t>(k));
    }
    sendMidi(*plugin, events);
    for (const host::MidiMessage& m : events) model.midiNote(m.status, m.data1, m.data2);
    if (percent(random) < 30) {
      // Leave the envelope times alone mostly: slow stages would keep every
      // voice busy for the whole history.
      const int index = std::uniform_int_distribution<int>(0, kNumLiveValues - 1)(random);
      if (index != kAAt && index != kADe && index != kARe) set(index, randomValue(random));
    }

    static const int kSizes[] = {1, 2, 3, 17, 64, 65, 100, 512};
    const int size = kSizes[std::uniform_int_distribution<int>(0, 7)(random)];
    const bool invert = model.get(kPhase) > 0.0f;
    Block block(size);
    for (int n = 0; n < size; ++n) {
      block.in0[n] = std::uniform_real_distribution<float>(-0.3f, 0.3f)(random);
      block.in1[n] = std::uniform_real_distribution<float>(-0.3f, 0.3f)(random);
    }
    block.replacing(*plugin);
    for (int n = 0; n < size; ++n) {
      const float y = model.renderOne(block.in0[n], block.in1[n]);
      EXPECT_EQ(block.out0[n], y) << "seed " << seed << " frame " << frame + n;
      EXPECT_EQ(block.out1[n], invert ? -y : y) << "seed " << seed << " frame " << frame + n;
      if (::testing::Test::HasFailure()) return sounding;
    }
    for (int v = 1; v <= 4; ++v) {
      if (plugin->voice(v).state != kEnvelopeIdle) {
        sounding += size;
        break;
      }
    }
    for (int i = 0; i < kNumLiveValues; ++i) {
      EXPECT_EQ(plugin->getParameter(i), model.get(i)) << "seed " << seed << " parameter " << i;
    }
    if (::testing::Test::HasFailure()) return sounding;
    frame += size;
  }
  return sounding;
}

TEST(SynthRandomHistories, EngineMatchesTheModelBitForBit) {
  int sounding = 0;
  for (unsigned seed = 1; seed <= 60 && !HasFailure(); ++seed) sounding += runHistory(seed);
  // The histories must actually play: most of their frames have a voice on.
  EXPECT_GT(sounding, 60 * 6000 / 2) << sounding;
}

}  // namespace
