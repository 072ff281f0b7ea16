#include "sampler/dsp/TOsc.h"

#include "sampler/dsp/InputLimits.h"

namespace sarnel {

namespace {

std::int32_t usableStepRate(std::int32_t rate) {
  return static_cast<std::int32_t>(usableSampleRate(static_cast<double>(rate)));
}

}  // namespace

TOsc::TOsc(std::int32_t rate) : sampleRate(usableStepRate(rate)) {
  setFrequency(1.0f);
  setPhase(0.0f);
  setStartPhase(0.0f);
  resetPhase();
}

void TOsc::resetPhase() noexcept { setPhase(startPhase); }

void TOsc::setFrequency(float f) noexcept {
  if (f > kMaxFrequency) f = kMaxFrequency;
  if (!(f >= kMinFrequency)) f = kMinFrequency;
  frequency = f;
  phase = 0.0f;
  counter = 0.0f;
}

void TOsc::setStartPhase(float x) noexcept {
  x = clampUnit(x);
  startPhase = x;
  setPhase(x);
}

void TOsc::setPhase(float x) noexcept {
  x = clampUnit(x);
  phase = x;
  counter = static_cast<float>(sampleRate) * x / frequency;
}

void TOsc::setSampleRate(std::int32_t rate) noexcept {
  const float period = static_cast<float>(sampleRate) / frequency;
  const float reached = counter / period;
  sampleRate = usableStepRate(rate);
  setPhase(reached);
}

}  // namespace sarnel
