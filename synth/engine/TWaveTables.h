#pragma once
// The five precomputed waveforms with their interpolation coefficients,
// built once and read-only afterwards (instances with the same noise seed
// share one set).
//
// Per waveform w the design has a value array T (16436 entries: one period
// of 16384 and 52 more) and four coefficient arrays D, K3, K2, K1 for the
// positions 0..16384. The values are kept as such (the LFO and plain reads
// use them); the coefficients are kept interleaved with the values of their
// entry, {T, K1, K2, K3} for four-point and {T, D} for linear reads, so one
// load fetches everything one interpolated read needs.

#include <cstdint>
#include <memory>
#include <vector>

#include "synth/engine/Nearest.h"

namespace marrowglint {

enum Wave : int { kSine = 0, kSaw = 1, kSquare = 2, kTriangle = 3, kNoise = 4 };

enum Interpolation : int { kInterpolationNone = 0, kInterpolationLinear = 1, kInterpolationFourPoint = 2 };

class TWaveTables {
 public:
  static constexpr int kPeriod = 16384;             // one waveform period in entries
  static constexpr int kValueLength = 16436;        // value arrays run 52 entries past the period
  static constexpr int kCoefficientLength = 16385;  // positions 0..16384
  static constexpr int kNumWaves = 5;

  // `noiseSeed` fixes the noise table: the same seed gives the same table.
  explicit TWaveTables(std::uint32_t noiseSeed);

  // The tables for a seed, built on first use and shared while any instance
  // holds them. GUI thread (construction of a plug-in).
  static std::shared_ptr<const TWaveTables> shared(std::uint32_t noiseSeed);

  // What a render loop needs of one waveform.
  struct View {
    const float* values;  // T, kValueLength entries
    const float* linear;  // {T, D} per position
    const float* cubic;   // {T, K1, K2, K3} per position
  };
  View view(int w) const;

  const float* values(int w) const { return valueBlock.data() + static_cast<std::size_t>(w) * kValueLength; }
  // The coefficients of position k (0..16384).
  float d(int w, int k) const { return linear(w)[2 * k + 1]; }
  float k1(int w, int k) const { return cubic(w)[4 * k + 1]; }
  float k2(int w, int k) const { return cubic(w)[4 * k + 2]; }
  float k3(int w, int k) const { return cubic(w)[4 * k + 3]; }

  // Reads waveform w at table position 0 ≤ position ≤ 16384 with the
  // interpolation mode (anything but 1 and 2 reads the plain value).
  // Any thread.
  float read(int w, float position, int mode) const;

 private:
  const float* linear(int w) const {
    return linearBlock.data() + static_cast<std::size_t>(w) * 2 * kCoefficientLength;
  }
  const float* cubic(int w) const {
    return cubicBlock.data() + static_cast<std::size_t>(w) * 4 * kCoefficientLength;
  }

  std::vector<float> valueBlock;   // T of waveforms 0..4, one after the other
  std::vector<float> linearBlock;  // {T, D} of waveforms 0..4
  std::vector<float> cubicBlock;   // {T, K1, K2, K3} of waveforms 0..4
};

// Reads a view at entry j with offset f (−0.5..0.5) in interpolation mode
// Mode; any mode but 1 and 2 reads the plain value. Audio thread.
template <int Mode>
inline float readEntry(const TWaveTables::View& view, int j, float f) {
  if constexpr (Mode == kInterpolationFourPoint) {
    const float* c = view.cubic + 4 * j;
    return c[0] + f * (c[1] + f * (c[2] + f * c[3]));
  } else if constexpr (Mode == kInterpolationLinear) {
    const float* c = view.linear + 2 * j;
    return c[0] + f * c[1];
  } else {
    (void)f;
    return view.values[j];
  }
}

// Reads a view at table position 0..16384: j = nearest(position),
// f = position − j.
template <int Mode>
inline float readPosition(const TWaveTables::View& view, float position) {
  const int j = nearestSmall(position);
  return readEntry<Mode>(view, j, position - static_cast<float>(j));
}

}  // namespace marrowglint
