#pragma once
// An LFO: a phase counter reading one of several precomputed unipolar waves,
// or a sample-and-hold noise source that takes a new value once per cycle.

#include <cmath>
#include <cstdint>
#include <span>
#include <vector>

#include "sampler/dsp/TOsc.h"
#include "sampler/dsp/TRandom.h"
#include "sampler/dsp/TRelaxed.h"

namespace sarnel {

class TWavetableOsc : public TOsc {
 public:
  // Wave types of fillTable; any other type is noise as well.
  enum Wave : std::int32_t {
    kWaveSine = 0,
    kWaveSaw1 = 1,   // falls from 0 to -1, jumps to +1, falls back to 0
    kWaveSaw2 = 2,   // rises from 0 to +1, jumps to -1, rises back to 0
    kWaveSquare = 3,
    kWaveTriangle = 4,
    kWaveNoise = 5,  // and every wave index above: the sample-and-hold source
  };
  static constexpr std::int32_t kMaxTables = 1001;

  // The table count is limited to 1 ... 1001 and the length to at least 1, so
  // that table 0 always exists. All tables start zero-filled.
  TWavetableOsc(std::int32_t sampleRate, std::int32_t tableLength, std::int32_t tableCount);

  // Selects table w, limited to the tables present. Any thread.
  void selectWave(std::int32_t w) noexcept;
  // Fills table t (ignored unless 0 <= t < tableCount) with wave type w,
  // values 0 ... 1. GUI thread, before the render reads the table.
  void fillTable(std::int32_t t, std::int32_t w);

  // One step; returns 0 ... 1 for the phase before the step. Audio thread.
  float tickValue() noexcept;

  // Any thread.
  std::int32_t getWaveIndex() const noexcept { return waveIndex; }
  std::int32_t getTableCount() const noexcept { return tableCount; }
  std::int32_t getTableLength() const noexcept { return tableLength; }
  // The values of table t; empty when there is no such table. Any thread.
  std::span<const float> table(std::int32_t t) const noexcept;

 private:
  TRelaxed<std::int32_t> waveIndex{0};
  std::int32_t tableCount;
  std::vector<float> tables;  // tableCount tables of tableLength values, one after another
  std::int32_t tableLength;
  float noiseValue = 0.0f;  // the render's own
};

inline float TWavetableOsc::tickValue() noexcept {
  const float period = static_cast<float>(sampleRate) / frequency;
  float steps = counter;
  // A counter beyond the period is a restart that a frequency change from
  // another thread asked for and this thread's previous step overwrote: the
  // step restarts the cycle instead of wrapping once per stale period (tens
  // of thousands of times, with a random draw each, after a slow rate).
  if (!(steps <= period)) steps = 0.0f;
  const float reached = steps / period;
  phase = reached;
  steps += 1.0f;
  // At most 1 + 1 / period rounds: the period is at least 1 / 100 step.
  while (steps > period) {
    steps -= period;
    noiseValue = TRandom::next();
  }
  counter = steps;

  const std::int32_t wave = waveIndex;
  if (wave > kWaveTriangle) return noiseValue;
  std::int32_t index = static_cast<std::int32_t>(std::nearbyint(static_cast<float>(tableLength) * reached));
  if (index >= tableLength) index -= tableLength;
  return tables[static_cast<std::size_t>(wave) * static_cast<std::size_t>(tableLength) +
                static_cast<std::size_t>(index)];
}

}  // namespace sarnel
