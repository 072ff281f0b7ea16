#pragma once
// The two-stage resonant output filter with four output types.

#include <cmath>

namespace marrowglint {

class TResonantFilter {
 public:
  // What the live values make of the filter; fixed while they stay.
  struct Setting {
    float f;   // cutoff, limited to 0.001..0.99
    float fb;  // feedback from the resonance, limited to 0.98
    int type;  // 0 LP, 1 HP, 2 S1, 3 S2
  };

  // The setting for resonance q, cutoff f and type t (live values of
  // "Reso", "Cut", "Filt"). Any thread.
  static Setting setting(float q, float f, float t) {
    if (f > 0.99f) f = 0.99f;
    if (f < 0.001f) f = 0.001f;
    if (q > 0.98f) q = 0.98f;
    const int type = t < 0.05f ? 0 : t < 0.15f ? 1 : t < 0.25f ? 2 : 3;
    return {f, q + q / (1.0f - f), type};
  }

  // One sample through the filter. Audio thread.
  float filterSample(float x, const Setting& setting) {
    step(x, setting);
    switch (setting.type) {
      case 0: return s1;
      case 1: return x - s1;
      case 2: return s1 * s0 * 4.0f;
      default: return sine(sine(s0 + s1) * x + 1e-24f - (s0 - s1)) - s1;
    }
  }

  float filterSample(float x, float q, float f, float t) { return filterSample(x, setting(q, f, t)); }

  // filterSample for `count` samples of x into y, the state kept in
  // registers. Audio thread.
  void filterChunk(const float* x, float* y, int count, const Setting& setting) {
    TResonantFilter local = *this;
    switch (setting.type) {
      case 0: for (int n = 0; n < count; ++n) y[n] = local.step(x[n], setting).s1; break;
      case 1: for (int n = 0; n < count; ++n) y[n] = x[n] - local.step(x[n], setting).s1; break;
      case 2:
        for (int n = 0; n < count; ++n) {
          local.step(x[n], setting);
          y[n] = local.s1 * local.s0 * 4.0f;
        }
        break;
      default:
        for (int n = 0; n < count; ++n) y[n] = local.filterSample(x[n], setting);
        break;
    }
    *this = local;
  }

  // The sine of a float, rounded from the double result. The C libraries'
  // single-precision sines differ in the last bit between targets; their
  // double sines rounded to float agree, so every target renders alike.
  static float sine(float x) { return static_cast<float>(std::sin(static_cast<double>(x))); }

  // Back to rest, for a state that overflowed. Audio thread.
  void reset() {
    s0 = 0.0f;
    s1 = 0.0f;
  }

  float stage0() const { return s0; }
  float stage1() const { return s1; }

 private:
  // The two stages' update; the constant keeps them away from denormals.
  TResonantFilter& step(float x, const Setting& setting) {
    const float f = setting.f;
    s0 = s0 + f * (x - s0 + setting.fb * (s0 - s1)) + 1e-24f;
    s1 = s1 + f * (s0 - s1) + 1e-24f;
    return *this;
  }

  float s0 = 0.0f;
  float s1 = 0.0f;
};

}  // namespace marrowglint
