#include "render/PluckSample.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace render {

std::vector<float> synthesisePluck(int sampleRate, double seconds) {
  const auto frames = static_cast<std::size_t>(std::max(1.0, std::floor(seconds * sampleRate)));
  // The loop's delay sets the pitch: the averaging filter adds half a sample.
  const double period = sampleRate / kPluckFrequency - 0.5;
  const auto length = static_cast<std::size_t>(period);
  // A first-order all-pass tunes the fractional rest of the period.
  const double fraction = period - static_cast<double>(length);
  const double allpass = (1.0 - fraction) / (1.0 + fraction);
  std::vector<double> line(length);
  // The excitation: a fixed pseudo-random burst, brightened by a pick position.
  std::uint32_t seed = 0x1234567u;
  for (std::size_t i = 0; i < length; ++i) {
    seed = seed * 1664525u + 1013904223u;
    line[i] = static_cast<double>(seed >> 8) / 8388608.0 - 1.0;
  }
  for (std::size_t i = length - 1; i > 0; --i) line[i] -= 0.5 * line[i - 1];
  std::vector<float> out(frames);
  std::size_t index = 0;
  double previous = 0.0;
  double allpassState = 0.0;
  double peak = 0.0;
  std::vector<double> raw(frames);
  for (std::size_t n = 0; n < frames; ++n) {
    const double current = line[index];
    // Loss of 0.4 % per pass: a sustain of a few seconds.
    const double averaged = 0.996 * 0.5 * (current + previous);
    previous = current;
    const double tuned = allpass * averaged + allpassState;
    allpassState = averaged - allpass * tuned;
    line[index] = tuned;
    index = index + 1 == length ? 0 : index + 1;
    // The shimmer: a quiet, fast-decaying partial at 2.76 times the pitch.
    const double t = static_cast<double>(n) / sampleRate;
    raw[n] = current + 0.25 * std::exp(-6.0 * t) * std::sin(2.0 * std::numbers::pi * 2.756 * kPluckFrequency * t);
    peak = std::max(peak, std::fabs(raw[n]));
  }
  // Normalised to −1 dBFS with a short fade at the very end.
  const double gain = peak > 0.0 ? std::pow(10.0, -1.0 / 20.0) / peak : 0.0;
  const std::size_t fade = std::min<std::size_t>(frames, static_cast<std::size_t>(sampleRate / 50));
  for (std::size_t n = 0; n < frames; ++n) {
    double value = raw[n] * gain;
    if (n >= frames - fade) value *= static_cast<double>(frames - n) / static_cast<double>(fade);
    out[n] = static_cast<float>(value);
  }
  return out;
}

}  // namespace render
