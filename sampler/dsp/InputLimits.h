#pragma once
// The ranges the building blocks accept. Controls arrive as parameter values
// 0 ... 1 and sample rates from the host; anything outside (NaN, infinities,
// a host that reports 0 Hz) is brought into range here so that no block can
// divide by zero, loop forever, allocate absurdly or index outside a buffer.
// Values inside the ranges pass unchanged, bit for bit.

#include <limits>

namespace sarnel {

// The rate assumed when a host reports none that can be used.
inline constexpr double kDefaultSampleRate = 44100.0;
// Eight times 192 kHz; a one-second delay line at this rate is 6 MB.
inline constexpr double kMaxSampleRate = 1536000.0;

// A rate that is not finite or below 1 Hz becomes 44100 Hz; rates above the
// maximum are limited to it.
constexpr double usableSampleRate(double rate) noexcept {
  if (!(rate >= 1.0) || rate == std::numeric_limits<double>::infinity()) return kDefaultSampleRate;
  return rate > kMaxSampleRate ? kMaxSampleRate : rate;
}

// Limits a control value to 0 ... 1; NaN gives 0.
constexpr float clampUnit(float x) noexcept {
  if (x > 1.0f) return 1.0f;
  return x >= 0.0f ? x : 0.0f;
}

}  // namespace sarnel
