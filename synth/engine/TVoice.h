#pragma once
// One voice's fields as a plain record: what the editor and tests inspect.
// The engine keeps them in a TVoiceBank.

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
  float step = 0.0f;       // 1 / (rate × 44000 + 100)
  float gain = 0.0f;       // velocity gain
  float phase1 = 0.0f;     // table positions, 0..16384
  float phase2 = 0.0f;
  float increment1 = 0.0f; // table steps per sample
  float increment2 = 0.0f;
};

}  // namespace marrowglint
