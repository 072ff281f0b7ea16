#pragma once
// The musical LFO rates, in cycles per beat, that a rate value selects when
// an LFO follows the host tempo. The editor shows the same names.

#include <array>
#include <cstdint>
#include <string_view>

namespace sarnel {

class TTempoRateTable {
 public:
  static constexpr std::int32_t kRateCount = 31;

  // Each value is the float32 nearest to the fraction its name shows (a
  // float32 division of exact operands is correctly rounded).
  static constexpr std::array<float, kRateCount> rateValues{
      1.0f / 64.0f, 1.0f / 48.0f, 1.0f / 32.0f, 1.0f / 24.0f, 1.0f / 12.0f, 1.0f / 8.0f,
      1.0f / 7.0f,  1.0f / 6.0f,  1.0f / 5.0f,  1.0f / 4.0f,  1.0f / 3.0f,  1.0f / 2.0f,
      2.0f / 3.0f,  3.0f / 4.0f,  1.0f,         4.0f / 3.0f,  3.0f / 2.0f,  2.0f,
      3.0f,         4.0f,         5.0f,         6.0f,         7.0f,         8.0f,
      12.0f,        16.0f,        24.0f,        32.0f,        48.0f,        64.0f,
      96.0f};
  static constexpr std::array<std::string_view, kRateCount> rateNames{
      "1/64", "1/48", "1/32", "1/24", "1/12", "1/8", "1/7", "1/6", "1/5", "1/4", "1/3",
      "1/2",  "2/3",  "3/4",  "1",    "4/3",  "3/2", "2",   "3",   "4",   "5",   "6",
      "7",    "8",    "12",   "16",   "24",   "32",  "48",  "64",  "96"};

  // 0 for x < 0 or NaN; otherwise round(min(x, 1) x 30.1) with ties to even,
  // computed in float32 like every rate value, so 0 ... 30. Any thread.
  static std::int32_t rateIndex(float x) noexcept;
  // Cycles per beat for rate value x. Any thread.
  static float rateValue(float x) noexcept { return rateValues[static_cast<std::size_t>(rateIndex(x))]; }
  // The name for rate value x ("1/4"); the text is 0-terminated. Any thread.
  static std::string_view rateName(float x) noexcept {
    return rateNames[static_cast<std::size_t>(rateIndex(x))];
  }
};

}  // namespace sarnel
