#include "sampler/dsp/TRandom.h"

#include <chrono>

namespace sarnel {

void TRandom::seedFromClock() noexcept {
  const auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
  // Fold the high half in so that a clock with coarse low bits still varies.
  const auto wide = static_cast<std::uint64_t>(ticks);
  seed(static_cast<std::uint32_t>(wide ^ (wide >> 32)));
}

}  // namespace sarnel
