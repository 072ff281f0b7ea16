#pragma once
// One voice: two table oscillators and an amplitude envelope. Written and
// read only on the audio thread (note events and rendering).

#include <cstdint>

namespace marrowglint {

enum EnvelopeState : std::uint8_t {
  kEnvelopeIdle = 0,
  kEnvelopeAttack = 1,
  kEnvelopeDecay = 2,
  kEnvelopeSustain = 3,
  kEnvelopeRelease = 4,
};

struct TVoice {
  std::uint8_t note = 0;   // shifted note number; 0 = free
  std::uint8_t state = kEnvelopeIdle;
  float level = 0.0f;      // envelope level, 0..1 (just below 0 once a release ends)
  float rate = 0.0f;       // 1 − the parameter of the current stage
  float step = 0.0f;       // 1 / (rate × 44000 + 100), kept with rate
  float gain = 0.0f;       // velocity gain
  float phase1 = 0.0f;     // table positions, 0..16384
  float phase2 = 0.0f;
  float increment1 = 0.0f; // table steps per sample
  float increment2 = 0.0f;

  // The level change per sample of a stage depends only on its rate; it is
  // computed once when the rate changes instead of on every sample.
  void setRate(float newRate) {
    rate = newRate;
    step = 1.0f / (newRate * 44000.0f + 100.0f);
  }
};

}  // namespace marrowglint
