#include "sampler/dsp/TDelayFilt.h"

#include <cmath>

#include "sampler/dsp/InputLimits.h"

namespace sarnel {

namespace {

std::size_t oneSecond(double sampleRate) {
  return static_cast<std::size_t>(std::nearbyint(sampleRate));
}

}  // namespace

TDelayFilt::TDelayFilt(double rate)
    : sampleRate(usableSampleRate(rate)), buffer(oneSecond(sampleRate), 0.0f) {
  setFeedback(0.0f);
  setDelayTime(0.0f);
  setFilterLow(0.0f);
  setFilterHigh(1.0f);
  setFilterReso(0.0f);
  resetFilter();
}

void TDelayFilt::setSampleRate(double rate) {
  sampleRate = usableSampleRate(rate);
  buffer.assign(oneSecond(sampleRate), 0.0f);
  setDelayTime(delayTime);
  resetFilter();
}

void TDelayFilt::setDelayTime(float v) noexcept {
  v = clampUnit(v);
  delayTime = v;
  std::int32_t samples = static_cast<std::int32_t>(std::nearbyint(v * sampleRate)) + 1;
  if (samples > sampleRate) samples = static_cast<std::int32_t>(buffer.size());
  // Every position ever stored is 0 or below some length, and no length
  // exceeds the buffer, so a render running meanwhile stays inside the line
  // whichever store it sees first.
  position = 0;
  length = samples;
}

void TDelayFilt::setFeedback(float v) noexcept { feedback = clampUnit(v); }
void TDelayFilt::setFilterLow(float v) noexcept { filterLow = clampUnit(v); }
void TDelayFilt::setFilterHigh(float v) noexcept { filterHigh = clampUnit(v); }
void TDelayFilt::setFilterReso(float v) noexcept { filterReso = clampUnit(v); }

void TDelayFilt::resetFilter() noexcept {
  lpState1 = 0.0f;
  lpState2 = 0.0f;
  lpState4 = 0.0f;
  lpState3 = 0.0f;
  hpState1 = 0.0f;
  hpState2 = 0.0f;
}

}  // namespace sarnel
