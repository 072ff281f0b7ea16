#pragma once
// The five precomputed waveforms with their interpolation coefficients,
// built once per plug-in instance and read-only afterwards.

#include <cstdint>
#include <vector>

#include "synth/engine/Nearest.h"

namespace marrowglint {

enum Wave : int { kSine = 0, kSaw = 1, kSquare = 2, kTriangle = 3, kNoise = 4 };

enum Interpolation : int { kInterpolationNone = 0, kInterpolationLinear = 1, kInterpolationFourPoint = 2 };

class TWaveTables {
 public:
  static constexpr int kPeriod = 16384;          // one waveform period in entries
  static constexpr int kValueLength = 16436;     // value arrays run 52 entries past the period
  static constexpr int kCoefficientLength = 16385;  // positions 0..16384
  static constexpr int kNumWaves = 5;
  static constexpr int kNumArrays = 25;

  // `noiseSeed` fixes the noise table: the same seed gives the same table.
  explicit TWaveTables(std::uint32_t noiseSeed);

  // The arrays of waveform w: values T, then the coefficients D, K3, K2, K1.
  const float* values(int w) const { return array(w); }
  const float* d(int w) const { return array(kNumWaves + w); }
  const float* k3(int w) const { return array(2 * kNumWaves + w); }
  const float* k2(int w) const { return array(3 * kNumWaves + w); }
  const float* k1(int w) const { return array(4 * kNumWaves + w); }

  // Reads waveform w at table position 0 ≤ position ≤ 16384 with the
  // interpolation mode (anything but 1 and 2 reads the plain value).
  // Audio thread.
  float read(int w, float position, int mode) const {
    const int j = nearestSmall(position);
    const float f = position - static_cast<float>(j);
    if (mode == kInterpolationFourPoint) return readFourPoint(w, j, f);
    if (mode == kInterpolationLinear) return readLinear(w, j, f);
    return values(w)[j];
  }
  float readFourPoint(int w, int j, float f) const {
    return values(w)[j] + f * (k1(w)[j] + f * (k2(w)[j] + f * k3(w)[j]));
  }
  float readLinear(int w, int j, float f) const { return values(w)[j] + f * d(w)[j]; }

 private:
  const float* array(int n) const { return block.data() + static_cast<std::size_t>(n) * kValueLength; }
  float* array(int n) { return block.data() + static_cast<std::size_t>(n) * kValueLength; }

  // One contiguous block of 25 arrays of kValueLength entries: the five
  // value arrays first, then D, K3, K2 and K1 of each waveform.
  std::vector<float> block;
};

}  // namespace marrowglint
