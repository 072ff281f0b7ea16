// Where a voice turns, frame by frame, against a plain model of the loop
// rules computed on float indices (positions, loop start and loop end as
// round((L - 1) x value), which for a two-channel sample may fall inside a
// frame). One-channel voices must follow the model exactly. Two-channel
// voices stay on whole frames: they must end, turn and jump on the same
// frames as the model and never be a frame or more away from its position.
// Then: the last frame of a two-channel sample is heard.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/sampler_engine/EngineFixture.h"

namespace {

using namespace sarnel;
using sarneltest::Block;
using sarneltest::EngineTest;

constexpr float kClipTolerance = 1.0f / 16777216.0f + 1e-23f;

// The loop rules of one voice, no envelope, on positions counted in `unit`s
// (floats, or frames for the whole-frame model), moving `channels` units per
// frame of the file.
struct LoopRuleVoice {
  std::int64_t channels = 1;
  int loopMode = 0;
  float pitch = 0.75f;
  std::int64_t loopStart = 0;
  std::int64_t loopEnd = 0;
  std::int64_t loopEndLanding = 0;  // where a start or jump "to the loop end" lands
  bool loopPointsCrossed = false;
  std::int64_t k = 0;
  double f = 0.0;
  bool looped = false;
  int reverse = 0;
  bool active = true;

  LoopRuleVoice(std::int64_t ch, float mode, float pitchValue, std::int64_t start, std::int64_t end,
                std::int64_t endLanding, bool crossed)
      : channels(ch), loopMode(static_cast<int>(std::nearbyint(mode * 3.0f))), pitch(pitchValue),
        loopStart(start), loopEnd(end), loopEndLanding(endLanding), loopPointsCrossed(crossed) {
    k = pitch > 0.5f ? (loopMode == 2 ? 0 : loopStart) : loopEndLanding;
  }
  void step() {
    const bool forward = pitch > 0.5f;
    const float speed = forward ? (pitch - 0.5f) * 4.0f : 2.0f - 4.0f * pitch;
    f = forward == (reverse == 0) ? f + speed : f - speed;
    while (f >= 1.0) {
      f -= 1.0;
      k += channels;
    }
    while (f < 0.0) {
      f += 1.0;
      k -= channels;
    }
    const std::int64_t hi = loopEnd;
    const std::int64_t lo = (loopPointsCrossed || !looped) ? 0 : loopStart;
    if (k >= hi) {
      looped = true;
      if (loopMode == 0) active = false;
      if (loopMode == 3) {
        reverse = 1;
        k = hi - 1;
      } else {
        reverse = 0;
        k = lo;
      }
      f = 0.0;
    }
    if (k < lo) {
      looped = true;
      if (loopMode == 0) active = false;
      if (loopMode == 3) {
        reverse = 0;
        k = lo + 1;
      } else {
        k = loopEndLanding;
      }
      f = 0.0;
    }
  }
};

std::int64_t loopIndexOf(std::int64_t floats, float value) {
  return static_cast<std::int64_t>(std::nearbyint(static_cast<double>(floats - 1) * static_cast<double>(value)));
}

// The rules as written, on float indices.
LoopRuleVoice floatIndexRule(std::int64_t floats, std::int64_t channels, float mode, float pitch, float low,
                             float high) {
  const std::int64_t start = loopIndexOf(floats, low);
  const std::int64_t end = loopIndexOf(floats, high);
  return LoopRuleVoice(channels, mode, pitch, start, end, end, start >= end);
}

// The same rules on frame numbers of a two-channel sample: the loop starts
// on the frame that holds the loop start index and is past its end on the
// first frame that starts at or after the loop end index; a start or jump
// to the loop end lands on the frame that holds the loop end index.
LoopRuleVoice wholeFrameRule(std::int64_t floats, float mode, float pitch, float low, float high) {
  const std::int64_t start = loopIndexOf(floats, low);
  const std::int64_t end = loopIndexOf(floats, high);
  return LoopRuleVoice(1, mode, pitch, start / 2, (end + 1) / 2, end / 2, start >= end);
}

struct LoopCase {
  int frames;
  int channels;
  float low;
  float high;
};

std::string describe(const LoopCase& c, float mode, float pitch) {
  return std::to_string(c.frames) + " frames x " + std::to_string(c.channels) + ", loop " + std::to_string(c.low) +
         " .. " + std::to_string(c.high) + ", mode " + std::to_string(std::nearbyint(mode * 3.0f)) + ", pitch " +
         std::to_string(pitch);
}

std::string waveName(int frames, int channels) {
  char name[32];
  std::snprintf(name, sizeof name, "wave%dx%d.wav", frames, channels);
  return name;
}

constexpr float kModes[] = {0.0f, 1.0f / 3.0f, 2.0f / 3.0f, 1.0f};
// Forward and backward at the recorded speed and at 1.6 frames per frame.
constexpr float kPitches[] = {0.75f, 0.25f, 0.9f, 0.1f};

class SarnelLoopEnd : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    sarneltest::makeEnvelopeImmediate(*plugin);
  }
  void note(int key, int velocity = 127) { sarneltest::sendMidi(*plugin, {host::noteOn(0, key, velocity)}); }
  Block run(int frames) {
    Block block(frames);
    block.replacing(*plugin);
    return block;
  }
  const TVoiceBank& voices() const { return plugin->voiceBank(); }
  void prepare(const LoopCase& c) {
    std::vector<float> samples(static_cast<std::size_t>(c.frames * c.channels), 0.25f);
    loadWave(waveName(c.frames, c.channels), samples, c.channels);
    plugin->setParameter(kLoopLow, c.low);
    plugin->setParameter(kLoopHigh, c.high);
  }
  // Plays note 72 (the recorded speed times the pitch) for up to 450 frames
  // next to `model` and answers the first difference: `same` says whether
  // the voice's position matches the model's, `exact` compares the fraction
  // too.
  template <typename Same>
  std::string compare(LoopRuleVoice model, Same same, bool exact) {
    note(72);
    std::string difference;
    for (int t = 0; t < 450 && model.active && difference.empty(); ++t) {
      const std::int64_t position = voices().position[0];
      if (!same(position, model.k) || (exact && voices().fraction[0] != model.f)) {
        difference = "frame " + std::to_string(t) + ": at " + std::to_string(position) + ", the rule at " +
                     std::to_string(model.k);
      }
      run(1);
      model.step();
      if (voices().isActive(0) != model.active) {
        difference = "frame " + std::to_string(t) + ": active " + std::to_string(voices().isActive(0));
      } else if (model.active && voices().reverse[0] != model.reverse) {
        difference = "frame " + std::to_string(t) + ": reverse " + std::to_string(voices().reverse[0]);
      }
    }
    sarneltest::sendMidi(*plugin, {host::controlChange(0, 123, 0)});
    run(2);
    return difference;
  }
};

TEST_F(SarnelLoopEnd, OneChannelFollowsTheFloatIndexRuleExactly) {
  for (const LoopCase& c : std::vector<LoopCase>{{7, 1, 0.0f, 1.0f},
                                                 {7, 1, 0.2f, 0.6f},
                                                 {7, 1, 0.6f, 0.2f},
                                                 {100, 1, 0.0f, 1.0f},
                                                 {100, 1, 0.2f, 0.6f},
                                                 {100, 1, 0.205f, 0.5f}}) {
    prepare(c);
    for (float mode : kModes) {
      for (float pitch : kPitches) {
        plugin->setParameter(kLoopMode, mode);
        plugin->setParameter(kPitch, pitch);
        const LoopRuleVoice model = floatIndexRule(c.frames, 1, mode, pitch, c.low, c.high);
        const auto same = [](std::int64_t k, std::int64_t rule) { return k == rule; };
        EXPECT_EQ(compare(model, same, true), "") << describe(c, mode, pitch);
      }
    }
  }
}

TEST_F(SarnelLoopEnd, TwoChannelsTurnOnTheFramesOfTheFloatIndexRule) {
  // With a loop start on a frame start, the rules as written keep a voice on
  // the first float of a frame forwards, and on its second float backwards
  // from a loop end inside a frame: outside ping-pong, the voice holds the
  // frame that the rule's position lies in, on every frame, and ends, wraps
  // and jumps with it. (Ping-pong turns the rule onto the other float; see
  // the next test.)
  for (const LoopCase& c : std::vector<LoopCase>{{7, 2, 0.0f, 1.0f},    // 0 .. 13
                                                 {7, 2, 0.0f, 0.6f},    // 0 .. 8
                                                 {100, 2, 0.0f, 1.0f},  // 0 .. 199
                                                 {100, 2, 0.2f, 0.6f},  // 40 .. 119
                                                 {100, 2, 0.2f, 0.5f}}) {  // 40 .. 100
    prepare(c);
    for (float mode : {0.0f, 1.0f / 3.0f, 2.0f / 3.0f}) {
      for (float pitch : kPitches) {
        plugin->setParameter(kLoopMode, mode);
        plugin->setParameter(kPitch, pitch);
        const LoopRuleVoice model = floatIndexRule(c.frames * 2, 2, mode, pitch, c.low, c.high);
        const auto sameFrame = [](std::int64_t k, std::int64_t rule) { return k == rule - rule % 2; };
        EXPECT_EQ(compare(model, sameFrame, false), "") << describe(c, mode, pitch);
      }
    }
  }
}

TEST_F(SarnelLoopEnd, TwoChannelsFollowTheRuleOnWholeFramesInEveryMode) {
  // Every loop mode and direction, loop points on and inside frames: the
  // voice moves and turns as the rules do on frame numbers, with the loop
  // from the frame that holds the loop start index up to and including the
  // frame that holds the loop end index (a loop end index on a frame start
  // ends the loop before that frame, as it does for one channel).
  for (const LoopCase& c : std::vector<LoopCase>{{7, 2, 0.0f, 1.0f},
                                                 {7, 2, 0.2f, 0.6f},  // 3 .. 8
                                                 {7, 2, 0.6f, 0.2f},
                                                 {100, 2, 0.0f, 1.0f},
                                                 {100, 2, 0.2f, 0.6f},
                                                 {100, 2, 0.205f, 0.6f},  // 41 .. 119
                                                 {100, 2, 0.2f, 0.5f}}) {
    prepare(c);
    for (float mode : kModes) {
      for (float pitch : kPitches) {
        plugin->setParameter(kLoopMode, mode);
        plugin->setParameter(kPitch, pitch);
        const LoopRuleVoice model = wholeFrameRule(c.frames * 2, mode, pitch, c.low, c.high);
        const auto sameFrame = [](std::int64_t k, std::int64_t ruleFrame) { return k == 2 * ruleFrame; };
        EXPECT_EQ(compare(model, sameFrame, true), "") << describe(c, mode, pitch);
      }
    }
  }
}

TEST(SarnelLoopBounds, TheLoopEndFiresOnEveryFrameWhereTheFloatIndexDoes) {
  // For every sample length, channel count and loop high value: a position
  // on a frame start has reached the loop end exactly when it is at or past
  // round((L - 1) x value); a jump to the loop end lands on the frame that
  // holds that index.
  for (int channels : {1, 2}) {
    for (int frames = 1; frames <= 40; ++frames) {
      std::vector<float> floats(static_cast<std::size_t>(frames * channels), 0.0f);
      const auto block = makeSampleBlock(floats, channels, 44100);
      for (int step = 0; step <= 200; ++step) {
        const float high = static_cast<float>(step) / 200.0f;
        const TVoiceContext c = makeVoiceContext(*block, 44100.0f, 0.25f, 1.0f, 0.0f, 0.0f, high);
        const std::int64_t end = loopIndexOf(frames * channels, high);
        for (std::int64_t k = 0; k <= frames * channels; k += channels) {
          ASSERT_EQ(k >= c.loopEnd, k >= end) << channels << " " << frames << " " << high << " " << k;
        }
        ASSERT_EQ(c.loopEndFrame % channels, 0);
        ASSERT_TRUE(c.loopEndFrame <= end && end < c.loopEndFrame + channels) << channels << " " << frames;
        ASSERT_EQ(c.startIndex(), c.loopEndFrame);  // backwards (pitch 0.25)
      }
    }
  }
}

TEST_F(SarnelLoopEnd, BothLoopPointsInsideFramesPlayFromTheFrameOfTheStartToTheFrameOfTheEnd) {
  // 101 stereo frames: L - 1 = 201; loop low 0.2 -> 40.2 -> 40 would be a
  // frame start, so 0.205 -> 41.2 -> 41 and high 0.6 -> 120.6 -> 121, both
  // inside frames 20 and 60. The forward loop plays frames 20 ... 60.
  loadWave("inside.wav", sarneltest::stereoRamp(101), 2);
  plugin->setParameter(kLoopLow, 0.205f);
  plugin->setParameter(kLoopHigh, 0.6f);
  plugin->setParameter(kLoopMode, 1.0f / 3.0f);
  note(72);
  std::vector<int> frames;
  for (int t = 0; t < 200; ++t) {
    frames.push_back(voices().position[0] / 2);
    run(1);
  }
  // First pass from the loop start's frame to the loop end's frame, then
  // (the lower bound is 0 on the first arrival) frame 0, the loop end's
  // frame, and from then on frames 20 ... 60 over and over.
  for (int t = 0; t <= 40; ++t) EXPECT_EQ(frames[static_cast<std::size_t>(t)], 20 + t) << t;
  EXPECT_EQ(frames[41], 0);
  EXPECT_EQ(frames[42], 60);
  for (int t = 43; t < 200; ++t) EXPECT_EQ(frames[static_cast<std::size_t>(t)], 20 + (t - 43) % 41) << t;
}

TEST_F(SarnelLoopEnd, TheLastFrameOfATwoChannelSampleIsHeard) {
  // Silence, then one loud last frame: with loop high 1.0 and no loop, a
  // forward voice plays it before it ends.
  std::vector<float> samples(200, 0.0f);
  samples[198] = 0.9f;
  samples[199] = -0.8f;
  loadWave("loud-end.wav", samples, 2);
  note(72);
  const Block block = run(110);
  // The output is one frame late (the delay line at length 1).
  EXPECT_NEAR(block.outL[100], 0.9f, kClipTolerance);
  EXPECT_NEAR(block.outR[100], -0.8f, kClipTolerance);
  for (std::size_t t = 0; t < block.outL.size(); ++t) {
    if (t == 100) continue;
    EXPECT_NEAR(block.outL[t], 0.0f, kClipTolerance) << t;
    EXPECT_NEAR(block.outR[t], 0.0f, kClipTolerance) << t;
  }
  EXPECT_FALSE(voices().isActive(0));

  // Backwards the voice starts on that frame.
  plugin->setParameter(kPitch, 0.25f);
  note(72);
  const Block backwards = run(3);
  EXPECT_NEAR(backwards.outL[1], 0.9f, kClipTolerance);
  EXPECT_NEAR(backwards.outR[1], -0.8f, kClipTolerance);
}

}  // namespace
