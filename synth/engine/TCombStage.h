#pragma once
// The comb stage ("Tube"): each sample is averaged with the line entry 501
// samples back, and the line keeps a decaying copy. The position doubles as
// the output sample counter of the ring modulator.

#include <array>
#include <cmath>

namespace marrowglint {

class TCombStage {
 public:
  static constexpr int kLength = 501;

  // Audio thread. The comb keeps averaging with the sample 501 frames back
  // even when "Tube" is 0; presets rely on that tone.
  float combSample(float r, float tube) {
    const float old = line[static_cast<std::size_t>(pos)];
    const float o = (old + r) / 2.0f;
    line[static_cast<std::size_t>(pos)] = r + 0.999f * old * tube + 1e-24f;
    ++pos;
    if (pos > kLength - 1) pos = 0;
    return o;
  }

  // combSample over samples[from..count−1] in place. Stops at the first
  // result that is not a finite number and returns its index (count when
  // there is none). Audio thread.
  int combChunk(float* samples, int from, int count, float tube) {
    int p = pos;
    for (int n = from; n < count; ++n) {
      float& slot = line[static_cast<std::size_t>(p)];
      const float old = slot;
      const float r = samples[n];
      const float o = (old + r) / 2.0f;
      slot = r + 0.999f * old * tube + 1e-24f;
      p = p == kLength - 1 ? 0 : p + 1;
      samples[n] = o;
      if (!std::isfinite(o)) {
        pos = p;
        return n;
      }
    }
    pos = p;
    return count;
  }

  int position() const { return pos; }
  float entry(int i) const { return line[static_cast<std::size_t>(i)]; }
  // Clears a line that overflowed; the position runs on. Audio thread.
  void reset() { line.fill(0.0f); }

 private:
  std::array<float, kLength> line{};
  int pos = 0;  // 0..500
};

}  // namespace marrowglint
