#pragma once
// The two-stage resonant output filter with four output types.

#include <cmath>

namespace marrowglint {

class TResonantFilter {
 public:
  // One sample through the filter with resonance q, cutoff f and type t
  // (live values of "Reso", "Cut", "Filt"). Audio thread.
  float filterSample(float x, float q, float f, float t) {
    if (f > 0.99f) f = 0.99f;
    if (f < 0.001f) f = 0.001f;
    if (q > 0.98f) q = 0.98f;
    const float fb = q + q / (1.0f - f);
    s0 = s0 + f * (x - s0 + fb * (s0 - s1)) + 1e-24f;
    s1 = s1 + f * (s0 - s1) + 1e-24f;
    if (t < 0.05f) return s1;
    if (t < 0.15f) return x - s1;
    if (t < 0.25f) return s1 * s0 * 4.0f;
    return sine(sine(s0 + s1) * x + 1e-24f - (s0 - s1)) - s1;
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
  float s0 = 0.0f;
  float s1 = 0.0f;
};

}  // namespace marrowglint
