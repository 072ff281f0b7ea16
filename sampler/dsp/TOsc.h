#pragma once
// A phase counter: counts steps through cycles of sampleRate / frequency
// steps. The LFOs build on it.

#include <cstdint>

#include "sampler/dsp/TRelaxed.h"

namespace sarnel {

class TOsc {
 public:
  static constexpr float kMinFrequency = 0.00001f;
  static constexpr float kMaxFrequency = 100.0f;

  // Steps per second; below 1 counts as 44100.
  explicit TOsc(std::int32_t sampleRate);
  TOsc(const TOsc&) = delete;
  TOsc& operator=(const TOsc&) = delete;

  // Returns to the start phase. Any thread.
  virtual void resetPhase() noexcept;
  virtual ~TOsc() = default;

  // Cycles per second, limited to 0.00001 ... 100 (NaN gives the minimum);
  // restarts the cycle at phase 0. Any thread: a change that meets a tick on
  // the audio thread may see that tick write its counter back; the next tick
  // then goes on from there at the new frequency when that lies inside the
  // new cycle, and restarts the cycle otherwise.
  void setFrequency(float f) noexcept;
  // Phase 0 ... 1 that resetPhase returns to (NaN gives 0); also moves there. Any thread.
  void setStartPhase(float x) noexcept;
  // Moves to phase x, limited to 0 ... 1 (NaN gives 0). Any thread.
  void setPhase(float x) noexcept;

  // Follows a host sample-rate change, keeping the point reached in the
  // cycle. GUI thread, while the host is not processing.
  void setSampleRate(std::int32_t rate) noexcept;

  // Any thread.
  float getFrequency() const noexcept { return frequency; }
  float getPhase() const noexcept { return phase; }
  float getStartPhase() const noexcept { return startPhase; }
  std::int32_t getSampleRate() const noexcept { return sampleRate; }

 protected:
  std::int32_t sampleRate;
  TRelaxed<float> counter{0.0f};  // steps elapsed in the current cycle
  TRelaxed<float> startPhase{0.0f};
  TRelaxed<float> phase{0.0f};
  TRelaxed<float> frequency{1.0f};
};

}  // namespace sarnel
