// The voice loop's fast span against the plain one-frame step, bit for bit,
// over random voices: channel counts, sample lengths from 1 frame, every loop
// mode, loop points crossed or almost equal, speeds from standing still to
// absurd, both directions, envelopes released anywhere and spans cut anywhere.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "sampler/engine/TVoiceBank.h"
#include "sampler/engine/TVoiceContext.h"

namespace sarnel {
namespace {

bool sameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

class RandomVoice {
 public:
  explicit RandomVoice(unsigned seed) : rng(seed) {}

  float uniform(float low, float high) { return std::uniform_real_distribution<float>(low, high)(rng); }
  int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(rng); }
  std::mt19937& engine() { return rng; }

 private:
  std::mt19937 rng;
};

TEST(VoiceSpanDifferential, FastSpanEqualsThePerFrameStep) {
  constexpr int kRounds = 3000;
  constexpr int kFrames = 600;
  RandomVoice random(12345);
  int failingRounds = 0;
  for (int round = 0; round < kRounds; ++round) {
    const int channels = 1 + random.pick(2);
    const int lengthFrames = random.pick(4) == 0 ? 1 + random.pick(5) : 1 + random.pick(3000);
    std::vector<float> data(static_cast<std::size_t>(lengthFrames * channels));
    for (float& value : data) value = random.uniform(-1.0f, 1.0f);
    auto block = makeSampleBlock(data, channels, 8000 + random.pick(90000));
    const float pitch = random.pick(8) == 0 ? 0.5f : random.uniform(0.0f, 1.0f);
    const float interpolation = random.pick(2) != 0 ? 1.0f : 0.0f;
    const float loopMode = static_cast<float>(random.pick(4)) / 3.0f;
    const float loopLow = random.uniform(0.0f, 1.0f);
    float loopHigh = random.uniform(0.0f, 1.0f);
    if (random.pick(4) == 0) loopHigh = loopLow + random.uniform(0.0f, 0.01f);
    const TVoiceContext context =
        makeVoiceContext(*block, static_cast<float>(8000 + random.pick(90000)), pitch, interpolation, loopMode,
                         loopLow, loopHigh);

    TVoiceBank reference, fast;
    const float attack = random.pick(3) == 0 ? 0.0f : random.uniform(0.0f, 0.01f);
    const float decay = random.pick(3) == 0 ? 0.0f : random.uniform(0.0f, 0.01f);
    const float sustain = random.uniform(0.0f, 1.0f);
    const float release = random.pick(3) == 0 ? 0.0f : random.uniform(0.0f, 0.01f);
    for (TVoiceBank* bank : {&reference, &fast}) {
      auto& envelope = bank->envelopeArray()[0];
      envelope.setSampleRate(44100.0f);
      envelope.setAttack(attack);
      envelope.setDecay(decay);
      envelope.setSustain(sustain);
      envelope.setRelease(release);
    }
    float ratio = random.pick(10) == 0 ? random.uniform(0.0f, 300.0f) : random.uniform(0.0f, 3.0f);
    if (random.pick(20) == 0) ratio = 1e9f;
    const std::int64_t start =
        random.pick(2) != 0 ? context.startIndex() : static_cast<std::int64_t>(random.pick(lengthFrames)) * channels;
    const unsigned voiceSeed = random.engine()();
    const int releaseAt = random.pick(3) == 0 ? random.pick(kFrames) : -1;
    for (TVoiceBank* bank : {&reference, &fast}) {
      std::mt19937 local(voiceSeed);
      bank->gateOn(0, 60, ratio, 0.7f, start);
      if (local() % 3 == 0) bank->fraction[0] = std::uniform_real_distribution<double>(0, 1)(local);
      if (local() % 4 == 0) bank->looped[0] = true;
      if (context.loopMode == 3 && local() % 2 == 0) bank->reverse[0] = 1;
    }

    std::vector<float> referenceSum(2 * kFrames, 0.0f), fastSum(2 * kFrames, 0.0f);
    for (int i = 0; i < kFrames && reference.isActive(0); ++i) {
      if (i == releaseAt) reference.gateOff(0);
      const TStereoValue value = reference.step(0, context, reference.ratio[0]);
      referenceSum[2 * i] += value.left;
      referenceSum[2 * i + 1] += value.right;
    }
    int frame = 0;
    while (frame < kFrames && fast.isActive(0)) {
      int end = std::min(kFrames, frame + 1 + random.pick(300));
      if (releaseAt >= frame && releaseAt < end) {
        if (releaseAt == frame) fast.gateOff(0);
        else end = releaseAt;
      }
      fast.renderSpan(0, context, frame, end, fastSum.data(), nullptr);
      frame = end;
    }

    bool equal = reference.position[0] == fast.position[0] && reference.note[0] == fast.note[0] &&
                 reference.fraction[0] == fast.fraction[0];
    for (int i = 0; equal && i < 2 * kFrames; ++i) equal = sameBits(referenceSum[i], fastSum[i]);
    if (!equal && ++failingRounds <= 3) {
      ADD_FAILURE() << "round " << round << ": channels " << channels << ", loop mode " << context.loopMode
                    << ", ratio " << ratio << ", sample frames " << lengthFrames;
    }
  }
  EXPECT_EQ(failingRounds, 0);
}

}  // namespace
}  // namespace sarnel
