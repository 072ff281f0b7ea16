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

  // Clears the six filter states; the delayed samples stay. Any thread.
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

  TRelaxed<float> lpState1{0.0f};
  TRelaxed<float> lpState2{0.0f};
  TRelaxed<float> lpState4{0.0f};  // the filter's output
  TRelaxed<float> lpState3{0.0f};
  TRelaxed<float> hpState1{0.0f};
  TRelaxed<float> hpState2{0.0f};
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
  buffer[static_cast<std::size_t>(index)] = d * feedback * 0.9f + x + 1e-24f;
  const std::int32_t next = index + 1;
  position = next < length ? next : 0;

  const float low = filterLow;
  const float high = filterHigh;
  if (low > 0.0f || high < 1.0f) return filter(0.9f * filterReso, 0.99f * high, 0.99f * low, d);
  return d;  // neutral controls: the filter states keep their values
}

// Every intermediate is a float32, in this order.
inline float TDelayFilt::filter(float q, float f, float k, float d) noexcept {
  // High-pass: the input minus its two-pole low-pass at coefficient k.
  const float hp1 = hpState1 + (d - hpState1) * k;
  const float hp2 = hpState2 + (hp1 - hpState2) * k;
  hpState1 = hp1;
  hpState2 = hp2;
  const float y = d - hp2;

  // Two identical resonant two-pole sections; f <= 0.99 keeps 1 - f away
  // from 0, so g is at most 90.9.
  const float g = q + q / (1.0f - f);
  const float lp1 = lpState1;
  const float lp2 = lpState2;
  const float lp3 = lpState3;
  const float lp4 = lpState4;
  const float next1 = lp1 + f * ((y - lp1) + (lp1 - lp2) * g);
  const float next2 = lp2 + (next1 - lp2) * f;
  const float next3 = lp3 + f * ((next2 - lp3) + (lp3 - lp4) * g);
  const float next4 = lp4 + (next3 - lp4) * f;
  lpState1 = next1;
  lpState2 = next2;
  lpState3 = next3;
  lpState4 = next4;
  return next4;
}

}  // namespace sarnel
