// Marrowglint at the host's sample rate: pitch, detune, frequency
// modulation, envelope, glide and LFO keep their hertz and seconds at 44.1,
// 48, 88.2 and 96 kHz; "Fixed Rate Pitch" keeps the old per-sample
// behaviour; unusable rates count as 44.1 kHz; a new rate applies while
// suspended or at the next resume.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "tests/synth_engine/SynthTestSupport.h"

namespace {

using namespace marrowglint;
using synthtest::Block;
using synthtest::makePlugin;
using synthtest::sendMidi;

constexpr float kRates[] = {44100.0f, 48000.0f, 88200.0f, 96000.0f};
// Pitches within 0.1 %.
constexpr double kPitchTolerance = 0.001;
// Note 69 with G.Tune 0.5 is shifted note 117: oscillator 1 steps
// 2^(117/12) table entries per sample at 44.1 kHz, 2317.72 Hz.
const double kNote69Hz = std::pow(2.0, 117.0 / 12.0) * 44100.0 / 16384.0;

// An instance at `rate`, resumed as a host starts it.
std::unique_ptr<APlugin> pluginAt(float rate, std::shared_ptr<platform::MemorySettingsStore> store =
                                                 std::make_shared<platform::MemorySettingsStore>()) {
  auto plugin = makePlugin(std::move(store));
  plugin->dispatcher(vst::effSetSampleRate, 0, 0, nullptr, rate);
  plugin->dispatcher(vst::effMainsChanged, 0, 1, nullptr, 0.0f);
  return plugin;
}

// Rising zero crossings per second, from the first to the last crossing
// in the window (each placed between its two samples by linear
// interpolation).
double crossingHz(const std::vector<float>& samples, std::size_t from, float rate) {
  double first = -1.0;
  double last = -1.0;
  int crossings = 0;
  for (std::size_t i = from + 1; i < samples.size(); ++i) {
    const float a = samples[i - 1];
    const float b = samples[i];
    if (a < 0.0f && b >= 0.0f) {
      const double at = static_cast<double>(i - 1) + a / (a - b);
      if (crossings == 0) first = at;
      last = at;
      ++crossings;
    }
  }
  return crossings > 1 ? (crossings - 1) * static_cast<double>(rate) / (last - first) : 0.0;
}

// Periods per second of voice v's oscillator 1 over `seconds`, from its
// phase frame by frame (the phase never moves by half a period in a frame
// here).
double oscillator1Hz(APlugin& plugin, int v, float rate, double seconds) {
  const int frames = static_cast<int>(seconds * rate);
  double travelled = 0.0;
  float previous = plugin.voice(v).phase1;
  for (int n = 0; n < frames; ++n) {
    Block block(1);
    block.replacing(plugin);
    const float phase = plugin.voice(v).phase1;
    double delta = static_cast<double>(phase) - previous;
    if (delta < -8192.0) delta += 16384.0;
    travelled += delta;
    previous = phase;
  }
  return travelled / 16384.0 / seconds;
}

// Frames until voice v leaves `state`, in seconds.
double secondsIn(APlugin& plugin, int v, std::uint8_t state, float rate) {
  int frames = 0;
  while (plugin.voice(v).state == state && frames < 10 * static_cast<int>(rate)) {
    Block block(1);
    block.replacing(plugin);
    ++frames;
  }
  return frames / static_cast<double>(rate);
}

TEST(SynthHostRate, Note69SoundsAtOnePitchAtEveryRate) {
  // A sine from either oscillator alone (oscillator 2 is hard-synced to
  // oscillator 1 and a further 0.3 steps faster, so its period is that of
  // oscillator 1 too).
  for (float mix : {0.0f, 1.0f}) {
    for (float rate : kRates) {
      auto plugin = pluginAt(rate);
      plugin->setParameter(kWav1, 0.0f);
      plugin->setParameter(kWav2, 0.0f);
      plugin->setParameter(kMix, mix);
      sendMidi(*plugin, {host::noteOn(0, 69, 127)});
      const std::vector<float> left = synthtest::renderLeft(*plugin, static_cast<int>(rate));  // one second
      const double hz = crossingHz(left, static_cast<std::size_t>(rate / 5), rate);
      EXPECT_NEAR(hz / kNote69Hz, 1.0, kPitchTolerance) << "mix " << mix << " at " << rate << " Hz: " << hz;
      // The increments themselves keep their 44.1 kHz values.
      EXPECT_EQ(plugin->voice(4).increment1, static_cast<float>(std::pow(2.0, 117.0 / 12.0)));
    }
  }
}

TEST(SynthHostRate, FatDetuneAndFrequencyModulationKeepTheirHertz) {
  // Fat mode: four voices with their own detune, note 69. Then frequency
  // modulation by a square oscillator 2, which slows oscillator 1 down in
  // one half of its period and speeds it up in the other: the pitch depends
  // on how far a modulation step moves the phase against its increment.
  // Note 21 (shifted 69: 53.8 steps per sample at 44.1 kHz, 145 Hz) keeps
  // hundreds of samples in a period, so sampling the square at different
  // rates moves the pitch by far less than the tolerance.
  struct Case {
    float fat;
    float fm;
    int note;
  };
  const double note21Hz = std::pow(2.0, 69.0 / 12.0) * 44100.0 / 16384.0;
  for (const Case c : {Case{1.0f, 0.0f, 69}, Case{0.0f, 0.01f, 21}}) {
    std::vector<std::vector<double>> hertz;
    for (float rate : kRates) {
      auto plugin = pluginAt(rate);
      plugin->setParameter(kFat, c.fat);
      plugin->setParameter(kFM, c.fm);
      plugin->setParameter(kWav2, 0.2f);  // square
      plugin->setParameter(kMix, 0.3f);   // modulation acts on oscillator 1
      sendMidi(*plugin, {host::noteOn(0, c.note, 127)});
      std::vector<double> perVoice;
      for (int v = c.fat > 0.0f ? 1 : 4; v <= 4; ++v) perVoice.push_back(oscillator1Hz(*plugin, v, rate, 0.25));
      hertz.push_back(perVoice);
    }
    for (std::size_t r = 1; r < hertz.size(); ++r) {
      for (std::size_t v = 0; v < hertz[0].size(); ++v) {
        EXPECT_NEAR(hertz[r][v] / hertz[0][v], 1.0, kPitchTolerance)
            << "fat " << c.fat << " fm " << c.fm << ", voice " << v << " at " << kRates[r] << " Hz";
      }
    }
    if (c.fat > 0.0f) {
      // Detune -0.25 and +0.05 table steps per sample at 44.1 kHz, apart.
      const double apart = 0.3 * 44100.0 / 16384.0;
      EXPECT_NEAR(hertz[3][3] - hertz[3][0], apart, apart * 0.01);
    } else {
      EXPECT_LT(hertz[0][0], 0.997 * note21Hz);  // the modulation made a difference
    }
  }
}

TEST(SynthHostRate, EnvelopeGlideAndLfoTakeTheSameSecondsAtEveryRate) {
  std::vector<double> attack, release, glide, lfoTurns;
  for (float rate : kRates) {
    auto plugin = pluginAt(rate);
    plugin->setParameter(kAAt, 0.5f);  // 22100 samples at 44.1 kHz
    plugin->setParameter(kARe, 0.8f);  // 8900 samples
    sendMidi(*plugin, {host::noteOn(0, 69, 127)});
    attack.push_back(secondsIn(*plugin, 4, kEnvelopeAttack, rate));
    sendMidi(*plugin, {host::noteOn(0, 69, 0)});
    release.push_back(secondsIn(*plugin, 4, kEnvelopeRelease, rate));

    // Glide: the first note rises from increment 0 by 0.03 per sample at
    // 44.1 kHz; the time to reach its target.
    auto gliding = pluginAt(rate);
    gliding->setParameter(kGlide, 1.0f);
    sendMidi(*gliding, {host::noteOn(0, 69, 127)});
    const float target = gliding->glideTarget(1);
    int frames = 0;
    while (gliding->voice(4).increment1 < target - 0.03f && frames < static_cast<int>(rate)) {
      Block block(1);
      block.replacing(*gliding);
      ++frames;
    }
    glide.push_back(frames / static_cast<double>(rate));

    // The LFO at full rate: 0.8 table steps per sample at 44.1 kHz.
    auto lfo = pluginAt(rate);
    lfo->setParameter(kLFOAmnt, 1.0f);
    lfo->setParameter(kLFORate, 1.0f);
    double travelled = 0.0;
    float previous = lfo->lfoPhase();
    for (int done = 0; done < static_cast<int>(rate); done += 441) {
      Block block(441);
      block.replacing(*lfo);
      double delta = static_cast<double>(lfo->lfoPhase()) - previous;
      if (delta < 0.0) delta += 16384.0;
      travelled += delta;
      previous = lfo->lfoPhase();
    }
    lfoTurns.push_back(travelled / 16384.0);
  }
  // 22100 steps of 1 / 22100 in float32 sums: a few samples more.
  EXPECT_NEAR(attack[0], 22100.0 / 44100.0, 10.0 / 44100.0);
  EXPECT_NEAR(lfoTurns[0], 0.8 * 44100.0 / 16384.0, 0.001);
  for (std::size_t r = 1; r < std::size(kRates); ++r) {
    // A stage ends on a whole sample, and the float sums that count it may
    // drift by a few samples over thousands: 0.1 %.
    EXPECT_NEAR(attack[r] / attack[0], 1.0, 0.001) << kRates[r];
    EXPECT_NEAR(release[r] / release[0], 1.0, 0.001) << kRates[r];
    EXPECT_NEAR(glide[r] / glide[0], 1.0, 0.001) << kRates[r];
    // The LFO phase is a float up to 16384 (steps of 2^-10 at the top) that
    // grows by 0.8 x 44100 / rate per sample: each sum may round by up to
    // 0.15 % of that step.
    EXPECT_NEAR(lfoTurns[r] / lfoTurns[0], 1.0, 0.002) << kRates[r];
  }
}

TEST(SynthHostRate, FixedRatePitchKeepsThePerSampleValues) {
  auto store = std::make_shared<platform::MemorySettingsStore>();
  store->setText(kSettingsSubkey, "Fixed Rate Pitch", "1");
  auto fixed = pluginAt(48000.0f, store);
  EXPECT_TRUE(fixed->fixedRatePitch());
  auto reference = pluginAt(44100.0f);
  sendMidi(*fixed, {host::noteOn(0, 69, 127)});
  EXPECT_EQ(fixed->rateScale(), 1.0f);
  sendMidi(*reference, {host::noteOn(0, 69, 127)});
  EXPECT_EQ(synthtest::renderLeft(*fixed, 4800), synthtest::renderLeft(*reference, 4800));
  // The setting is read at construction only, and never written.
  store->setText(kSettingsSubkey, "Fixed Rate Pitch", "0");
  fixed->setParameter(kCommandReloadControllers, 1.0f);
  EXPECT_TRUE(fixed->fixedRatePitch());

  auto following = std::make_shared<platform::MemorySettingsStore>();
  { auto plugin = pluginAt(48000.0f, following); }
  EXPECT_FALSE(following->contains(kSettingsSubkey, "Fixed Rate Pitch"));
  for (const char* text : {"0", "2", "yes", "-1"}) {
    auto other = std::make_shared<platform::MemorySettingsStore>();
    other->setText(kSettingsSubkey, "Fixed Rate Pitch", text);
    auto plugin = pluginAt(48000.0f, other);
    EXPECT_FALSE(plugin->fixedRatePitch()) << text;
    synthtest::renderLeft(*plugin, 1);
    EXPECT_EQ(plugin->rateScale(), static_cast<float>(44100.0 / 48000.0)) << text;
  }
}

TEST(SynthHostRate, UnusableRatesCountAs44100) {
  for (float rate : {0.0f, 0.5f, -48000.0f, std::numeric_limits<float>::quiet_NaN(),
                     std::numeric_limits<float>::infinity()}) {
    auto plugin = pluginAt(48000.0f);
    plugin->dispatcher(vst::effMainsChanged, 0, 0, nullptr, 0.0f);
    plugin->dispatcher(vst::effSetSampleRate, 0, 0, nullptr, rate);
    plugin->dispatcher(vst::effMainsChanged, 0, 1, nullptr, 0.0f);
    synthtest::renderLeft(*plugin, 1);
    EXPECT_EQ(plugin->rateScale(), 1.0f) << rate;
  }
  auto slow = pluginAt(1.0f);  // the lowest usable rate
  synthtest::renderLeft(*slow, 1);
  EXPECT_EQ(slow->rateScale(), 44100.0f);
}

TEST(SynthHostRate, ANewRateAppliesWhileSuspendedOrAtTheNextResume) {
  auto plugin = pluginAt(44100.0f);
  plugin->setParameter(kAAt, 0.5f);
  sendMidi(*plugin, {host::noteOn(0, 69, 127)});
  synthtest::renderLeft(*plugin, 100);
  const float step44 = plugin->voice(4).step;

  // While resumed the rate waits for the next resume.
  plugin->dispatcher(vst::effSetSampleRate, 0, 0, nullptr, 88200.0f);
  synthtest::renderLeft(*plugin, 1);
  EXPECT_EQ(plugin->rateScale(), 1.0f);
  plugin->dispatcher(vst::effMainsChanged, 0, 0, nullptr, 0.0f);
  plugin->dispatcher(vst::effMainsChanged, 0, 1, nullptr, 0.0f);
  synthtest::renderLeft(*plugin, 1);
  EXPECT_EQ(plugin->rateScale(), 0.5f);
  // The sounding voice's attack goes on at half the step per sample.
  EXPECT_EQ(plugin->voice(4).step, step44 * 0.5f);

  // While suspended, at once (also through effSetBlockSizeAndSampleRate);
  // a note started before any render takes the new step.
  plugin->dispatcher(vst::effMainsChanged, 0, 0, nullptr, 0.0f);
  plugin->dispatcher(vst::effSetBlockSizeAndSampleRate, 0, 512, nullptr, 22050.0f);
  sendMidi(*plugin, {host::noteOn(0, 70, 127)});
  EXPECT_EQ(plugin->rateScale(), 2.0f);
  EXPECT_EQ(plugin->voice(3).step, step44 * 2.0f);
}

}  // namespace
