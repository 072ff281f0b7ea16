#pragma once
// A test instrument whose output shows exactly when each note sounded: while
// a note is held, the left channel carries velocity ÷ 127 × gain from the
// very frame its event names (deltaFrames honoured), the right channel half
// of that. Four programs, each with its own name and values.

#include "framework/AEffect.h"

namespace gate_probe {

constexpr vst::VstInt32 kUniqueId = vst::fourCharCode('G', 't', 'P', 'r');
constexpr int kNumPrograms = 4;
constexpr int kNumParams = 4;
constexpr int kGain = 0;    // "gain": output scale (default 1)
constexpr int kColour = 1;  // "colour": stored only, to tell programs apart
constexpr int kSpare = 2;   // 2 and 3: "don't touch!" both, to test ambiguous names
constexpr int kMaxPendingEvents = 256;

}  // namespace gate_probe
