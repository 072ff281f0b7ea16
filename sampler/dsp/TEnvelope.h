#pragma once
// The state every envelope shares: where the level is, where the current
// stage heads and how fast, and the sample rate its times are measured in.

#include "sampler/dsp/InputLimits.h"

namespace sarnel {

class TEnvelope {
 public:
  // A rate that is not finite or below 1 Hz counts as 44100 Hz.
  explicit TEnvelope(float sampleRate)
      : sampleRate(static_cast<float>(usableSampleRate(sampleRate))) {}

  // The level the last step produced, 0 ... 1. Audio thread.
  float level() const noexcept { return envValue; }
  // Hz. Any thread.
  float getSampleRate() const noexcept { return sampleRate; }

 protected:
  // The render's own: only the audio thread steps and gates an envelope.
  float envValue = 0.0f;
  float envTarget = 0.0f;
  float envStep = 0.001f;
  float sampleRate;
};

}  // namespace sarnel
