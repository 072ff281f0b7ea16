// Pre-listening through Sarnel's own output: what the render adds, what it
// leaves alone, and the hand-over while another thread renders (built with
// the linux-tsan preset this proves the render never reads a clip that the
// GUI thread frees).

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/sampler_engine/EngineFixture.h"

namespace {

using namespace sarnel;
using sarneltest::EngineTest;

class SarnelPreListen : public EngineTest {
 protected:
  // A plug-in that never pre-listens, rendered alongside: the difference of
  // the outputs is what the pre-listen added.
  void SetUp() override {
    EngineTest::SetUp();
    quiet = makePlugin();
  }
  void TearDown() override {
    quiet.reset();
    EngineTest::TearDown();
  }
  struct Added {
    std::vector<float> left, right;
  };
  Added renderAdded(int frames) {
    std::vector<float> l, r, ql, qr;
    sarneltest::render(*plugin, frames, l, r);
    sarneltest::render(*quiet, frames, ql, qr);
    Added added;
    for (std::size_t i = 0; i < l.size(); ++i) {
      added.left.push_back(l[i] - ql[i]);
      added.right.push_back(r[i] - qr[i]);
    }
    return added;
  }
  std::string clip(const std::string& name, const std::vector<float>& samples, int channels, int rate) {
    const std::string path = dir.file(name);
    sarneltest::writeFloatWave(path, samples, channels, rate);
    return path;
  }
  std::unique_ptr<APlugin> quiet;
};

std::vector<float> rampOf(int frames, float step) {
  std::vector<float> v;
  for (int i = 0; i < frames; ++i) v.push_back(static_cast<float>(i) * step);
  return v;
}

TEST_F(SarnelPreListen, PlaysOnceAtItsOwnSpeedIntoBothOutputs) {
  // 100 frames at half the output rate: 200 output frames, interpolated.
  const std::string mono = clip("mono.wav", rampOf(100, 0.001f), 1, 22050);
  std::string error;
  ASSERT_TRUE(plugin->preListen().play(mono, error)) << error;
  const Added added = renderAdded(256);
  for (int k = 0; k < 200; ++k) {
    const float expected = k < 198 ? static_cast<float>(k) * 0.0005f : 0.099f;
    ASSERT_NEAR(added.left[static_cast<std::size_t>(k)], expected, 1e-6f) << k;
    ASSERT_NEAR(added.right[static_cast<std::size_t>(k)], expected, 1e-6f) << k;
  }
  for (int k = 200; k < 256; ++k) ASSERT_EQ(added.left[static_cast<std::size_t>(k)], 0.0f) << k;
  // Once only: it does not start again.
  const Added later = renderAdded(512);
  for (float v : later.left) ASSERT_EQ(v, 0.0f);

  // A stereo file keeps its sides.
  const std::string stereo = clip("stereo.wav", {0.25f, -0.5f, 0.25f, -0.5f}, 2, 44100);
  ASSERT_TRUE(plugin->preListen().play(stereo, error)) << error;
  const Added sides = renderAdded(64);
  EXPECT_NEAR(sides.left[1], 0.25f, 1e-6f);
  EXPECT_NEAR(sides.right[1], -0.5f, 1e-6f);
  EXPECT_EQ(sides.left[2], 0.0f);
}

TEST_F(SarnelPreListen, AnotherFileReplacesStopSilencesAndTheSampleStaysAlone) {
  const std::string sample = loadWave("sample.wav", std::vector<float>(4000, 0.125f), 1);
  quiet->loadSample(sample);
  const TSampleBlock* loaded = plugin->loadedSample();

  const std::string first = clip("first.wav", std::vector<float>(40000, 0.5f), 1, 44100);
  const std::string second = clip("second.wav", std::vector<float>(40000, -0.25f), 1, 44100);
  std::string error;
  ASSERT_TRUE(plugin->preListen().play(first, error));
  EXPECT_NEAR(renderAdded(128).left[100], 0.5f, 1e-6f);
  ASSERT_TRUE(plugin->preListen().play(second, error));
  const Added replaced = renderAdded(128);
  EXPECT_NEAR(replaced.left[0], -0.25f, 1e-6f);  // from its start
  plugin->preListen().stop();
  for (float v : renderAdded(128).left) ASSERT_EQ(v, 0.0f);

  // A file that cannot be read plays nothing and says why.
  EXPECT_FALSE(plugin->preListen().play(dir.file("missing.wav"), error));
  EXPECT_FALSE(error.empty());
  for (float v : renderAdded(128).left) ASSERT_EQ(v, 0.0f);

  EXPECT_EQ(plugin->loadedSample(), loaded);
  EXPECT_EQ(plugin->getSamplePath(), sample);
  EXPECT_EQ(plugin->program().path(), sample);
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(SarnelPreListen, FilesSwitchedQuicklyWhileAnotherThreadRendersWithVoices) {
  ASSERT_TRUE(plugin->loadSample(clip("sample.wav", std::vector<float>(20000, 0.25f), 1, 44100)));
  plugin->setParameter(kLoopMode, 1.0f);
  const std::vector<std::string> files = {clip("a.wav", std::vector<float>(3000, 0.5f), 1, 22050),
                                          clip("b.wav", sarneltest::stereoRamp(2000, 1.0f / 4096.0f), 2, 48000),
                                          clip("c.wav", {0.75f}, 1, 8000)};
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::atomic<bool> finite{true};
  std::thread audio([&] {
    sarneltest::Events notes({host::noteOn(0, 60, 100), host::noteOn(0, 72, 100)});
    sarneltest::Events offs({host::noteOff(0, 60), host::noteOff(0, 72)});
    sarneltest::Block block(32);
    int round = 0;
    while (!stop.load()) {
      (round % 8 == 0 ? notes : offs).send(*plugin);
      block.replacing(*plugin);
      for (float v : block.outL) {
        if (!std::isfinite(v)) finite = false;
      }
      blocks.fetch_add(1);
      ++round;
    }
  });
  std::string error;
  for (int i = 0; i < 300; ++i) {
    if (i % 7 == 6) {
      plugin->preListen().stop();
    } else {
      ASSERT_TRUE(plugin->preListen().play(files[static_cast<std::size_t>(i) % files.size()], error)) << error;
    }
    if (i % 3 == 0) {
      const int seen = blocks.load();
      while (blocks.load() < seen + 1) std::this_thread::yield();
    }
  }
  stop = true;
  audio.join();
  EXPECT_TRUE(finite.load());
  EXPECT_GT(blocks.load(), 100);
}

}  // namespace
