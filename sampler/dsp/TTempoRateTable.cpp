#include "sampler/dsp/TTempoRateTable.h"

#include <algorithm>
#include <cmath>

namespace sarnel {

std::int32_t TTempoRateTable::rateIndex(float x) noexcept {
  if (!(x >= 0.0f)) return 0;
  const float scaled = std::min(x, 1.0f) * 30.1f;
  const auto index = static_cast<std::int32_t>(std::nearbyint(scaled));
  return std::min(index, kRateCount - 1);
}

}  // namespace sarnel
