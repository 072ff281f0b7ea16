#include "sampler/dsp/TWavetableOsc.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sarnel {

namespace {

// d in -1 ... 1 at index g of a table of n values. The comparisons use the
// real numbers n / 2, n / 4 and 3n / 4.
double waveAt(std::int32_t wave, std::int32_t index, std::int32_t length) {
  const double g = index;
  const double n = length;
  switch (wave) {
    case TWavetableOsc::kWaveSine:
      return std::sin(g * (2.0 * std::numbers::pi) / n);
    case TWavetableOsc::kWaveSaw1:
      return g < n / 2.0 ? -2.0 * g / n : 2.0 - 2.0 * g / n;
    case TWavetableOsc::kWaveSaw2:
      return g < n / 2.0 ? 2.0 * g / n : 2.0 * g / n - 2.0;
    case TWavetableOsc::kWaveSquare:
      return g < n / 2.0 ? 1.0 : -1.0;
    case TWavetableOsc::kWaveTriangle:
      if (g < n / 4.0) return (g / n + 0.25) * 4.0 - 1.0;
      if (g < 3.0 * n / 4.0) return (g / n + 0.25) * -4.0 + 3.0;
      return (g / n + 0.25) * 4.0 - 5.0;
    default:
      return 2.0 * static_cast<double>(TRandom::next()) - 1.0;
  }
}

}  // namespace

TWavetableOsc::TWavetableOsc(std::int32_t rate, std::int32_t length, std::int32_t count)
    : TOsc(rate),
      tableCount(std::clamp(count, 1, kMaxTables)),
      tables(static_cast<std::size_t>(tableCount) * static_cast<std::size_t>(std::max(length, 1)),
             0.0f),
      tableLength(std::max(length, 1)) {
  waveIndex = 0;
  counter = 0.0f;
}

void TWavetableOsc::selectWave(std::int32_t w) noexcept {
  // Every table in 0 ... tableCount - 1 exists.
  waveIndex = std::clamp(w, 0, tableCount - 1);
}

void TWavetableOsc::fillTable(std::int32_t t, std::int32_t w) {
  if (t < 0 || t > tableCount - 1) return;
  float* values = tables.data() + static_cast<std::size_t>(t) * static_cast<std::size_t>(tableLength);
  for (std::int32_t g = 0; g < tableLength; ++g)
    values[g] = static_cast<float>((waveAt(w, g, tableLength) + 1.0) * 0.5);
}

std::span<const float> TWavetableOsc::table(std::int32_t t) const noexcept {
  if (t < 0 || t >= tableCount) return {};
  return {tables.data() + static_cast<std::size_t>(t) * static_cast<std::size_t>(tableLength),
          static_cast<std::size_t>(tableLength)};
}

}  // namespace sarnel
