// A host that does what hosts do on a bad day, through the built binary:
// parameter values kept with only six significant digits, the 500 values
// restored in random order and followed by effSetProgram(0), odd block
// sizes, and NaN and infinite values. The same sample and sound must come
// back, nothing may crash, and the output must stay finite.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <random>

#include "tests/sampler_engine/BinaryTestSupport.h"

namespace {

using namespace sarneltest;

// What a host that stores values as text with six significant digits reads back.
float sixDigits(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", static_cast<double>(value));
  return std::strtof(text, nullptr);
}

class SarnelHostileHost : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<float> samples;
    for (int i = 0; i < 6000; ++i) samples.push_back(static_cast<float>((i * 31) % 400 - 200) / 256.0f);
    path = dir.file("hostile.wav");
    writeFloatWave(path, samples, 1);

    original = loadSarnel();
    ASSERT_NE(original, nullptr);
    original->start();
    setBinaryPath(*original, path);
    original->setParameter(kBinLoadProgramSample, 1.0f);
    const std::vector<std::pair<int, float>> sound = {
        {kBinAttack, 0.004f}, {kBinRelease, 0.02f}, {kBinLoopMode, 1.0f / 3.0f}, {kBinLoopLow, 0.25f},
        {kBinLoopHigh, 0.8f}, {8, 0.7f},  {9, 0.3f}, {kBinTuningFirst + 67, 330.0f / 30000.0f}};
    for (const auto& [index, value] : sound) original->setParameter(index, value);
    saved = saveParameters(*original);
  }
  void TearDown() override {
    if (original) original->close();
  }

  // A fresh instance restored from `values` in a shuffled order, then
  // effSetProgram(0), then resumed.
  std::unique_ptr<host::Plugin> restore(const std::vector<float>& values, unsigned seed) {
    auto plugin = loadSarnel();
    std::vector<int> order(kBinNumParams);
    std::iota(order.begin(), order.end(), 0);
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    for (int index : order) plugin->setParameter(index, values[static_cast<std::size_t>(index)]);
    plugin->dispatch(vst::effSetProgram, 0, 0);
    plugin->start();
    return plugin;
  }

  static Stereo phrase(host::Plugin& plugin, int blockSize) {
    plugin.sendMidi({host::noteOn(0, 67, 120), host::noteOn(0, 72, 100)});
    Stereo out = renderBinary(plugin, 3000, blockSize);
    plugin.sendMidi({host::noteOff(0, 67)});
    Stereo tail = renderBinary(plugin, 1000, blockSize);
    out.left.insert(out.left.end(), tail.left.begin(), tail.left.end());
    out.right.insert(out.right.end(), tail.right.begin(), tail.right.end());
    return out;
  }

  TempDir dir;
  std::string path;
  std::unique_ptr<host::Plugin> original;
  std::vector<float> saved;
};

TEST_F(SarnelHostileHost, SixDigitValuesInRandomOrderBringBackTheSampleAndTheSound) {
  std::vector<float> rounded(saved.size());
  for (std::size_t i = 0; i < saved.size(); ++i) rounded[i] = sixDigits(saved[i]);
  const Stereo expected = phrase(*original, 512);
  ASSERT_GT(loudest(expected.left), 0.05f);

  std::vector<Stereo> renders;
  for (int blockSize : {1, 17, 4096}) {
    auto plugin = restore(rounded, static_cast<unsigned>(blockSize));
    // byte = round(value x 255) survives six digits.
    EXPECT_EQ(binaryPathParameter(*plugin), path);
    renders.push_back(phrase(*plugin, blockSize));
    plugin->close();
  }
  // The block size changes nothing at all.
  EXPECT_EQ(renders[0].left, renders[1].left);
  EXPECT_EQ(renders[0].left, renders[2].left);
  EXPECT_EQ(renders[0].right, renders[2].right);
  // Six digits move a note's frequency by at most 5e-6 of itself, so the
  // position drifts by less than 4000 x 1e-5 frames in this phrase; the
  // sample changes by at most 31/256 per frame, and the filter does not
  // amplify (its gain stays below 2 at resonance 0.3): 0.04 x 0.121 x 2.
  float worst = 0.0f;
  for (std::size_t i = 0; i < expected.left.size(); ++i) {
    worst = std::max(worst, std::fabs(renders[0].left[i] - expected.left[i]));
  }
  EXPECT_LT(worst, 0.01f);
}

TEST_F(SarnelHostileHost, NaNAndInfiniteValuesNeitherCrashNorLeaveTheOutputInfinite) {
  const float hostile[] = {std::nanf(""), INFINITY, -INFINITY, -0.0f, 1e30f, -1e30f};
  original->sendMidi({host::noteOn(0, 60, 127), host::noteOn(0, 72, 127)});
  for (int round = 0; round < 6; ++round) {
    for (int index = 0; index < 30; ++index) {
      if (index == kBinVolume) continue;  // keep something audible to check
      original->setParameter(index, hostile[(index + round) % 6]);
    }
    original->setParameter(kBinTuningFirst + 60, hostile[round]);
    original->setParameter(kBinTuningFirst + 72, hostile[(round + 1) % 6]);
    original->setParameter(450, hostile[round]);
    original->sendMidi({host::noteOn(0, 60 + round, 127), host::controlChange(0, 7, 127)});
    for (int blockSize : {1, 17, 4096}) {
      const Stereo out = renderBinary(*original, 4096, blockSize);
      for (std::size_t i = 0; i < out.left.size(); ++i) {
        ASSERT_TRUE(std::isfinite(out.left[i]) && std::isfinite(out.right[i])) << round << " " << i;
        ASSERT_LE(std::fabs(out.left[i]), 1.0f);
      }
    }
  }
  // Sample rates a broken host might send are ignored; rendering goes on.
  original->dispatch(vst::effMainsChanged, 0, 0);
  original->dispatch(vst::effSetSampleRate, 0, 0, nullptr, 0.0f);
  original->dispatch(vst::effSetSampleRate, 0, 0, nullptr, std::nanf(""));
  original->dispatch(vst::effMainsChanged, 0, 1);
  const Stereo after = renderBinary(*original, 512);
  for (float v : after.left) ASSERT_TRUE(std::isfinite(v));
}

}  // namespace
