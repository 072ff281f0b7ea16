// Sarnel's voices frame by frame: speed, direction, interpolation, the four
// loop modes and their turning points, the voice count, and what reads stay
// inside a sample of any length.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "tests/sampler_engine/EngineFixture.h"

namespace {

using namespace sarnel;
using sarneltest::Block;
using sarneltest::EngineTest;

// The output path quantises through the clip (|x + 1| - |x - 1|) / 2 in
// float32: each of the two sums is rounded to a step of 2^-23 near 1, so an
// output differs from its ideal value by at most 2^-24 (plus the 1e-24 the
// delay line adds).
constexpr float kClipTolerance = 1.0f / 16777216.0f + 1e-23f;
constexpr float kStep = 1.0f / 4096.0f;  // the ramp's increment

class SarnelVoices : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    sarneltest::makeEnvelopeImmediate(*plugin);
  }
  void note(int key, int velocity = 127) { sarneltest::sendMidi(*plugin, {host::noteOn(0, key, velocity)}); }
  void noteOff(int key) { sarneltest::sendMidi(*plugin, {host::noteOff(0, key)}); }
  // Renders frames one block of `frames`; returns the block.
  Block run(int frames) {
    Block block(frames);
    block.replacing(*plugin);
    return block;
  }
  const TVoiceBank& voices() const { return plugin->voiceBank(); }
  std::int32_t position(int v) const { return voices().position[static_cast<std::size_t>(v)]; }
};

TEST_F(SarnelVoices, RootKeyPlaysTheRecordedSpeedAndAnOctaveUpTwice) {
  loadWave("ramp.wav", sarneltest::ramp(1000), 1);
  note(72);
  note(84);
  const Block block = run(10);
  EXPECT_EQ(position(0), 10);
  EXPECT_EQ(voices().fraction[0], 0.0);
  EXPECT_EQ(position(1), 20);
  // The output is the sum one frame late (the delay line at length 1).
  for (int t = 1; t < 10; ++t) {
    const float expected = static_cast<float>(t - 1) * kStep + static_cast<float>(2 * (t - 1)) * kStep;
    EXPECT_NEAR(block.outL[static_cast<std::size_t>(t)], expected, kClipTolerance) << t;
    // A one-channel sample sounds on both outputs.
    EXPECT_EQ(block.outR[static_cast<std::size_t>(t)], block.outL[static_cast<std::size_t>(t)]);
  }
}

TEST_F(SarnelVoices, AFileAtHalfTheHostRatePlaysOneFrameEveryTwoOutputFrames) {
  loadWave("slow.wav", sarneltest::ramp(1000), 1, 22050);
  note(72);
  run(9);
  EXPECT_EQ(position(0), 4);
  EXPECT_EQ(voices().fraction[0], 0.5);
}

TEST_F(SarnelVoices, PitchBelowHalfPlaysBackwardsFromTheLoopEnd) {
  loadWave("ramp.wav", sarneltest::ramp(1000), 1);
  plugin->setParameter(kPitch, 0.25f);
  note(72);
  note(84);
  run(10);
  EXPECT_EQ(position(0), 999 - 10);
  EXPECT_EQ(position(1), 999 - 20);
}

TEST_F(SarnelVoices, PitchHalfStandsStillAndSoundsTheSampleTimesTheEnvelope) {
  loadWave("ramp.wav", sarneltest::ramp(1000), 1);
  note(72, 64);
  run(10);
  plugin->setParameter(kPitch, 0.5f);
  const Block block = run(20);
  EXPECT_EQ(position(0), 10);
  const float velocity = 64.0f / 127.0f;
  for (int t = 2; t < 20; ++t) {
    EXPECT_NEAR(block.outL[static_cast<std::size_t>(t)], 10.0f * kStep * velocity, kClipTolerance) << t;
  }
}

TEST_F(SarnelVoices, PitchHalfHoldsTheLoopEndInEveryLoopModeUntilReleased) {
  // 201 frames: L - 1 = 200 floats (one channel) or 401 (two); loop high 0.3
  // gives 60 and 120.3 -> 120, the frame 60 either way. Pitch 0.5 counts as
  // backwards, so a new voice starts there, on its loop end.
  for (int channels : {1, 2}) {
    const std::vector<float> samples = channels == 1 ? sarneltest::ramp(201) : sarneltest::stereoRamp(201);
    loadWave(channels == 1 ? "still1.wav" : "still2.wav", samples, channels);
    plugin->setParameter(kLoopHigh, 0.3f);
    plugin->setParameter(kPitch, 0.5f);
    const float frame60 = 60.0f / 4096.0f;
    const float velocity = 100.0f / 127.0f;
    for (float mode : {0.0f, 1.0f / 3.0f, 2.0f / 3.0f, 1.0f}) {
      plugin->setParameter(kLoopMode, mode);
      note(72, 100);
      const Block block = run(500);
      EXPECT_TRUE(voices().isActive(0)) << channels << " " << mode;
      EXPECT_EQ(voices().position[0], 60 * channels) << channels << " " << mode;
      for (std::size_t t = 1; t < block.outL.size(); ++t) {
        ASSERT_NEAR(block.outL[t], frame60 * velocity, kClipTolerance) << channels << " " << mode << " " << t;
        const float right = channels == 2 ? -frame60 * velocity : frame60 * velocity;
        ASSERT_NEAR(block.outR[t], right, kClipTolerance) << channels << " " << mode << " " << t;
      }
      // Released (release time 0), it is free after its next frame.
      sarneltest::sendMidi(*plugin, {host::noteOff(0, 72)});
      run(1);
      EXPECT_FALSE(voices().isActive(0)) << channels << " " << mode;
    }
  }
}

TEST_F(SarnelVoices, PitchHalfReachedWhileLoopingHoldsWhereTheVoiceIs) {
  // A looping voice that stops on the loop end (pitch moved to 0.5 the frame
  // it arrived there) stays there instead of jumping to the loop start.
  loadWave("ramp.wav", sarneltest::ramp(101), 1);
  plugin->setParameter(kLoopLow, 0.2f);
  plugin->setParameter(kLoopHigh, 0.6f);
  plugin->setParameter(kLoopMode, 1.0f / 3.0f);
  note(72);
  run(41);  // 20 ... 59, first arrival at 60 goes to 0, then to the loop end
  ASSERT_EQ(voices().position[0], 60);
  plugin->setParameter(kPitch, 0.5f);
  for (int t = 0; t < 50; ++t) {
    run(1);
    ASSERT_EQ(voices().position[0], 60) << t;
  }
  plugin->setParameter(kPitch, 0.75f);
  run(1);
  EXPECT_EQ(voices().position[0], 20);  // moving again: past the end, to the loop start
}

TEST_F(SarnelVoices, InterpolationReadsBetweenFramesOnlyWhenSwitchedOn) {
  loadWave("slow.wav", sarneltest::ramp(1000), 1, 22050);  // half speed: every other frame is halfway
  note(72);
  Block on = run(6);
  EXPECT_NEAR(on.outL[4], 1.5f * kStep, kClipTolerance);  // position 1.5 read at frame 3
  plugin->setParameter(kInterpolation, 0.0f);
  noteOff(72);
  run(2);
  note(72);
  Block off = run(6);
  EXPECT_NEAR(off.outL[4], 1.0f * kStep, kClipTolerance);  // the frame at the left
}

TEST_F(SarnelVoices, ThirtyThreeNotesSoundAndTheThirtyFourthIsDroppedUntilAVoiceFrees) {
  loadWave("dc.wav", std::vector<float>(64, 1.0f / 64.0f), 1);
  plugin->setParameter(kLoopMode, 1.0f / 3.0f);  // loops: every voice keeps sounding
  for (int key = 20; key < 20 + 34; ++key) note(key);
  const Block all = run(4);
  for (int v = 0; v < kNumVoices; ++v) EXPECT_EQ(voices().note[static_cast<std::size_t>(v)], 20 + v);
  EXPECT_NEAR(all.outL[3], 33.0f / 64.0f, 4 * kClipTolerance);
  noteOff(25);
  run(1);  // release 0: the voice is free after its next frame
  EXPECT_FALSE(voices().isActive(5));
  note(53);  // the 34th key again
  run(1);
  EXPECT_EQ(voices().note[5], 53);
}

TEST_F(SarnelVoices, TheSameKeyTwiceTakesTwoVoicesAndOneNoteOffReleasesBoth) {
  loadWave("dc.wav", std::vector<float>(64, 0.25f), 1);
  note(60);
  note(60);
  run(2);
  EXPECT_EQ(voices().note[0], 60);
  EXPECT_EQ(voices().note[1], 60);
  noteOff(60);
  run(1);
  EXPECT_FALSE(voices().isActive(0));
  EXPECT_FALSE(voices().isActive(1));
}

TEST_F(SarnelVoices, VelocityZeroActsAsNoteOff) {
  loadWave("dc.wav", std::vector<float>(64, 0.25f), 1);
  note(60);
  run(2);
  EXPECT_TRUE(voices().isActive(0));
  note(60, 0);
  run(1);
  EXPECT_FALSE(voices().isActive(0));
}

// Loop points on a 101-frame ramp: low 0.2 gives 20, high 0.6 gives 60.
class SarnelLoops : public SarnelVoices {
 protected:
  void prepare(float loopMode, float pitch = 0.75f) {
    loadWave("ramp.wav", sarneltest::ramp(101), 1);
    plugin->setParameter(kLoopLow, 0.2f);
    plugin->setParameter(kLoopHigh, 0.6f);
    plugin->setParameter(kLoopMode, loopMode);
    plugin->setParameter(kPitch, pitch);
    note(72);
  }
  // Positions after each of the next `frames` frames.
  std::vector<int> trace(int frames) {
    std::vector<int> seen;
    for (int i = 0; i < frames; ++i) {
      run(1);
      seen.push_back(voices().isActive(0) ? position(0) : -1);
    }
    return seen;
  }
};

TEST_F(SarnelLoops, NoLoopStopsAtTheLoopEnd) {
  prepare(0.0f);
  const std::vector<int> seen = trace(41);
  EXPECT_EQ(seen[38], 59);
  EXPECT_EQ(seen[39], -1);  // reached 60: free
}

TEST_F(SarnelLoops, LoopOnlyFirstArrivalGoesToZeroThenLoopEndThenLoopStart) {
  prepare(1.0f / 3.0f);
  const std::vector<int> seen = trace(45);
  EXPECT_EQ(seen[0], 21);     // started at the loop start
  EXPECT_EQ(seen[39], 0);     // first arrival at 60: the lower bound is still 0
  EXPECT_EQ(seen[40], 60);    // below the loop start now: to the loop end
  EXPECT_EQ(seen[41], 20);    // past the end: to the loop start
  EXPECT_EQ(seen[42], 21);
}

TEST_F(SarnelLoops, StartPlusLoopStartsAtZeroAndLoopSelectedByTiesToEven) {
  prepare(0.5f);  // round(1.5) = 2: start+loop
  const std::vector<int> seen = trace(63);
  EXPECT_EQ(seen[0], 1);      // a forward voice starts at 0 in this mode
  EXPECT_EQ(seen[59], 0);
  EXPECT_EQ(seen[60], 60);
  EXPECT_EQ(seen[61], 20);
}

TEST_F(SarnelLoops, PingPongTurnsAtBothLoopPoints) {
  prepare(1.0f);
  const std::vector<int> seen = trace(84);
  EXPECT_EQ(seen[39], 59);    // turned at the end
  EXPECT_EQ(seen[40], 58);    // running backwards
  EXPECT_EQ(seen[79], 21);    // below the loop start: forwards from lo + 1
  EXPECT_EQ(seen[80], 22);
  EXPECT_EQ(voices().reverse[0], 0);
}

TEST_F(SarnelLoops, BackwardsTheFirstPassPlaysDownToTheSampleStart) {
  prepare(1.0f / 3.0f, 0.25f);
  const std::vector<int> seen = trace(64);
  EXPECT_EQ(seen[0], 59);     // started at the loop end
  EXPECT_EQ(seen[58], 1);
  EXPECT_EQ(seen[59], 0);
  EXPECT_EQ(seen[60], 60);    // below 0: to the loop end, now looping
  EXPECT_EQ(seen[61], 59);
}

TEST_F(SarnelVoices, TwoChannelLoopPointsStayOnWholeFrames) {
  // 101 frames: L - 1 = 201 floats; loop high 0.6 gives 120.6 -> 121, an odd
  // index that would read right as left. Aligned, the voice turns on frames.
  loadWave("stereo.wav", sarneltest::stereoRamp(101), 2);
  plugin->setParameter(kLoopLow, 0.2f);
  plugin->setParameter(kLoopHigh, 0.6f);
  plugin->setParameter(kLoopMode, 1.0f);
  plugin->setParameter(kPitch, 0.9f);  // 1.6 frames per frame: fractions and turns
  note(72);
  for (int i = 0; i < 400; ++i) {
    const Block block = run(1);
    EXPECT_EQ(position(0) % 2, 0);
    EXPECT_GE(block.outL[0], 0.0f);
    EXPECT_LE(block.outR[0], 0.0f);
  }
}

TEST_F(SarnelVoices, ReadsStayInsideSamplesOfOneTwoAndThreeFrames) {
  // Every float of the sample is 0.5, so every read inside the buffer (the
  // read padding repeats the sample) gives 0.5, with or without
  // interpolation, and each output frame is 0.5 for each voice that sounds:
  // 0, 0.5 or 1, and 1 while both sound. Anything else is a read outside the
  // sample (under the address sanitizer it fails at the read).
  const auto check = [](const std::vector<float>& out, bool looping, const std::string& where) {
    for (std::size_t i = 0; i < out.size(); ++i) {
      const float voicesSounding = std::nearbyint(out[i] / 0.5f);
      EXPECT_NEAR(out[i], 0.5f * voicesSounding, kClipTolerance) << where << " " << i;
      EXPECT_LE(voicesSounding, 2.0f);
    }
    // Both voices sound from their first frame, and in the looping modes on
    // to the end of the block.
    const std::size_t sounding = looping ? out.size() : 2;
    for (std::size_t i = 1; i < sounding; ++i) EXPECT_NEAR(out[i], 1.0f, kClipTolerance) << where << " " << i;
  };
  for (int channels : {1, 2}) {
    for (int frames : {1, 2, 3}) {
      std::vector<float> samples(static_cast<std::size_t>(frames * channels), 0.5f);
      loadWave("short" + std::to_string(channels) + std::to_string(frames) + ".wav", samples, channels);
      for (float interpolation : {0.0f, 1.0f}) {
        plugin->setParameter(kInterpolation, interpolation);
        for (float mode : {0.0f, 1.0f / 3.0f, 0.5f, 1.0f}) {
          for (float pitch : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
            plugin->setParameter(kLoopMode, mode);
            plugin->setParameter(kPitch, pitch);
            plugin->setParameter(kLoopHigh, 0.0f);
            note(127);
            note(0);
            const Block block = run(17);
            const std::string where = std::to_string(channels) + " x " + std::to_string(frames) + " interpolation " +
                                      std::to_string(interpolation) + " mode " + std::to_string(mode) + " pitch " +
                                      std::to_string(pitch);
            check(block.outL, mode > 0.0f, where + " left");
            check(block.outR, mode > 0.0f, where + " right");
            sarneltest::sendMidi(*plugin, {host::controlChange(0, 123, 0)});
            run(2);
          }
        }
      }
    }
  }
}

TEST_F(SarnelVoices, HugeStepsNeitherStallNorLeaveTheSample) {
  // The highest note over a root of 0.1 Hz: about 1.25 x 10^5 frames per
  // frame; over a root of 0 Hz (replaced by 1e-7): about 10^11. A step past
  // a loop point lands on a loop point, so the voice sounds the ramp's own
  // values there (k steps at frame k), from the loop start on.
  loadWave("ramp.wav", sarneltest::ramp(50), 1);
  plugin->setParameter(kLoopMode, 1.0f / 3.0f);
  plugin->setParameter(kLoopLow, 0.5f);
  for (float root : {0.1f, 0.0f}) {
    plugin->setParameter(kTuningFirst + 72, root / 30000.0f);
    note(127);
    float loudest = 0.0f;
    for (int t = 0; t < 64; ++t) {
      const Block block = run(1);
      EXPECT_GE(position(0), 0);
      EXPECT_LT(position(0), 50);
      if (t == 0) continue;  // the output is one frame late
      const float frame = block.outL[0] / kStep;
      EXPECT_NEAR(frame, std::nearbyint(frame), kClipTolerance / kStep) << root << " " << t;
      EXPECT_GE(std::nearbyint(frame), 0.0f) << root << " " << t;
      EXPECT_LE(std::nearbyint(frame), 49.0f) << root << " " << t;
      loudest = std::max(loudest, block.outL[0]);
    }
    EXPECT_TRUE(voices().isActive(0));
    EXPECT_GE(loudest, 24.0f * kStep) << "never reached the loop";
    sarneltest::sendMidi(*plugin, {host::controlChange(0, 123, 0)});
    run(2);
  }
}

// Huge samples are cut to whole frames, so a cut two-channel sample keeps
// left and right where they are.
TEST(SarnelSampleLength, TheCapKeepsWholeFrames) {
  EXPECT_EQ(sampleLengthFor(7, 2), 6);
  EXPECT_EQ(sampleLengthFor(7, 1), 7);
  EXPECT_EQ(sampleLengthFor(7, 0), 7);  // no channel count counts as one
  const auto huge = static_cast<std::size_t>(INT32_MAX);
  EXPECT_EQ(sampleLengthFor(huge, 1), kMaxSampleFloats);
  for (std::int32_t channels : {2, 3, 4}) {
    const std::int32_t length = sampleLengthFor(huge, channels);
    EXPECT_EQ(length % channels, 0) << channels;
    EXPECT_LE(length, kMaxSampleFloats);
    EXPECT_GT(length, kMaxSampleFloats - channels) << "cut by more than one frame";
    // Reads past the end wrap by whole frames, back onto the same channel.
    EXPECT_EQ(wrappedReadIndex(length, length, channels) % channels, 0);
    EXPECT_EQ(wrappedReadIndex(static_cast<std::int64_t>(length) + 1, length, channels) % channels, 1);
  }
}

TEST_F(SarnelVoices, ANewSampleStopsEveryVoice) {
  loadWave("a.wav", std::vector<float>(64, 0.25f), 1);
  note(60);
  note(61);
  run(2);
  loadWave("b.wav", std::vector<float>(64, 0.5f), 1);
  run(1);
  EXPECT_FALSE(voices().isActive(0));
  EXPECT_FALSE(voices().isActive(1));
  EXPECT_EQ(position(0), 0);
}

class SarnelOutput : public EngineTest {};

TEST_F(SarnelOutput, EffectModeDelaysTheInputOneSampleAndUsesTheLeftPathForBoth) {
  plugin->setParameter(kVolume, 0.5f);
  Block block(8);
  block.inL[2] = 0.5f;
  block.inR[4] = -0.25f;
  block.replacing(*plugin);
  EXPECT_NEAR(block.outL[3], 0.25f, kClipTolerance);
  EXPECT_NEAR(block.outL[2], 0.0f, kClipTolerance);
  // No two-channel sample was ever loaded: the right output is the left path.
  EXPECT_EQ(block.outR[3], block.outL[3]);
  EXPECT_NEAR(block.outR[5], 0.0f, kClipTolerance);
}

TEST_F(SarnelOutput, AfterATwoChannelSampleTheEffectModeKeepsBothPaths) {
  loadWave("stereo.wav", sarneltest::stereoRamp(16), 2);
  plugin->setParameter(kCommandUnload, 1.0f);
  Block block(8);
  block.inL[2] = 0.5f;
  block.inR[4] = -0.25f;
  block.replacing(*plugin);
  EXPECT_NEAR(block.outL[3], 0.5f, kClipTolerance);
  EXPECT_NEAR(block.outR[5], -0.25f, kClipTolerance);
}

TEST_F(SarnelOutput, OutputsBeyondFullScaleLeaveAsExactlyOne) {
  Block block(6);
  block.inL = {3.0f, -3.0f, 1.0f, -1.0f, 1e30f, 0.0f};
  block.replacing(*plugin);
  EXPECT_EQ(block.outL[1], 1.0f);
  EXPECT_EQ(block.outL[2], -1.0f);
  EXPECT_EQ(block.outL[3], 1.0f);
  EXPECT_EQ(block.outL[4], -1.0f);
  EXPECT_EQ(block.outL[5], 1.0f);
}

TEST_F(SarnelOutput, NonFiniteInputNeverPoisonsTheDelayLine) {
  plugin->setParameter(kDelay, 0.001f);
  plugin->setParameter(kFeedback, 1.0f);
  Block block(256);
  block.inL[0] = std::nanf("");
  block.inL[1] = INFINITY;
  block.inR[2] = -INFINITY;
  block.inL[3] = 0.5f;
  block.replacing(*plugin);
  // The echo of the finite input circulates.
  float loudest = 0.0f;
  for (std::size_t i = 4; i < block.outL.size(); ++i) loudest = std::max(loudest, std::fabs(block.outL[i]));
  EXPECT_GT(loudest, 0.1f);
  for (int round = 0; round < 20; ++round) {
    for (std::size_t i = 0; i < block.outL.size(); ++i) {
      ASSERT_TRUE(std::isfinite(block.outL[i]) && std::isfinite(block.outR[i])) << round << " " << i;
    }
    block.inL.assign(block.inL.size(), 0.0f);
    block.inR.assign(block.inR.size(), 0.0f);
    block.replacing(*plugin);
  }
}

TEST_F(SarnelOutput, AccumulatingProcessAddsToTheOutput) {
  Block block(4);
  block.inL[0] = 0.25f;
  block.outL.assign(4, 0.5f);
  block.outR.assign(4, 0.5f);
  block.accumulating(*plugin);
  EXPECT_NEAR(block.outL[1], 0.75f, kClipTolerance);
  EXPECT_NEAR(block.outL[2], 0.5f, kClipTolerance);
}

}  // namespace
