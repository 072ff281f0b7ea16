#pragma once
// Sarnel's demo sample, synthesised: a plucked string (a delay line with an
// averaging loop filter) at middle C with a touch of bell-like shimmer.

#include <vector>

namespace render {

constexpr int kPluckRootNote = 60;        // MIDI note of the recorded pitch
constexpr double kPluckFrequency = 261.6255653005986;  // that note at A = 440 Hz

// Mono samples, −1 … 1, `seconds` long at `sampleRate`. Deterministic.
std::vector<float> synthesisePluck(int sampleRate, double seconds);

}  // namespace render
