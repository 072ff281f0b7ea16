#include "synth/engine/TWaveTables.h"

#include <cmath>
#include <map>
#include <mutex>
#include <numbers>
#include <random>

namespace marrowglint {

TWaveTables::TWaveTables(std::uint32_t noiseSeed)
    : valueBlock(static_cast<std::size_t>(kNumWaves) * kValueLength, 0.0f),
      linearBlock(static_cast<std::size_t>(kNumWaves) * 2 * kCoefficientLength, 0.0f),
      cubicBlock(static_cast<std::size_t>(kNumWaves) * 4 * kCoefficientLength, 0.0f) {
  const auto valuesOf = [this](int w) { return valueBlock.data() + static_cast<std::size_t>(w) * kValueLength; };
  float* sine = valuesOf(kSine);
  float* saw = valuesOf(kSaw);
  float* square = valuesOf(kSquare);
  float* triangle = valuesOf(kTriangle);
  float* noise = valuesOf(kNoise);
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
    const float* t = valuesOf(w);
    float* lin = linearBlock.data() + static_cast<std::size_t>(w) * 2 * kCoefficientLength;
    float* cub = cubicBlock.data() + static_cast<std::size_t>(w) * 4 * kCoefficientLength;
    for (int k = 0; k < kCoefficientLength; ++k) {
      // Before entry 0 comes the last value of the previous waveform (the
      // design keeps the value arrays one after the other), 0 before the sine.
      const float p = k > 0 ? t[k - 1] : (w > 0 ? valuesOf(w - 1)[kValueLength - 1] : 0.0f);
      const float a = t[k];
      const float b = t[k + 1];
      const float q = t[k + 2];
      lin[2 * k] = a;
      lin[2 * k + 1] = b - a;                                  // D
      cub[4 * k] = a;
      cub[4 * k + 1] = (b - p) / 2.0f;                         // K1
      cub[4 * k + 2] = 2.0f * b + p - (5.0f * a + q) / 2.0f;   // K2
      cub[4 * k + 3] = (3.0f * (a - b) - p + q) / 2.0f;        // K3
    }
  }
}

std::shared_ptr<const TWaveTables> TWaveTables::shared(std::uint32_t noiseSeed) {
  static std::mutex mutex;
  static std::map<std::uint32_t, std::weak_ptr<const TWaveTables>> built;
  const std::lock_guard lock(mutex);
  std::weak_ptr<const TWaveTables>& slot = built[noiseSeed];
  std::shared_ptr<const TWaveTables> tables = slot.lock();
  if (!tables) {
    tables = std::make_shared<const TWaveTables>(noiseSeed);
    slot = tables;
  }
  return tables;
}

TWaveTables::View TWaveTables::view(int w) const { return {values(w), linear(w), cubic(w)}; }

float TWaveTables::read(int w, float position, int mode) const {
  const View v = view(w);
  if (mode == kInterpolationFourPoint) return readPosition<kInterpolationFourPoint>(v, position);
  if (mode == kInterpolationLinear) return readPosition<kInterpolationLinear>(v, position);
  return readPosition<kInterpolationNone>(v, position);
}

}  // namespace marrowglint
