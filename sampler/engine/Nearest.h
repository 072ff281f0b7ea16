#pragma once
// nearest(x): rounding to the nearest integer with ties to even, the one
// rounding every engine formula uses.

#include <cmath>
#include <cstdint>

namespace sarnel {

// x is expected in a small range (parameter value times a count); values
// outside int32 (and NaN) are limited so the conversion stays defined.
inline std::int32_t nearest(float x) noexcept {
  const float r = std::nearbyint(x);
  if (!(r > -2147483648.0f)) return INT32_MIN;
  if (r >= 2147483648.0f) return INT32_MAX;
  return static_cast<std::int32_t>(r);
}

inline std::int64_t nearest64(double x) noexcept {
  const double r = std::nearbyint(x);
  if (!(r > -9.2e18)) return INT64_MIN;
  if (r >= 9.2e18) return INT64_MAX;
  return static_cast<std::int64_t>(r);
}

}  // namespace sarnel
