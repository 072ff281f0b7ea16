#include "sampler/dsp/TADSR.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace sarnel {

TADSR::TADSR(float sampleRate)
    : TEnvelope(sampleRate),
      attackTime(1.0f / (0.001f * this->sampleRate)),
      decayTime(1.0f / (0.001f * this->sampleRate)),
      releaseTime(1.0f / (0.01f * this->sampleRate)) {}

// 1 / (|s| x rate). A stage shorter than the smallest normal float in samples
// gets an infinite rate: it ends on its first sample exactly as the huge
// finite rate would, and the division neither divides by zero nor overflows
// (a host may run us with floating-point exceptions unmasked).
float TADSR::rateForSeconds(float seconds, float sampleRate) noexcept {
  const float samples = std::fabs(seconds) * sampleRate;
  return samples >= FLT_MIN ? 1.0f / samples : std::numeric_limits<float>::infinity();
}

void TADSR::setAttack(float seconds) noexcept {
  attackTime = seconds;
  attackRate = rateForSeconds(seconds, sampleRate);
}

void TADSR::setDecay(float seconds) noexcept {
  decayTime = seconds;
  decayRate = rateForSeconds(seconds, sampleRate);
}

void TADSR::setRelease(float seconds) noexcept {
  releaseTime = seconds;
  releaseRate = rateForSeconds(seconds, sampleRate);
}

void TADSR::setSustain(float level) noexcept {
  // Above 1 the decay would jump the level up past the attack's peak.
  sustainLevel = clampUnit(level);
}

void TADSR::setSampleRate(float rate) noexcept {
  sampleRate = static_cast<float>(usableSampleRate(rate));
  setAttack(attackTime);
  setDecay(decayTime);
  setRelease(releaseTime);
  // Decay and release read their rate fields directly; only the attack runs
  // on a copy.
  if (envState == kStageAttack) envStep = attackRate;
}

}  // namespace sarnel
