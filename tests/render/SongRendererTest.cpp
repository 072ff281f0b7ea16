// The render loop through the GateProbe, whose output shows the exact frame
// each event took effect: block cutting, deltaFrames, tails and statistics.

#include <gtest/gtest.h>

#include <cmath>

#include "host/Plugin.h"
#include "host/SongRenderer.h"
#include "tests/render/GateProbe.h"
#include "tests/render/RenderTestSupport.h"
#include "tests/support/Prerequisites.h"

namespace {

struct Capture {
  std::vector<float> left;
  std::vector<float> right;
  std::vector<int> blocks;
};

class SongRendering : public ::testing::Test {
 protected:
  void SetUp() override {
    VORNHALT_REQUIRE_PREREQUISITE(render_test::exists(render_test::gateProbePath()), "GateProbe");
    plugin = host::Plugin::load(render_test::gateProbePath());
    ASSERT_TRUE(plugin);
    plugin->start();
  }

  host::RenderStats render(const std::vector<host::TimedMessage>& events, std::int64_t end,
                           const host::RenderSettings& settings, Capture& capture) {
    return host::SongRenderer::render(*plugin, events, end, kRate, settings,
                                      [&capture](const float* const* channels, int frames) {
                                        capture.left.insert(capture.left.end(), channels[0], channels[0] + frames);
                                        capture.right.insert(capture.right.end(), channels[1], channels[1] + frames);
                                        capture.blocks.push_back(frames);
                                      });
  }

  static constexpr int kRate = 44100;
  std::unique_ptr<host::Plugin> plugin;
};

host::TimedMessage on(std::int64_t frame, int note, int velocity) { return {frame, host::noteOn(0, note, velocity)}; }
host::TimedMessage off(std::int64_t frame, int note) { return {frame, host::noteOff(0, note)}; }

// First frame at or after `from` whose left sample differs from `level`.
std::size_t changeAfter(const std::vector<float>& samples, std::size_t from, float level) {
  while (from < samples.size() && samples[from] == level) ++from;
  return from;
}

TEST_F(SongRendering, SplitBlocksEndWhereTheNextEventBegins) {
  const std::vector<host::TimedMessage> events = {on(100, 60, 127), on(100, 64, 127), off(700, 60), off(1500, 64)};
  host::RenderSettings settings;
  settings.tailSeconds = 0.0;
  Capture capture;
  const host::RenderStats stats = render(events, 1600, settings, capture);
  EXPECT_EQ(capture.blocks, (std::vector<int>{100, 512, 88, 512, 288, 100}));
  EXPECT_EQ(stats.eventsSent, 4);
  EXPECT_EQ(stats.frames, 1600);
  ASSERT_EQ(capture.left.size(), 1600u);
  EXPECT_EQ(changeAfter(capture.left, 0, 0.0f), 100u);
  EXPECT_EQ(capture.left[100], 2.0f);
  EXPECT_EQ(changeAfter(capture.left, 100, 2.0f), 700u);
  EXPECT_EQ(changeAfter(capture.left, 700, 1.0f), 1500u);
  EXPECT_EQ(capture.right[800], 0.5f);
}

TEST_F(SongRendering, FixedBlocksCarryEachEventsOffsetInDeltaFrames) {
  const std::vector<host::TimedMessage> events = {on(100, 60, 127), off(700, 60), on(1023, 61, 127), off(1024, 61)};
  host::RenderSettings settings;
  settings.splitAtEvents = false;
  settings.tailSeconds = 0.0;
  Capture capture;
  render(events, 2048, settings, capture);
  EXPECT_EQ(capture.blocks, (std::vector<int>{512, 512, 512, 512}));
  // The probe honours deltaFrames, so the gates open and close on the frame.
  EXPECT_EQ(changeAfter(capture.left, 0, 0.0f), 100u);
  EXPECT_EQ(changeAfter(capture.left, 100, 1.0f), 700u);
  EXPECT_EQ(changeAfter(capture.left, 700, 0.0f), 1023u);
  EXPECT_EQ(changeAfter(capture.left, 1023, 1.0f), 1024u);
}

TEST_F(SongRendering, AwkwardBlockSizesGiveTheSameAudio) {
  const std::vector<host::TimedMessage> events = {on(0, 60, 64), on(17, 62, 100), off(530, 60), off(4100, 62),
                                                  on(4100, 70, 10), off(5000, 70)};
  Capture reference;
  host::RenderSettings settings;
  settings.tailSeconds = 0.01;
  render(events, 5000, settings, reference);
  ASSERT_EQ(reference.left.size(), 5000u + 441u);
  for (int block : {1, 17, 512, 4096}) {
    for (bool split : {true, false}) {
      Capture capture;
      settings.blockSize = block;
      settings.splitAtEvents = split;
      render(events, 5000, settings, capture);
      EXPECT_EQ(capture.left, reference.left) << "block " << block << (split ? " split" : " fixed");
    }
  }
}

TEST_F(SongRendering, TheTailEndsAfterHalfASecondOfSilenceOrTenSeconds) {
  host::RenderSettings settings;
  Capture quiet;
  render({on(0, 60, 127), off(1000, 60)}, 1000, settings, quiet);
  // Silence from frame 1000 on: the render stops once 22050 silent frames
  // are done, at the end of that block.
  EXPECT_GE(quiet.left.size(), 1000u + 22050u);
  EXPECT_LT(quiet.left.size(), 1000u + 22050u + 512u);

  Capture endless;
  render({on(0, 60, 127)}, 1000, settings, endless);
  EXPECT_EQ(endless.left.size(), 1000u + 441000u);

  // Below half a 16-bit step counts as silence.
  plugin->setParameter(gate_probe::kGain, 1.0f / 70000.0f);
  Capture faint;
  render({on(0, 60, 127)}, 1000, settings, faint);
  EXPECT_LT(faint.left.size(), 1000u + 22050u + 512u);
}

TEST_F(SongRendering, StatisticsCountPeakEnergyAndClipping) {
  // Two full notes make 2.0 on the left (clipped) and 1.0 on the right (not).
  host::RenderSettings settings;
  settings.tailSeconds = 0.0;
  Capture capture;
  const host::RenderStats stats = render({on(0, 60, 127), on(0, 61, 127), off(100, 60), off(100, 61)}, 200,
                                         settings, capture);
  EXPECT_EQ(stats.peak, 2.0f);
  EXPECT_EQ(stats.clippedSamples, 100);
  EXPECT_DOUBLE_EQ(stats.sumOfSquares, 100 * (4.0 + 1.0));
  EXPECT_EQ(stats.frames, 200);
}

}  // namespace
