#include "sampler/engine/TVoiceBank.h"

#include <algorithm>
#include <cmath>

namespace sarnel {
namespace {

// Brings f back to 0 <= f < 1 by whole frames. The result equals stepping
// one frame at a time (every intermediate of that is exact, so both end in
// the same single rounding), without its cost for large steps and without
// stalling where f - 1 == f. The jump is limited only to keep the integer
// conversion defined; the loop bounds bring the position back anyway.
inline void normalizeByFloor(std::int64_t& k, double& f, std::int32_t channels) noexcept {
  const double whole = std::floor(f);
  f -= whole;
  k += static_cast<std::int64_t>(std::clamp(whole, -1e15, 1e15)) * channels;
}

inline void normalize(std::int64_t& k, double& f, std::int32_t channels) noexcept {
  if (f >= 1.0 || f < 0.0) normalizeByFloor(k, f, channels);
}

}  // namespace

TVoiceBank::TVoiceBank() {
  note.fill(-1);
  position.fill(0);
  fraction.fill(0.0);
  looped.fill(false);
  reverse.fill(0);
  ratio.fill(1.0f);
  velocity.fill(1.0f);
}

void TVoiceBank::gateOn(int v, std::int32_t key, float voiceRatio, float voiceVelocity, std::int64_t start) noexcept {
  const auto n = static_cast<std::size_t>(v);
  envelopes[n].gateOn();
  reverse[n] = 0;
  note[n] = key;
  velocity[n] = voiceVelocity;
  ratio[n] = voiceRatio;
  position[n] = static_cast<std::int32_t>(start);
  fraction[n] = 0.0;
  looped[n] = false;
}

void TVoiceBank::restart(int v, std::int32_t key, std::int64_t start) noexcept {
  const auto n = static_cast<std::size_t>(v);
  envelopes[n].gateOn();
  note[n] = key;
  position[n] = static_cast<std::int32_t>(start);
  fraction[n] = 0.0;
  looped[n] = false;
}

void TVoiceBank::stopAll() noexcept {
  note.fill(-1);
  position.fill(0);
  fraction.fill(0.0);
}

std::int32_t TVoiceBank::lowestFreeVoice() const noexcept {
  for (int v = 0; v < kNumVoices; ++v) {
    if (note[static_cast<std::size_t>(v)] == -1) return v;
  }
  return -1;
}

// The lower loop bound: the loop start once the voice has looped, 0 on its
// first pass (or when the loop points are crossed).
std::int64_t TVoiceBank::lowerBound(int v, const TVoiceContext& c) const noexcept {
  const std::int64_t lo = c.loopStart;
  return (lo >= c.loopEnd || !looped[static_cast<std::size_t>(v)]) ? 0 : lo;
}

// The turning points. `lo` is the bound computed before both tests. A
// ping-pong voice turns one frame inside the loop (one float for a
// one-channel sample). Answers whether either test applied.
bool TVoiceBank::applyBounds(int v, const TVoiceContext& c, std::int64_t& k, double& f, std::int64_t lo) noexcept {
  const auto n = static_cast<std::size_t>(v);
  const std::int64_t hi = c.loopEnd;
  bool applied = false;
  if (k >= hi) {
    looped[n] = true;
    if (c.loopMode == 0) note[n] = -1;
    if (c.loopMode == 3) {
      reverse[n] = 1;
      k = hi - c.channels;
    } else {
      reverse[n] = 0;
      k = lo;
    }
    f = 0.0;
    applied = true;
  }
  if (k < lo) {
    looped[n] = true;
    if (c.loopMode == 0) note[n] = -1;
    if (c.loopMode == 3) {
      reverse[n] = 0;
      k = lo + c.channels;
    } else {
      k = hi;
    }
    f = 0.0;
    applied = true;
  }
  // Only degenerate loops (a loop end at 0, a one-float sample) turn outside
  // the sample; keep every later read inside it.
  k = std::clamp<std::int64_t>(k, 0, c.lastFrame);
  return applied;
}

TStereoValue TVoiceBank::step(int v, const TVoiceContext& c, float voiceRatio) noexcept {
  const auto n = static_cast<std::size_t>(v);
  std::int64_t k = position[n];
  double f = fraction[n];
  const std::int32_t ch = c.channels;

  // 1-3: read at the current position (the padding holds what a read past
  // the end wraps to).
  const float* p = c.data + k;
  const float s0 = p[0];
  const float next = p[ch];
  const float right = ch >= 2 ? static_cast<float>((1.0 - f) * p[1] + f * p[ch + 1]) : s0;
  const float left = (f < 1.0 && c.interpolate) ? static_cast<float>((1.0 - f) * s0 + f * next) : s0;

  // 4-5: advance.
  const float rate = c.rateBase * voiceRatio;
  const float stepSize = c.speed * rate;
  const bool ahead = c.forward == (reverse[n] == 0);
  f = ahead ? f + stepSize : f - stepSize;
  normalize(k, f, ch);

  // 6: loop bounds.
  applyBounds(v, c, k, f, lowerBound(v, c));
  position[n] = static_cast<std::int32_t>(k);
  fraction[n] = f;

  // 7-8: envelope.
  TADSR& env = envelopes[n];
  const float amp = env.nextValue() * velocity[n];
  if (env.stage() == TADSR::kStageFinished) note[n] = -1;
  return {left * amp, right * amp};
}

// The voice step for a run of frames in which nothing unusual happens: the
// direction, channel count, interpolation and envelope stage are fixed, and
// f < 1 on entry (so the interpolation test is always true). It renders
// frames until one of them turns at a loop bound, ends the voice, or leaves
// f at exactly 1; that frame is finished here (exactly as step() would) and
// the next one goes through step() again.
template <int kChannels, bool kInterpolate, bool kForward, bool kSustain>
int TVoiceBank::fastSpan(int v, const TVoiceContext& c, int i, int end, float* sumL, float* sumR,
                         double signedStep) noexcept {
  const auto n = static_cast<std::size_t>(v);
  const float* const data = c.data;
  std::int64_t k = position[n];
  double f = fraction[n];
  const std::int64_t hi = c.loopEnd;
  const std::int64_t lo = lowerBound(v, c);
  TADSR& env = envelopes[n];
  const float vel = velocity[n];
  // In the sustain stage the envelope returns its level unchanged.
  const float sustainAmp = kSustain ? env.level() * vel : 0.0f;

  for (; i < end; ++i) {
    const float* p = data + k;
    const float s0 = p[0];
    float right = s0;
    if constexpr (kChannels == 2) right = static_cast<float>((1.0 - f) * p[1] + f * p[3]);
    float left = s0;
    if constexpr (kInterpolate) left = static_cast<float>((1.0 - f) * s0 + f * p[kChannels]);

    f += signedStep;
    bool stop = false;
    if (kForward ? f >= 1.0 : f < 0.0) {
      if (kForward && f < 2.0) {
        f -= 1.0;
        k += kChannels;
      } else if (!kForward && f >= -1.0) {
        f += 1.0;
        k -= kChannels;
      } else {
        normalizeByFloor(k, f, kChannels);
      }
      if (!kForward && f >= 1.0) stop = true;
      if (k >= hi || k < lo) {
        applyBounds(v, c, k, f, lo);
        stop = true;
      }
    }

    float amp = sustainAmp;
    if constexpr (!kSustain) {
      amp = env.nextValue() * vel;
      if (env.stage() == TADSR::kStageFinished) {
        note[n] = -1;
        stop = true;
      }
    }
    sumL[i] += left * amp;
    sumR[i] += right * amp;
    if (stop) {
      ++i;
      break;
    }
  }
  position[n] = static_cast<std::int32_t>(k);
  fraction[n] = f;
  return i;
}

void TVoiceBank::renderSpan(int v, const TVoiceContext& c, int first, int end, float* sumL, float* sumR,
                            const float* ratios) noexcept {
  using Span = int (TVoiceBank::*)(int, const TVoiceContext&, int, int, float*, float*, double) noexcept;
  // [two channels][interpolate][forward][sustain]
  static constexpr Span kSpans[2][2][2][2] = {
      {{{&TVoiceBank::fastSpan<1, false, false, false>, &TVoiceBank::fastSpan<1, false, false, true>},
        {&TVoiceBank::fastSpan<1, false, true, false>, &TVoiceBank::fastSpan<1, false, true, true>}},
       {{&TVoiceBank::fastSpan<1, true, false, false>, &TVoiceBank::fastSpan<1, true, false, true>},
        {&TVoiceBank::fastSpan<1, true, true, false>, &TVoiceBank::fastSpan<1, true, true, true>}}},
      {{{&TVoiceBank::fastSpan<2, false, false, false>, &TVoiceBank::fastSpan<2, false, false, true>},
        {&TVoiceBank::fastSpan<2, false, true, false>, &TVoiceBank::fastSpan<2, false, true, true>}},
       {{&TVoiceBank::fastSpan<2, true, false, false>, &TVoiceBank::fastSpan<2, true, false, true>},
        {&TVoiceBank::fastSpan<2, true, true, false>, &TVoiceBank::fastSpan<2, true, true, true>}}},
  };

  const auto n = static_cast<std::size_t>(v);
  int i = first;
  if (ratios != nullptr || c.channels > 2) {
    for (; i < end && note[n] >= 0; ++i) {
      const TStereoValue out = step(v, c, ratios != nullptr ? ratios[i] : ratio[n]);
      sumL[i] += out.left;
      sumR[i] += out.right;
    }
    return;
  }

  const float stepSize = c.speed * (c.rateBase * ratio[n]);
  while (i < end && note[n] >= 0) {
    const std::uint8_t stage = envelopes[n].stage();
    const std::int64_t k = position[n];
    const bool settled = fraction[n] < 1.0 && k >= lowerBound(v, c) && k < c.loopEnd &&
                         stage != TADSR::kStageFinished;
    if (!settled) {
      const TStereoValue out = step(v, c, ratio[n]);
      sumL[i] += out.left;
      sumR[i] += out.right;
      ++i;
      continue;
    }
    const bool ahead = c.forward == (reverse[n] == 0);
    const double signedStep = ahead ? static_cast<double>(stepSize) : -static_cast<double>(stepSize);
    const Span span = kSpans[c.channels == 2][c.interpolate][signedStep >= 0.0][stage == TADSR::kStageSustain];
    i = (this->*span)(v, c, i, end, sumL, sumR, signedStep);
  }
}

}  // namespace sarnel
