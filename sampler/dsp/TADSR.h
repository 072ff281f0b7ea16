#pragma once
// A linear attack-decay-sustain-release envelope, advanced once per output
// frame by a Sarnel voice.

#include <cstdint>

#include "sampler/dsp/TEnvelope.h"
#include "sampler/dsp/TRelaxed.h"

namespace sarnel {

class TADSR : public TEnvelope {
 public:
  // Values of `stage`.
  enum Stage : std::uint8_t {
    kStageAttack = 0,
    kStageDecay = 1,
    kStageSustain = 2,
    kStageRelease = 3,
    kStageFinished = 4,
  };

  // The default rate lets a voice array be declared before the host's rate is
  // known; setSampleRate adopts it.
  explicit TADSR(float sampleRate = 44100.0f);

  // Stage times in seconds; the sign is ignored. A time of 0 (or NaN) makes
  // the stage complete on its first sample. Any thread.
  void setAttack(float seconds) noexcept;
  void setDecay(float seconds) noexcept;
  void setRelease(float seconds) noexcept;
  // Sustain level, limited to 0 ... 1 (negative and NaN give 0). Any thread.
  void setSustain(float level) noexcept;

  // Follows a host sample-rate change: the stage times set last keep their
  // length in seconds, and a running attack continues at the new per-sample
  // step. GUI thread, while the host is not processing.
  void setSampleRate(float rate) noexcept;

  // Starts the attack from the current level (a retriggered voice rises from
  // where it is). Gating and stepping belong to the audio thread alone, so
  // that a stage change can never be lost between two threads; the engine
  // hands requests from other threads over to its render. Audio thread.
  void gateOn() noexcept;
  // Starts the release from the current level. Audio thread.
  void gateOff() noexcept;

  // Advances one sample and returns the new level. Audio thread.
  float nextValue() noexcept;
  // Audio thread.
  std::uint8_t stage() const noexcept { return envState; }

 private:
  static float rateForSeconds(float seconds, float sampleRate) noexcept;

  // Level change per sample of each stage; infinity completes the stage at
  // once. The controls are set from any thread while the render reads them.
  TRelaxed<float> attackRate{0.001f};
  TRelaxed<float> decayRate{0.001f};
  TRelaxed<float> sustainLevel{0.5f};
  TRelaxed<float> releaseRate{0.01f};
  std::uint8_t envState = kStageAttack;  // the render's own, as the level
  // The times the rates were made from, so that a new sample rate can remake
  // them. Initially the times the initial rates stand for.
  TRelaxed<float> attackTime;
  TRelaxed<float> decayTime;
  TRelaxed<float> releaseTime;
};

inline void TADSR::gateOn() noexcept {
  envTarget = 1.0f;
  envStep = attackRate;
  envState = kStageAttack;
}

inline void TADSR::gateOff() noexcept {
  envTarget = 0.0f;
  envStep = releaseRate;
  envState = kStageRelease;
}

// Each stage compares after its step, so the clamp and the stage change fall
// on the same sample.
inline float TADSR::nextValue() noexcept {
  const std::uint8_t state = envState;
  if (state == kStageSustain || state == kStageFinished) return envValue;  // held
  if (state == kStageAttack) {
    envValue += envStep;
    if (envValue >= envTarget) {
      envValue = envTarget;
      envStep = decayRate;
      envTarget = sustainLevel;
      envState = kStageDecay;
    }
  } else if (state == kStageDecay) {
    envValue -= decayRate;
    // Read on every decay sample: a sustain change during the decay counts.
    const float sustain = sustainLevel;
    if (envValue <= sustain) {
      envValue = sustain;
      envStep = 0.0f;
      envState = kStageSustain;
    }
  } else {  // release
    envValue -= releaseRate;
    if (envValue <= 0.0f) {
      envValue = 0.0f;
      envState = kStageFinished;
    }
  }
  return envValue;
}

}  // namespace sarnel
