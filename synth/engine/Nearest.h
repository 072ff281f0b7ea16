#pragma once
// nearest(x): rounding to the nearest integer, ties to even.

#include <cmath>

namespace marrowglint {

inline int nearest(float x) { return static_cast<int>(std::nearbyint(x)); }

// The same rounding for |x| < 2^22 without a library call, for the table
// reads of the render loop. Adding 1.5 × 2^23 moves x to where the float
// spacing is exactly 1, so the addition itself rounds to the nearest integer
// with ties to even (the default rounding mode, the one nearbyint uses too);
// subtracting it again is exact.
inline int nearestSmall(float x) {
  constexpr float kShift = 12582912.0f;  // 1.5 × 2^23
  return static_cast<int>((x + kShift) - kShift);
}

}  // namespace marrowglint
