#include "sampler/engine/TVoiceBank.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#include <emmintrin.h>
#endif

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

// The fast loops convert f to a 32-bit integer; larger steps go frame by frame.
constexpr double kMaxFastStep = 536870912.0;  // 2^29

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
  return (c.loopPointsCrossed || !looped[static_cast<std::size_t>(v)]) ? 0 : c.loopStart;
}

// The turning points. `lo` is the bound computed before both tests. A
// ping-pong voice turns one frame inside the loop (one float for a
// one-channel sample): at the top to the frame that holds the float before
// the loop end bound. Every jump lands on the first float of a frame.
// Answers whether either test applied.
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
      k = c.loopEndFrame;
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

  // 6: loop bounds. A voice that does not move (pitch 0.5) crosses none:
  // it holds its position, also on the bound it started on, until its
  // envelope ends.
  if (stepSize != 0.0f) applyBounds(v, c, k, f, lowerBound(v, c));
  position[n] = static_cast<std::int32_t>(k);
  fraction[n] = f;

  // 7-8: envelope.
  TADSR& env = envelopes[n];
  const float amp = env.nextValue() * velocity[n];
  if (env.stage() == TADSR::kStageFinished) note[n] = -1;
  return {left * amp, right * amp};
}

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)

namespace {

// Two consecutive floats in the low half. (The 64-bit integer load is the
// one whose intrinsic allows any alignment.)
inline __m128 loadFloats(const float* p) noexcept {
  return _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)));
}

// Two consecutive floats as two doubles.
inline __m128d loadPair(const float* p) noexcept { return _mm_cvtps_pd(loadFloats(p)); }

// Adds the two low floats of `frame` to the pair of floats at `slot`.
inline void addPair(float* slot, __m128 frame) noexcept {
  __m128i* const pair = reinterpret_cast<__m128i*>(slot);
  const __m128 total = _mm_add_ps(_mm_castsi128_ps(_mm_loadl_epi64(pair)), frame);
  _mm_storel_epi64(pair, _mm_castps_si128(total));
}

// Adds the four floats of `frames` (two frames) to the four at `slot`.
inline void addQuad(float* slot, __m128 frames) noexcept {
  _mm_storeu_ps(slot, _mm_add_ps(_mm_loadu_ps(slot), frames));
}

// (1 - f) x a + f x b, lane by lane, in the order step() computes it.
inline __m128d interpolate(__m128d f, __m128d a, __m128d b) noexcept {
  return _mm_add_pd(_mm_mul_pd(_mm_sub_pd(_mm_set1_pd(1.0), f), a), _mm_mul_pd(f, b));
}

// One frame read at p with fraction f (both lanes of fv), as the two floats
// [left, right] in the low lanes: the arithmetic of step(), lane by lane
// (every product and sum is the same IEEE double operation on the same
// operands, so the results are the same bits).
template <int kChannels, bool kInterpolate>
inline __m128 mixFrame(const float* p, __m128d fv) noexcept {
  if constexpr (kChannels == 2) {
    const __m128d here = loadPair(p);      // [s0, right0]
    const __m128d next = loadPair(p + 2);  // [next, right1]
    __m128d mix = interpolate(fv, here, next);
    if constexpr (!kInterpolate) mix = _mm_move_sd(mix, here);  // left: s0 itself
    return _mm_cvtpd_ps(mix);
  } else {
    const __m128d here = loadPair(p);      // [s0, next]
    if constexpr (!kInterpolate) return _mm_cvtpd_ps(_mm_unpacklo_pd(here, here));
    const __m128d next = loadPair(p + 1);  // [next, the float after it]
    // Lane 0 is the interpolation; lane 1 is not used.
    return _mm_cvtpd_ps(_mm_unpacklo_pd(interpolate(fv, here, next), here));  // [left, s0]
  }
}

// Frames go in pairs. readFrame takes what one frame needs from the sample
// before its step moves the position; joinFrames turns two such reads (a
// with fraction fa, b with fb, in both lanes of each) into [left a, right a,
// left b, right b], with the arithmetic of mixFrame. Two channels mix each
// frame at once; one channel keeps its two floats and computes both frames
// in the lanes of one register (mixFrame leaves its second lane idle).
template <int kChannels, bool kInterpolate>
inline __m128 readFrame(const float* p, __m128d fv) noexcept {
  if constexpr (kChannels == 2) {
    return mixFrame<2, kInterpolate>(p, fv);
  } else {
    return loadFloats(p);  // [s0, next]
  }
}

template <int kChannels, bool kInterpolate>
inline __m128 joinFrames(__m128 a, __m128d fa, __m128 b, __m128d fb) noexcept {
  if constexpr (kChannels == 2) {
    return _mm_movelh_ps(a, b);
  } else {
    const __m128 both = _mm_unpacklo_ps(a, b);  // [s0 a, s0 b, next a, next b]
    if constexpr (!kInterpolate) return _mm_unpacklo_ps(both, both);
    const __m128d here = _mm_cvtps_pd(both);
    const __m128d next = _mm_cvtps_pd(_mm_movehl_ps(both, both));
    const __m128 left = _mm_cvtpd_ps(interpolate(_mm_unpacklo_pd(fa, fb), here, next));
    return _mm_unpacklo_ps(left, both);  // right: s0 itself
  }
}

}  // namespace

// The voice step for a run of frames in which nothing unusual happens: the
// direction, channel count, interpolation and envelope stage are fixed, and
// f < 1 on entry (so the interpolation test is always true). It renders
// frames until one of them turns at a loop bound, ends the voice, or leaves
// f at exactly 1; that frame is finished here (exactly as step() would) and
// the next one goes through step() again. kSpeed says how far one step goes:
// below one frame, from one to below two frames, or anything below 2^29
// frames.
//
// Most frames run in stretches that cannot reach a bound: a frame moves the
// position by a known most, so the distance to the bound ahead gives a
// number of frames to render with no bound test at all, the position a
// pointer held in a register. Only frames near a bound test it. f sits in
// both lanes of an SSE2 register; frames go in pairs, so that one channel
// computes two frames in the lanes of one register and the sums take four
// floats at a time.
template <int kChannels, bool kInterpolate, bool kForward, bool kSustain, int kSpeed>
int TVoiceBank::fastSpan(int v, const TVoiceContext& c, int i, int end, float* sums, double signedStep) noexcept {
  const auto n = static_cast<std::size_t>(v);
  const std::int64_t lo = lowerBound(v, c);
  const std::int64_t hi = c.loopEnd;
  const float* const data = c.data;
  // The caller made sure lo <= k < hi.
  std::int64_t k = position[n];
  TADSR& env = envelopes[n];
  const float vel = velocity[n];
  const __m128d one = _mm_set1_pd(1.0);
  const __m128d step = _mm_set1_pd(signedStep);
  __m128d fv = _mm_set1_pd(fraction[n]);
  // In the sustain stage the envelope returns its level unchanged.
  const __m128 sustainAmp = _mm_set1_ps(kSustain ? env.level() * vel : 0.0f);
  // The most whole frames one step can cross: f < 1 before it, so f + s
  // rounds to at most 1 + s, whose floor is at most floor(s) + 1 (the same
  // holds backwards).
  std::int64_t crossingsPerFrame = 1;
  if constexpr (kSpeed == kSpeedBelowTwo) crossingsPerFrame = 2;
  if constexpr (kSpeed == kSpeedAny) crossingsPerFrame = static_cast<std::int64_t>(std::fabs(signedStep)) + 1;

  // Backwards, f can end at exactly 1: the next read is not interpolated, so
  // that frame belongs to step().
  bool atOne = false;
  // Advances f by one step; answers how many floats the position moves.
  const auto advance = [&]() -> std::ptrdiff_t {
    fv = _mm_add_pd(fv, step);
    std::ptrdiff_t frames = 0;
    if constexpr (kSpeed == kSpeedBelowOne) {
      if (kForward ? _mm_comige_sd(fv, one) : _mm_comilt_sd(fv, _mm_setzero_pd())) {
        // One whole frame at most.
        fv = kForward ? _mm_sub_pd(fv, one) : _mm_add_pd(fv, one);
        frames = kForward ? 1 : -1;
      }
    } else if constexpr (kSpeed == kSpeedBelowTwo) {
      // From one up to two frames per step f is past a frame every time: one
      // or two whole frames.
      const bool two = kForward ? _mm_comige_sd(fv, _mm_set1_pd(2.0)) : _mm_comilt_sd(fv, _mm_set1_pd(-1.0));
      fv = kForward ? _mm_sub_pd(fv, two ? _mm_set1_pd(2.0) : one) : _mm_add_pd(fv, two ? _mm_set1_pd(2.0) : one);
      frames = (kForward ? 1 : -1) * (two ? 2 : 1);
    } else {
      if (kForward ? _mm_comige_sd(fv, one) : _mm_comilt_sd(fv, _mm_setzero_pd())) {
        // floor(f) by truncation (|f| < 2^30 here): f - floor(f) is exact
        // for f >= 1 and one rounding for f < 0, as stepping frame by frame.
        std::int32_t whole = _mm_cvttsd_si32(fv);
        if (!kForward && static_cast<double>(whole) > _mm_cvtsd_f64(fv)) --whole;
        fv = _mm_sub_pd(fv, _mm_set1_pd(static_cast<double>(whole)));
        frames = whole;
      }
    }
    if (!kForward && frames != 0 && _mm_comige_sd(fv, one)) atOne = true;
    return frames * kChannels;
  };
  // The envelope's next amplitude; true when the voice has ended with it.
  const auto envelopeEnds = [&](float& amp) -> bool {
    amp = env.nextValue() * vel;
    if (env.stage() != TADSR::kStageFinished) return false;
    note[n] = -1;
    return true;
  };

  float* sum = sums + 2 * i;
  float* const sumEnd = sums + 2 * end;
  bool stopped = false;
  while (!stopped && sum != sumEnd) {
    // Whole frames the position may still cross before it reaches a bound.
    const std::int64_t room = kForward ? (hi - 1 - k) / kChannels : (k - lo) / kChannels;
    const std::int64_t safe = std::min<std::int64_t>(room / crossingsPerFrame, (sumEnd - sum) / 2);
    if (safe >= 2) {
      // Pairs of frames none of which can reach a bound; an odd one left
      // over goes with the next stretch.
      const float* p = data + k;
      float* const pairsEnd = sum + 4 * (safe / 2);
      while (sum != pairsEnd) {
        const __m128 readA = readFrame<kChannels, kInterpolate>(p, fv);
        const __m128d fa = fv;
        p += advance();
        float ampA = 0.0f;
        if constexpr (!kSustain) stopped = envelopeEnds(ampA);
        if (stopped || atOne) {
          // Frame a alone (the low half of a pair of it with itself).
          const __m128 amp = kSustain ? sustainAmp : _mm_set1_ps(ampA);
          addPair(sum, _mm_mul_ps(joinFrames<kChannels, kInterpolate>(readA, fa, readA, fa), amp));
          sum += 2;
          stopped = true;
          break;
        }
        const __m128 readB = readFrame<kChannels, kInterpolate>(p, fv);
        const __m128d fb = fv;
        p += advance();
        __m128 amp = sustainAmp;
        if constexpr (!kSustain) {
          float ampB;
          stopped = envelopeEnds(ampB);
          const __m128 ab = _mm_unpacklo_ps(_mm_set_ss(ampA), _mm_set_ss(ampB));
          amp = _mm_unpacklo_ps(ab, ab);  // [a, a, b, b]
        }
        addQuad(sum, _mm_mul_ps(joinFrames<kChannels, kInterpolate>(readA, fa, readB, fb), amp));
        sum += 4;
        if (stopped || atOne) {
          stopped = true;
          break;
        }
      }
      k = p - data;
      continue;
    }

    // Near a bound (or the last frame): one frame with the bound test.
    const __m128 frame = mixFrame<kChannels, kInterpolate>(data + k, fv);
    const std::ptrdiff_t moved = advance();
    stopped = atOne;
    if (moved != 0) {
      k += moved;
      if (k >= hi || k < lo) {
        double f = _mm_cvtsd_f64(fv);
        applyBounds(v, c, k, f, lo);
        fv = _mm_set1_pd(f);
        stopped = true;
      }
    }
    __m128 amp = sustainAmp;
    if constexpr (!kSustain) {
      float a;
      if (envelopeEnds(a)) stopped = true;
      amp = _mm_set1_ps(a);
    }
    addPair(sum, _mm_mul_ps(frame, amp));
    sum += 2;
  }
  position[n] = static_cast<std::int32_t>(k);
  fraction[n] = _mm_cvtsd_f64(fv);
  return static_cast<int>((sum - sums) / 2);
}

#else

// The same without SSE2, one channel after the other.
template <int kChannels, bool kInterpolate, bool kForward, bool kSustain, int kSpeed>
int TVoiceBank::fastSpan(int v, const TVoiceContext& c, int i, int end, float* sums, double signedStep) noexcept {
  const auto n = static_cast<std::size_t>(v);
  const float* const data = c.data;
  std::int64_t k = position[n];
  double f = fraction[n];
  const std::int64_t hi = c.loopEnd;
  const std::int64_t lo = lowerBound(v, c);
  TADSR& env = envelopes[n];
  const float vel = velocity[n];
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
      if (kForward && (kSpeed == kSpeedBelowOne || f < 2.0)) {
        f -= 1.0;
        k += kChannels;
      } else if (!kForward && (kSpeed == kSpeedBelowOne || f >= -1.0)) {
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
    sums[2 * i] += left * amp;
    sums[2 * i + 1] += right * amp;
    if (stop) {
      ++i;
      break;
    }
  }
  position[n] = static_cast<std::int32_t>(k);
  fraction[n] = f;
  return i;
}

#endif

// Every fastSpan variant, indexed by speed x 16 + two channels (8) +
// interpolate (4) + forward (2) + sustain (1).
template <std::size_t... kVariants>
constexpr std::array<TVoiceBank::Span, sizeof...(kVariants)> TVoiceBank::spanTable(
    std::index_sequence<kVariants...>) noexcept {
  return {&TVoiceBank::fastSpan<(kVariants & 8u) != 0 ? 2 : 1, (kVariants & 4u) != 0, (kVariants & 2u) != 0,
                                (kVariants & 1u) != 0, static_cast<int>(kVariants / 16u)>...};
}

void TVoiceBank::renderSpan(int v, const TVoiceContext& c, int first, int end, float* sums,
                            const float* ratios) noexcept {
  static constexpr auto kSpans = spanTable(std::make_index_sequence<48>{});

  const auto n = static_cast<std::size_t>(v);
  int i = first;
  if (ratios != nullptr || c.channels > 2) {
    for (; i < end && note[n] >= 0; ++i) {
      const TStereoValue out = step(v, c, ratios != nullptr ? ratios[i] : ratio[n]);
      sums[2 * i] += out.left;
      sums[2 * i + 1] += out.right;
    }
    return;
  }

  const float stepSize = c.speed * (c.rateBase * ratio[n]);
  while (i < end && note[n] >= 0) {
    const std::uint8_t stage = envelopes[n].stage();
    const std::int64_t k = position[n];
    // A voice that stands still is settled on a bound too: the fast span
    // tests the bounds only after a move.
    const bool insideBounds = stepSize == 0.0f || (k >= lowerBound(v, c) && k < c.loopEnd);
    const bool settled = fraction[n] < 1.0 && insideBounds && stage != TADSR::kStageFinished;
    if (!settled) {
      const TStereoValue out = step(v, c, ratio[n]);
      sums[2 * i] += out.left;
      sums[2 * i + 1] += out.right;
      ++i;
      continue;
    }
    const bool ahead = c.forward == (reverse[n] == 0);
    const double signedStep = ahead ? static_cast<double>(stepSize) : -static_cast<double>(stepSize);
    if (!(std::fabs(signedStep) < kMaxFastStep)) {  // absurd speeds (and NaN): frame by frame
      const TStereoValue out = step(v, c, ratio[n]);
      sums[2 * i] += out.left;
      sums[2 * i + 1] += out.right;
      ++i;
      continue;
    }
    const double distance = std::fabs(signedStep);
    const std::size_t speed = distance < 1.0 ? kSpeedBelowOne : distance < 2.0 ? kSpeedBelowTwo : kSpeedAny;
    const std::size_t variant = speed * 16u + (c.channels == 2 ? 8u : 0u) + (c.interpolate ? 4u : 0u) +
                                (signedStep >= 0.0 ? 2u : 0u) + (stage == TADSR::kStageSustain ? 1u : 0u);
    const Span span = kSpans[variant];
    i = (this->*span)(v, c, i, end, sums, signedStep);
  }
}

}  // namespace sarnel
