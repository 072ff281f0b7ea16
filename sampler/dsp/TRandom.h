#pragma once
// The process-wide random generator of the LFO noise source and the noise
// wave table. The runtime's own generator may take a lock, which the audio
// thread must not; this one is a 32-bit linear congruential generator kept in
// one lock-free word. Two threads drawing at the same moment may both get the
// same number, which for noise is harmless.

#include <atomic>
#include <cstdint>

namespace sarnel {

class TRandom {
 public:
  // Any thread.
  static void seed(std::uint32_t value) noexcept { state.store(value, std::memory_order_relaxed); }
  // Seeds from the clock, as the engine does once at construction. Any thread.
  static void seedFromClock() noexcept;

  // A uniform number 0 <= r < 1 with 24 random bits, exact in float32. Any thread.
  static float next() noexcept {
    const std::uint32_t advanced =
        state.load(std::memory_order_relaxed) * kMultiplier + kIncrement;
    state.store(advanced, std::memory_order_relaxed);
    // The high bits of a power-of-two LCG are its best ones.
    return static_cast<float>(advanced >> 8) * 0x1p-24f;
  }

 private:
  static constexpr std::uint32_t kMultiplier = 1664525u;
  static constexpr std::uint32_t kIncrement = 1013904223u;
  static inline std::atomic<std::uint32_t> state{1u};
};

}  // namespace sarnel
