#include "synth/engine/TWaveTables.h"

#include <cmath>
#include <numbers>
#include <random>

namespace marrowglint {

TWaveTables::TWaveTables(std::uint32_t noiseSeed)
    : block(static_cast<std::size_t>(kNumArrays) * kValueLength, 0.0f) {
  float* sine = array(kSine);
  float* saw = array(kSaw);
  float* square = array(kSquare);
  float* triangle = array(kTriangle);
  float* noise = array(kNoise);
  // Noise draws 0..200 uniformly in index order; the generator is fixed by
  // the standard, so a seed gives the same table on every target.
  std::mt19937 generator(noiseSeed);
  for (int i = 0; i < kValueLength; ++i) {
    // The angle is rounded to single precision before the sine is taken.
    const float angle = static_cast<float>(i * std::numbers::pi / 8192.0);
    sine[i] = static_cast<float>(std::sin(static_cast<double>(angle)));
    saw[i] = static_cast<float>(i) / 8192.0f - 1.0f;
    square[i] = i < 8192 ? -1.0f : 1.0f;
    triangle[i] = i < 8192 ? static_cast<float>(i) / 4096.0f - 1.0f
                           : 1.0f - static_cast<float>(i - 8192) / 4096.0f;
    const auto k = static_cast<int>((static_cast<std::uint64_t>(generator()) * 201u) >> 32);
    noise[i] = static_cast<float>(k) / 100.0f - 1.0f;
  }

  for (int w = 0; w < kNumWaves; ++w) {
    const float* t = array(w);
    float* dw = array(kNumWaves + w);
    float* k3w = array(2 * kNumWaves + w);
    float* k2w = array(3 * kNumWaves + w);
    float* k1w = array(4 * kNumWaves + w);
    for (int k = 0; k < kCoefficientLength; ++k) {
      // Before entry 0 comes the last entry of the previous waveform's
      // values (the arrays are contiguous), and 0 before the sine.
      const float p = k > 0 ? t[k - 1] : (w > 0 ? array(w - 1)[kValueLength - 1] : 0.0f);
      const float a = t[k];
      const float b = t[k + 1];
      const float q = t[k + 2];
      dw[k] = b - a;
      k3w[k] = (3.0f * (a - b) - p + q) / 2.0f;
      k2w[k] = 2.0f * b + p - (5.0f * a + q) / 2.0f;
      k1w[k] = (b - p) / 2.0f;
    }
  }
}

}  // namespace marrowglint
