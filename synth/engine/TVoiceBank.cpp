#include "synth/engine/TVoiceBank.h"

#include <cmath>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define MARROWGLINT_SIDE_BY_SIDE 1
#include <emmintrin.h>
#endif

namespace marrowglint {
namespace {

constexpr float kPeriod = static_cast<float>(TWaveTables::kPeriod);
constexpr float kGlideStep = 0.03f;

// A phase that left 0..16384 by more than one period (a very high note with
// raised tunes, or a large frequency-modulation jump) is brought back by
// whole periods, so every table index stays inside its array. fmod is exact.
float wrapPeriods(float phase) {
  float wrapped = std::fmod(phase, kPeriod);
  if (wrapped < 0.0f) wrapped += kPeriod;
  return wrapped;
}

}  // namespace

TVoice TVoiceBank::snapshot(int i) const {
  TVoice v;
  v.note = note[i];
  v.state = state[i];
  v.level = level[i];
  v.rate = rate[i];
  v.step = step[i];
  v.gain = gain[i];
  v.phase1 = phase1[i];
  v.phase2 = phase2[i];
  v.increment1 = increment1[i];
  v.increment2 = increment2[i];
  return v;
}

// The stage ends that follow a level change. Rare: once per stage.
void TVoiceBank::envelopeTransition(int lane, const VoiceFrame& frame) {
  float& value = level[lane];
  switch (state[lane]) {
    case kEnvelopeAttack:
      if (value >= 1.0f) {
        value = 1.0f;
        state[lane] = kEnvelopeDecay;
        setRate(lane, 1.0f - frame.decay);
      }
      break;
    case kEnvelopeDecay:
      if (value < frame.sustain) {
        value = frame.sustain;
        state[lane] = kEnvelopeSustain;
        setRate(lane, 0.0f);
        if (frame.sustain == 0.0f) {
          state[lane] = kEnvelopeIdle;
          note[lane] = 0;
        }
      }
      break;
    case kEnvelopeRelease:
      // The last, slightly negative level is returned once and stays until
      // the voice starts again.
      if (value < 0.0f) {
        state[lane] = kEnvelopeIdle;
        note[lane] = 0;
      }
      break;
    default: break;
  }
}

float TVoiceBank::envelopeStep(int lane, const VoiceFrame& frame) {
  switch (state[lane]) {
    case kEnvelopeAttack: level[lane] += step[lane]; break;
    case kEnvelopeDecay:
    case kEnvelopeRelease: level[lane] -= step[lane]; break;
    case kEnvelopeSustain: break;
    default: level[lane] = 0.0f; break;
  }
  envelopeTransition(lane, frame);
  return level[lane];
}

template <int Mode>
float TVoiceBank::voiceSample(int lane, const VoiceFrame& frame) {
  if (state[lane] == kEnvelopeIdle) return 0.0f;
  float& p1 = phase1[lane];
  float& p2 = phase2[lane];
  float& inc1 = increment1[lane];
  float& inc2 = increment2[lane];
  float e = gain[lane] * readPosition<Mode>(frame.osc1, p1);
  float d = gain[lane] * readPosition<Mode>(frame.osc2, p2);

  // Cross-modulation: pulse width and frequency modulation act on the
  // oscillator that the mix leans away from.
  const float fmJump = 2000.0f * rateScale;
  if (frame.mix < 0.5f) {
    if (frame.pwm > 0.0f && p1 > (1.0f - 0.9f * frame.pwm) * kPeriod) e = 1.0f - d;
    p1 += frame.fm * d * fmJump;
  } else {
    if (frame.pwm > 0.0f && p2 > (1.0f - 0.9f * frame.pwm) * kPeriod) d = 1.0f - e;
    p2 += frame.fm * d * fmJump;
  }

  if (frame.glide > 0.0f) {
    const float glideStep = kGlideStep * rateScale;
    if (inc1 < glideTarget1) inc1 += glideStep;
    else if (inc1 > glideTarget1) inc1 -= glideStep;
    if (inc2 < glideTarget2) inc2 += glideStep;
    else if (inc2 > glideTarget2) inc2 -= glideStep;
  }

  p1 += (inc1 + (frame.fine1 - 0.5f)) * rateScale;
  if (p1 >= kPeriod) {
    p1 -= kPeriod;
    if (p1 >= kPeriod) p1 = wrapPeriods(p1);
    p2 = p1;  // hard sync
  }
  if (p1 < 0.0f) {
    p1 += kPeriod;
    if (p1 < 0.0f) p1 = wrapPeriods(p1);
  }

  // The 0.2 (not 0.5) offset tunes oscillator 2 slightly above oscillator 1.
  p2 += (inc2 + (frame.fine2 - 0.2f)) * rateScale;
  if (p2 >= kPeriod) {
    p2 -= kPeriod;
    if (p2 >= kPeriod) p2 = wrapPeriods(p2);
  }
  if (p2 < 0.0f) {
    p2 += kPeriod;
    if (p2 < 0.0f) p2 = wrapPeriods(p2);
  }

  const float h = (1.0f - frame.mix) * e + frame.mix * d;
  const float l = envelopeStep(lane, frame);
  float result = frame.rmod > 0.0f ? l * ((1.0f - frame.rmod) * h + frame.rmod * (e + d) * frame.ring * 4.0f)
                                   : l * h;
  if (frame.pwm > 0.0f) result *= 0.7f;
  return result;
}

template <int Mode>
double TVoiceBank::renderOneByOne(const VoiceFrame& frame) {
  double sum = 0.0;
  for (int lane = 0; lane < kSounding; ++lane) sum += voiceSample<Mode>(lane, frame);
  return sum;
}

#if defined(MARROWGLINT_SIDE_BY_SIDE)

namespace {

// Lane-wise a where the mask is set, else b.
inline __m128 select(__m128 mask, __m128 a, __m128 b) {
  return _mm_or_ps(_mm_and_ps(mask, a), _mm_andnot_ps(mask, b));
}

// Four table reads at four positions, the same arithmetic as readPosition.
template <int Mode>
inline __m128 read4(const TWaveTables::View& view, __m128 position) {
  const __m128 shift = _mm_set1_ps(12582912.0f);  // as nearestSmall
  const __m128 rounded = _mm_sub_ps(_mm_add_ps(position, shift), shift);
  const __m128 f = _mm_sub_ps(position, rounded);
  // Sounding voices are always within 0..16384; idle lanes run on unchecked
  // and are discarded, so their reads are only kept inside the arrays.
  const __m128 inside = _mm_min_ps(_mm_max_ps(rounded, _mm_setzero_ps()), _mm_set1_ps(16384.0f));
  // Byte offsets of the entries, taken out lane by lane.
  constexpr int kShift = Mode == kInterpolationFourPoint ? 4 : Mode == kInterpolationLinear ? 3 : 2;
  const __m128i offsets = _mm_slli_epi32(_mm_cvttps_epi32(inside), kShift);
  const std::uint32_t o0 = static_cast<std::uint32_t>(_mm_cvtsi128_si32(offsets));
  const std::uint32_t o1 = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(offsets, 1)));
  const std::uint32_t o2 = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(offsets, 2)));
  const std::uint32_t o3 = static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_shuffle_epi32(offsets, 3)));
  const auto at = [](const float* base, std::uint32_t offset) {
    return reinterpret_cast<const float*>(reinterpret_cast<const char*>(base) + offset);
  };
  if constexpr (Mode == kInterpolationFourPoint) {
    __m128 c0 = _mm_loadu_ps(at(view.cubic, o0));
    __m128 c1 = _mm_loadu_ps(at(view.cubic, o1));
    __m128 c2 = _mm_loadu_ps(at(view.cubic, o2));
    __m128 c3 = _mm_loadu_ps(at(view.cubic, o3));
    _MM_TRANSPOSE4_PS(c0, c1, c2, c3);  // now T, K1, K2, K3 of the four lanes
    return _mm_add_ps(c0, _mm_mul_ps(f, _mm_add_ps(c1, _mm_mul_ps(f, _mm_add_ps(c2, _mm_mul_ps(f, c3))))));
  } else if constexpr (Mode == kInterpolationLinear) {
    const __m128 zero = _mm_setzero_ps();
    const __m128 lanes01 = _mm_loadh_pi(_mm_loadl_pi(zero, reinterpret_cast<const __m64*>(at(view.linear, o0))),
                                        reinterpret_cast<const __m64*>(at(view.linear, o1)));
    const __m128 lanes23 = _mm_loadh_pi(_mm_loadl_pi(zero, reinterpret_cast<const __m64*>(at(view.linear, o2))),
                                        reinterpret_cast<const __m64*>(at(view.linear, o3)));
    const __m128 t = _mm_shuffle_ps(lanes01, lanes23, _MM_SHUFFLE(2, 0, 2, 0));
    const __m128 d = _mm_shuffle_ps(lanes01, lanes23, _MM_SHUFFLE(3, 1, 3, 1));
    return _mm_add_ps(t, _mm_mul_ps(f, d));
  } else {
    (void)f;
    return _mm_setr_ps(*at(view.values, o0), *at(view.values, o1), *at(view.values, o2), *at(view.values, o3));
  }
}

}  // namespace

// Voices 1..4 as the four lanes of vector registers, for `count` frames
// with the same live values. Every lane computes what voiceSample computes,
// with the same operations in the same order; a frame in which a phase needs
// more than one wrap is redone one voice at a time. The fields stay in
// registers between frames and go back to memory when a stage ends, at such
// a frame, and at the end.
template <int Mode>
void TVoiceBank::renderSideBySide(const VoiceFrame& frame, const float* ring, double* sums, int count) {
  const __m128 period = _mm_set1_ps(kPeriod);
  const __m128 zero = _mm_setzero_ps();
  const __m128 one = _mm_set1_ps(1.0f);
  const __m128 fmJump = _mm_set1_ps(frame.fm);
  const __m128 jump = _mm_set1_ps(2000.0f * rateScale);
  const __m128 scale = _mm_set1_ps(rateScale);
  const __m128 mix = _mm_set1_ps(frame.mix);
  const __m128 unmix = _mm_set1_ps(1.0f - frame.mix);
  const __m128 fine1 = _mm_set1_ps(frame.fine1 - 0.5f);
  const __m128 fine2 = _mm_set1_ps(frame.fine2 - 0.2f);
  const bool lowMix = frame.mix < 0.5f;
  // x + (0 × d × 2000) is x: without frequency modulation the jump is left out.
  const bool fmOn = frame.fm != 0.0f;
  const bool pulse = frame.pwm > 0.0f;
  const __m128 threshold = _mm_set1_ps((1.0f - 0.9f * frame.pwm) * kPeriod);
  const bool glide = frame.glide > 0.0f;
  const __m128 glideStep = _mm_set1_ps(kGlideStep * rateScale);
  const __m128 target1 = _mm_set1_ps(glideTarget1);
  const __m128 target2 = _mm_set1_ps(glideTarget2);
  const bool ringOn = frame.rmod > 0.0f;
  const __m128 rmod = _mm_set1_ps(frame.rmod);
  const __m128 unRmod = _mm_set1_ps(1.0f - frame.rmod);
  const __m128 four = _mm_set1_ps(4.0f);
  const __m128 pulseGain = _mm_set1_ps(0.7f);
  const __m128 infinity = _mm_set1_ps(HUGE_VALF);

  // Lane masks and envelope thresholds from the states; again after a
  // stage ends.
  __m128 active, levelStep, endAbove, endBelow;
  __m128 p1, p2, inc1, inc2, gain4, levels;
  __m128 step1, step2;  // (increment + fine offset) x rate scale, while the increments hold
  const auto load = [&] {
    std::int32_t states;
    std::memcpy(&states, state, sizeof states);
    const __m128i zeroInt = _mm_setzero_si128();
    const __m128i lanes = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(states), zeroInt), zeroInt);
    active = _mm_castsi128_ps(_mm_cmpgt_epi32(lanes, zeroInt));
    const __m128 attack = _mm_castsi128_ps(_mm_cmpeq_epi32(lanes, _mm_set1_epi32(kEnvelopeAttack)));
    const __m128 decay = _mm_castsi128_ps(_mm_cmpeq_epi32(lanes, _mm_set1_epi32(kEnvelopeDecay)));
    const __m128 release = _mm_castsi128_ps(_mm_cmpeq_epi32(lanes, _mm_set1_epi32(kEnvelopeRelease)));
    const __m128 steps = _mm_loadu_ps(step);
    // level + step in attack, level + (−step) = level − step in decay and
    // release, level + 0 = level otherwise (a sustain level is never −0).
    levelStep = select(attack, steps, select(_mm_or_ps(decay, release), _mm_sub_ps(zero, steps), zero));
    endAbove = select(attack, one, infinity);
    endBelow = select(decay, _mm_set1_ps(frame.sustain), select(release, zero, _mm_sub_ps(zero, infinity)));
    p1 = _mm_loadu_ps(phase1);
    p2 = _mm_loadu_ps(phase2);
    inc1 = _mm_loadu_ps(increment1);
    inc2 = _mm_loadu_ps(increment2);
    gain4 = _mm_loadu_ps(gain);
    levels = _mm_loadu_ps(level);
    step1 = _mm_mul_ps(_mm_add_ps(inc1, fine1), scale);
    step2 = _mm_mul_ps(_mm_add_ps(inc2, fine2), scale);
  };
  // Idle lanes run along in the registers, unused; only sounding voices'
  // fields go back (an idle voice keeps its phases for its next note).
  const auto store = [&] {
    alignas(16) float values[5][4];
    _mm_store_ps(values[0], p1);
    _mm_store_ps(values[1], p2);
    _mm_store_ps(values[2], inc1);
    _mm_store_ps(values[3], inc2);
    _mm_store_ps(values[4], levels);
    const int sounding = _mm_movemask_ps(active);
    for (int lane = 0; lane < kSounding; ++lane) {
      if ((sounding & (1 << lane)) == 0) continue;
      phase1[lane] = values[0][lane];
      phase2[lane] = values[1][lane];
      increment1[lane] = values[2][lane];
      increment2[lane] = values[3][lane];
      level[lane] = values[4][lane];
    }
  };

  load();
  for (int n = 0; n < count; ++n) {
    if (_mm_movemask_ps(active) == 0) {  // all idle: 0.0 + four +0.0f
      sums[n] = 0.0;
      continue;
    }
    __m128 e = _mm_mul_ps(gain4, read4<Mode>(frame.osc1, p1));
    __m128 d = _mm_mul_ps(gain4, read4<Mode>(frame.osc2, p2));
    __m128 a = p1;
    __m128 b = p2;
    if (lowMix) {
      if (pulse) e = select(_mm_cmpgt_ps(a, threshold), _mm_sub_ps(one, d), e);
      if (fmOn) a = _mm_add_ps(a, _mm_mul_ps(_mm_mul_ps(fmJump, d), jump));
    } else {
      if (pulse) d = select(_mm_cmpgt_ps(b, threshold), _mm_sub_ps(one, e), d);
      if (fmOn) b = _mm_add_ps(b, _mm_mul_ps(_mm_mul_ps(fmJump, d), jump));
    }
    __m128 nextInc1 = inc1;
    __m128 nextInc2 = inc2;
    __m128 nextStep1 = step1;
    __m128 nextStep2 = step2;
    if (glide) {
      nextInc1 = select(_mm_cmplt_ps(inc1, target1), _mm_add_ps(inc1, glideStep),
                        select(_mm_cmpgt_ps(inc1, target1), _mm_sub_ps(inc1, glideStep), inc1));
      nextInc2 = select(_mm_cmplt_ps(inc2, target2), _mm_add_ps(inc2, glideStep),
                        select(_mm_cmpgt_ps(inc2, target2), _mm_sub_ps(inc2, glideStep), inc2));
      nextStep1 = _mm_mul_ps(_mm_add_ps(nextInc1, fine1), scale);
      nextStep2 = _mm_mul_ps(_mm_add_ps(nextInc2, fine2), scale);
    }
    // Wraps by subtracting or adding the period or 0 (x − 0 and x + 0 are
    // x: a phase is never −0).
    a = _mm_add_ps(a, nextStep1);
    const __m128 wrapped = _mm_cmpge_ps(a, period);
    a = _mm_sub_ps(a, _mm_and_ps(wrapped, period));
    b = select(wrapped, a, b);  // hard sync
    a = _mm_add_ps(a, _mm_and_ps(_mm_cmplt_ps(a, zero), period));
    b = _mm_add_ps(b, nextStep2);
    b = _mm_sub_ps(b, _mm_and_ps(_mm_cmpge_ps(b, period), period));
    b = _mm_add_ps(b, _mm_and_ps(_mm_cmplt_ps(b, zero), period));
    // One wrap was not enough (or brought a phase onto 16384 exactly).
    const __m128 outside = _mm_or_ps(_mm_cmpge_ps(_mm_max_ps(a, b), period), _mm_cmplt_ps(_mm_min_ps(a, b), zero));
    if (_mm_movemask_ps(_mm_and_ps(outside, active)) != 0) {
      store();
      VoiceFrame single = frame;
      single.ring = ring[n];
      sums[n] = renderOneByOne<Mode>(single);
      load();
      continue;
    }

    const __m128 h = _mm_add_ps(_mm_mul_ps(unmix, e), _mm_mul_ps(mix, d));
    __m128 next = _mm_add_ps(levels, levelStep);
    p1 = a;
    p2 = b;
    inc1 = nextInc1;
    inc2 = nextInc2;
    step1 = nextStep1;
    step2 = nextStep2;
    levels = next;
    // A voice that ends its release in this frame still gives this frame's
    // (just negative) level, so the lanes that sounded at its start count.
    const __m128 sounding = active;
    const __m128 ends = _mm_or_ps(_mm_cmpge_ps(next, endAbove), _mm_cmplt_ps(next, endBelow));
    if (_mm_movemask_ps(ends) != 0) {
      store();
      for (int lane = 0; lane < kSounding; ++lane) {
        if (state[lane] != kEnvelopeIdle) envelopeTransition(lane, frame);
      }
      next = _mm_loadu_ps(level);
      load();
    }

    __m128 result;
    if (ringOn) {
      const __m128 carrier = _mm_set1_ps(ring[n]);
      result = _mm_mul_ps(next, _mm_add_ps(_mm_mul_ps(unRmod, h),
                                           _mm_mul_ps(_mm_mul_ps(_mm_mul_ps(rmod, _mm_add_ps(e, d)), carrier), four)));
    } else {
      result = _mm_mul_ps(next, h);
    }
    if (pulse) result = _mm_mul_ps(result, pulseGain);
    result = _mm_and_ps(result, sounding);  // idle voices give +0.0f

    // In voice order, in double precision.
    const __m128d low = _mm_cvtps_pd(result);
    const __m128d high = _mm_cvtps_pd(_mm_movehl_ps(result, result));
    double sum = 0.0 + _mm_cvtsd_f64(low);
    sum += _mm_cvtsd_f64(_mm_unpackhi_pd(low, low));
    sum += _mm_cvtsd_f64(high);
    sum += _mm_cvtsd_f64(_mm_unpackhi_pd(high, high));
    sums[n] = sum;
  }
  store();
}

template <int Mode>
void TVoiceBank::render(const VoiceFrame& frame, const float* ring, double* sums, int count) {
  renderSideBySide<Mode>(frame, ring, sums, count);
}

#else

template <int Mode>
void TVoiceBank::render(const VoiceFrame& frame, const float* ring, double* sums, int count) {
  VoiceFrame single = frame;
  for (int n = 0; n < count; ++n) {
    single.ring = ring[n];
    sums[n] = renderOneByOne<Mode>(single);
  }
}

#endif

template void TVoiceBank::render<0>(const VoiceFrame&, const float*, double*, int);
template void TVoiceBank::render<1>(const VoiceFrame&, const float*, double*, int);
template void TVoiceBank::render<2>(const VoiceFrame&, const float*, double*, int);
template float TVoiceBank::voiceSample<0>(int, const VoiceFrame&);
template float TVoiceBank::voiceSample<1>(int, const VoiceFrame&);
template float TVoiceBank::voiceSample<2>(int, const VoiceFrame&);

}  // namespace marrowglint
