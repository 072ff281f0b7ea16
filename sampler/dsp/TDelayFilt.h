#pragma once
// The last stage of each Sarnel output channel: a recirculating delay line
// whose output is the delayed signal only, followed by an optional two-pole
// high-pass and a four-pole resonant low-pass.

#include <cmath>
#include <cstdint>
#include <vector>

#include "sampler/dsp/TRelaxed.h"

namespace sarnel {

class TDelayFilt {
 public:
  // Allocates one second of delay line at the rate (rounded to whole
  // samples). A rate that is not finite or below 1 Hz counts as 44100 Hz.
  explicit TDelayFilt(double sampleRate);
  TDelayFilt(const TDelayFilt&) = delete;
  TDelayFilt& operator=(const TDelayFilt&) = delete;

  // Follows a host sample-rate change: the line is reallocated for one
  // second at the new rate and cleared, the delay keeps its control value,
  // the filter states are cleared. Allocates: GUI thread, while the host is
  // not processing.
  void setSampleRate(double rate);

  // Controls 0 ... 1; values outside are limited, NaN gives 0. Any thread.
  // The delay restarts the read/write index at 0 and keeps the buffer, so old
  // material at other indices may be heard again.
  void setDelayTime(float v) noexcept;
  void setFeedback(float v) noexcept;
  void setFilterLow(float v) noexcept;
  void setFilterHigh(float v) noexcept;
  void setFilterReso(float v) noexcept;

  // Clears the six filter states; the delayed samples stay. The states are
  // the render's own, so this belongs to the audio thread (requests from
  // other threads go through the engine's hand-over). Audio thread.
  void resetFilter() noexcept;

  // One sample in, one out. A non-finite input counts as silence so that it
  // cannot circulate in the line forever. Audio thread.
  float processSample(float x) noexcept;

  // Delay length in samples, 1 ... one second. Any thread.
  std::int32_t delayLength() const noexcept { return length; }
  // Hz, as used (see the constructor). Any thread.
  double getSampleRate() const noexcept { return sampleRate; }

 private:
  float filter(float q, float f, float k, float d) noexcept;

  // Filter states, the render's own.
  float lpState1 = 0.0f;
  float lpState2 = 0.0f;
  float lpState4 = 0.0f;  // the filter's output
  float lpState3 = 0.0f;
  float hpState1 = 0.0f;
  float hpState2 = 0.0f;
  double sampleRate;
  // position stays below the buffer size, also while a delay change from
  // another thread meets the render's own update (see setDelayTime).
  TRelaxed<std::int32_t> position{0};
  TRelaxed<std::int32_t> length{1};
  std::vector<float> buffer;
  TRelaxed<float> feedback{0.0f};
  TRelaxed<float> filterLow{0.0f};
  TRelaxed<float> filterHigh{1.0f};
  TRelaxed<float> filterReso{0.0f};
  TRelaxed<float> delayTime{0.0f};  // the control value, kept for a rate change
};

inline float TDelayFilt::processSample(float x) noexcept {
  if (!std::isfinite(x)) x = 0.0f;
  const std::int32_t index = position;
  const float d = buffer[static_cast<std::size_t>(index)];
  // The tiny constant keeps recirculating values away from denormal numbers.
  // Extreme (finite) input can overflow the sum: an infinity kept in the line
  // would turn into NaN at feedback 0 (inf x 0) and silence it for good.
  const float stored = d * feedback * 0.9f + x + 1e-24f;
  buffer[static_cast<std::size_t>(index)] = std::isfinite(stored) ? stored : 0.0f;
  const std::int32_t next = index + 1;
  position = next < length ? next : 0;

  const float low = filterLow;
  const float high = filterHigh;
  if (low > 0.0f || high < 1.0f) {
    const float y = filter(0.9f * filterReso, 0.99f * high, 0.99f * low, d);
    if (std::isfinite(y)) return y;
    // Overflowed states would stay NaN: the filter starts again from rest.
    resetFilter();
    return 0.0f;
  }
  return d;  // neutral controls: the filter states keep their values
}

// Every intermediate is a float32, in this order.
inline float TDelayFilt::filter(float q, float f, float k, float d) noexcept {
  // High-pass: the input minus its two-pole low-pass at coefficient k.
  hpState1 = hpState1 + (d - hpState1) * k;
  hpState2 = hpState2 + (hpState1 - hpState2) * k;
  const float y = d - hpState2;

  // Two identical resonant two-pole sections; f <= 0.99 keeps 1 - f away
  // from 0, so g is at most 90.9.
  const float g = q + q / (1.0f - f);
  lpState1 = lpState1 + f * ((y - lpState1) + (lpState1 - lpState2) * g);
  lpState2 = lpState2 + (lpState1 - lpState2) * f;
  lpState3 = lpState3 + f * ((lpState2 - lpState3) + (lpState3 - lpState4) * g);
  lpState4 = lpState4 + (lpState3 - lpState4) * f;
  return lpState4;
}

}  // namespace sarnel
