// Golden renders: a fixed phrase per interpolation mode, compared with the
// references in tests/golden (raw little-endian float32, left channel, 4096
// frames each; the right channel is checked against the left directly).
//
// The references were made by this engine before its render loop was
// optimised, so they also prove that the optimised loop computes the same
// bits. The stated tolerance is zero: every target computes IEEE single and
// double precision with SSE2 in the same order, and the only library
// functions in the path (double sine and pow, rounded to float) agree
// between the C libraries, so any difference at all is a fault.
//
// Beside the references, checkpoints worked out by hand from the tables'
// formulas (SynthGoldenAnchor): a fault shared by the engine and a reference
// regenerated from it still shows there.
//
// Regenerating the references is a deliberate act, committed on its own:
//   VORNHALT_REGENERATE_GOLDEN=1 ctest --test-dir build/linux -R synth_engine_tests
// (or run the test program with that variable set).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "tests/synth_engine/SynthTestSupport.h"

namespace {

using namespace marrowglint;
using synthtest::Block;
using synthtest::makePlugin;
using synthtest::sendMidi;

constexpr int kFrames = 4096;
constexpr float kTolerance = 0.0f;

std::string goldenPath(int mode) {
  return std::string(VORNHALT_GOLDEN_DIR) + "/marrowglint_mode" + std::to_string(mode) + ".f32";
}

// The phrase: two voices, then a chord with every effect path, an LFO on the
// cutoff, a controller move, a fat unison with glide and the S2 filter. The
// references are rendered at 44.1 kHz.
std::vector<float> renderPhrase(int mode, float hostRate = 44100.0f, bool fixedRatePitch = false) {
  auto store = std::make_shared<platform::MemorySettingsStore>();
  store->setText(kSettingsSubkey, "CC Resonance", "71");
  if (fixedRatePitch) store->setText(kSettingsSubkey, "Fixed Rate Pitch", "1");
  auto plugin = makePlugin(store);
  plugin->dispatcher(vst::effSetSampleRate, 0, 0, nullptr, hostRate);
  plugin->dispatcher(vst::effMainsChanged, 0, 1, nullptr, 0.0f);
  plugin->setParameter(kCommandInterpolation, static_cast<float>(mode) / 10.0f);
  const std::vector<std::pair<int, float>> setup = {
      {kWav1, 0.1f}, {kWav2, 0.0f}, {kMix, 0.4f}, {kAAt, 0.98f}, {kADe, 0.97f}, {kASu, 0.6f},
      {kARe, 0.99f}, {kCut, 0.6f}, {kReso, 0.5f}, {kPWM, 0.3f}, {kFM, 0.05f}, {kTube, 0.4f},
      {kRMod, 0.1f}, {kLFOAmnt, 0.5f}, {kLFORate, 0.6f}, {kLFODest, 0.02f}, {kTun2, 0.5f + 7.0f / 48.0f}};
  for (const auto& [index, value] : setup) plugin->setParameter(index, value);

  std::vector<float> left;
  std::vector<float> right;
  const auto renderSome = [&](int frames) {
    Block block(frames);
    // Triangles from integer arithmetic: the input must not depend on a
    // C library's sine.
    for (int n = 0; n < frames; ++n) {
      const int t = static_cast<int>(left.size()) + n;
      block.in0[n] = static_cast<float>(std::abs(t % 200 - 100) - 50) / 250.0f;
      block.in1[n] = static_cast<float>(std::abs(t % 900 - 450) - 225) / 2250.0f;
    }
    block.replacing(*plugin);
    left.insert(left.end(), block.out0.begin(), block.out0.end());
    right.insert(right.end(), block.out1.begin(), block.out1.end());
  };

  sendMidi(*plugin, {host::noteOn(0, 48, 100), host::noteOn(0, 55, 80)});
  renderSome(700);
  sendMidi(*plugin, {host::noteOn(0, 60, 120), host::noteOn(0, 64, 60), host::controlChange(0, 71, 90)});
  renderSome(900);
  sendMidi(*plugin, {host::noteOff(0, 48), host::noteOn(0, 55, 0)});
  renderSome(500);
  plugin->setParameter(kFat, 1.0f);
  plugin->setParameter(kGlide, 1.0f);
  plugin->setParameter(kFilt, 0.3f);
  plugin->setParameter(kPhase, 1.0f);
  sendMidi(*plugin, {host::noteOn(0, 67, 110)});
  renderSome(1000);
  sendMidi(*plugin, {host::noteOn(0, 43, 110)});
  renderSome(kFrames - static_cast<int>(left.size()));

  for (std::size_t n = 0; n < left.size(); ++n) {
    const float expected = n < 2100 ? left[n] : -left[n];
    EXPECT_EQ(right[n], expected) << n;
  }
  return left;
}

bool regenerating() {
  const char* flag = std::getenv("VORNHALT_REGENERATE_GOLDEN");
  return flag != nullptr && std::strcmp(flag, "1") == 0;
}

std::vector<float> readReference(int mode) {
  std::ifstream in(goldenPath(mode), std::ios::binary);
  std::vector<float> golden(kFrames);
  in.read(reinterpret_cast<char*>(golden.data()), static_cast<std::streamsize>(golden.size() * sizeof(float)));
  if (in.gcount() != static_cast<std::streamsize>(kFrames * sizeof(float))) golden.clear();
  return golden;
}

bool sameBits(const std::vector<float>& a, const std::vector<float>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

class SynthGolden : public ::testing::TestWithParam<int> {};

TEST_P(SynthGolden, PhraseMatchesTheReference) {
  const int mode = GetParam();
  const std::vector<float> rendered = renderPhrase(mode);
  ASSERT_EQ(rendered.size(), static_cast<std::size_t>(kFrames));
  if (regenerating()) {
    std::ofstream out(goldenPath(mode), std::ios::binary);
    out.write(reinterpret_cast<const char*>(rendered.data()),
              static_cast<std::streamsize>(rendered.size() * sizeof(float)));
    ASSERT_TRUE(out.good()) << goldenPath(mode);
    GTEST_SKIP() << "regenerated " << goldenPath(mode);
  }
  std::ifstream in(goldenPath(mode), std::ios::binary);
  ASSERT_TRUE(in.good()) << "missing " << goldenPath(mode);
  std::vector<float> golden(kFrames);
  in.read(reinterpret_cast<char*>(golden.data()), static_cast<std::streamsize>(golden.size() * sizeof(float)));
  ASSERT_EQ(in.gcount(), static_cast<std::streamsize>(kFrames * sizeof(float)));

  int differentBits = 0;
  float worst = 0.0f;
  double energy = 0.0;
  for (int n = 0; n < kFrames; ++n) {
    const float difference = std::fabs(rendered[static_cast<std::size_t>(n)] - golden[static_cast<std::size_t>(n)]);
    ASSERT_LE(difference, kTolerance) << "frame " << n;
    differentBits += rendered[static_cast<std::size_t>(n)] != golden[static_cast<std::size_t>(n)] ? 1 : 0;
    worst = std::max(worst, difference);
    energy += golden[static_cast<std::size_t>(n)] * golden[static_cast<std::size_t>(n)];
  }
  EXPECT_GT(energy / kFrames, 1e-3) << "the reference should not be silence";
  RecordProperty("frames_not_bit_identical", differentBits);
  if (differentBits > 0) std::printf("mode %d: %d frames differ, at most %g\n", mode, differentBits, worst);
}

INSTANTIATE_TEST_SUITE_P(InterpolationModes, SynthGolden, ::testing::Values(0, 1, 2));

TEST(SynthGoldenRates, FixedRatePitchRendersTheReferenceBitForBitAtEveryRate) {
  for (int mode = 0; mode <= 2; ++mode) {
    const std::vector<float> reference = readReference(mode);
    ASSERT_EQ(reference.size(), static_cast<std::size_t>(kFrames)) << goldenPath(mode);
    for (float rate : {48000.0f, 88200.0f, 96000.0f, 22050.0f}) {
      EXPECT_TRUE(sameBits(renderPhrase(mode, rate, true), reference)) << mode << " " << rate;
    }
    // Following the host's rate, the phrase is played in tune at 48 kHz:
    // other samples.
    EXPECT_FALSE(sameBits(renderPhrase(mode, 48000.0f), reference)) << mode;
  }
}

TEST(SynthGoldenModes, InterpolationModesSoundDifferent) {
  const std::vector<float> none = renderPhrase(0);
  const std::vector<float> linear = renderPhrase(1);
  const std::vector<float> cubic = renderPhrase(2);
  EXPECT_NE(none, linear);
  EXPECT_NE(linear, cubic);
}

// The tables the phrase plays, at positions worked out by hand from their
// formulas (T_1[i] = i / 8192 - 1, T_2 = -1 then +1 from 8192, T_3 rising
// by 1/4096 to 1 at 8192 and falling after, T_0 the sine; D = b - a,
// K1 = (b - p) / 2, K2 = 2b + p - (5a + q) / 2, K3 = (3(a - b) - p + q) / 2
// around entry k with p, a, b, q the entries k - 1 ... k + 2).
TEST(SynthGoldenAnchor, TablesAtHandWorkedPositions) {
  auto plugin = makePlugin(std::make_shared<platform::MemorySettingsStore>());
  const TWaveTables& t = plugin->waveTables();
  constexpr float e = 1.0f / 4096.0f;  // the triangle's step; the saw's is e / 2

  EXPECT_EQ(t.values(kSine)[4096], 1.0f);          // sin(pi / 2)
  EXPECT_EQ(t.values(kSine)[12288], -1.0f);        // sin(3 pi / 2)
  EXPECT_NEAR(t.values(kSine)[2048], 0.70710678f, 6e-8f);  // sin(pi / 4)
  EXPECT_EQ(t.values(kSaw)[12288], 0.5f);
  EXPECT_EQ(t.values(kTriangle)[2048], -0.5f);
  EXPECT_EQ(t.values(kTriangle)[10240], 0.5f);

  // The saw is a straight line: slope e / 2 and no curvature.
  EXPECT_EQ(t.d(kSaw, 5000), e / 2.0f);
  EXPECT_EQ(t.k1(kSaw, 5000), e / 2.0f);
  EXPECT_EQ(t.k2(kSaw, 5000), 0.0f);
  EXPECT_EQ(t.k3(kSaw, 5000), 0.0f);
  // The square's jump, k = 8191: p = a = -1, b = q = +1.
  EXPECT_EQ(t.d(kSquare, 8191), 2.0f);
  EXPECT_EQ(t.k1(kSquare, 8191), 1.0f);
  EXPECT_EQ(t.k2(kSquare, 8191), 3.0f);
  EXPECT_EQ(t.k3(kSquare, 8191), -2.0f);
  // The triangle's peak, k = 8192: p = b = 1 - e, a = 1, q = 1 - 2e.
  EXPECT_EQ(t.d(kTriangle, 8192), -e);
  EXPECT_EQ(t.k1(kTriangle, 8192), 0.0f);
  EXPECT_EQ(t.k2(kTriangle, 8192), -2.0f * e);
  EXPECT_EQ(t.k3(kTriangle, 8192), e);

  // Reading between entries: 1/4 past the triangle's peak falls by e / 4 on
  // the line; the four-point curve there is 1 + f (K1 + f (K2 + f K3)).
  EXPECT_EQ(t.read(kTriangle, 8192.25f, kInterpolationLinear), 1.0f - e / 4.0f);
  const float f = 0.25f;
  EXPECT_FLOAT_EQ(t.read(kTriangle, 8192.25f, kInterpolationFourPoint), 1.0f + f * (f * (-2.0f * e + f * e)));
  EXPECT_EQ(t.read(kSquare, 8191.25f, kInterpolationNone), -1.0f);
}

}  // namespace
