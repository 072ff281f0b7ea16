// Per-sample cost of Sarnel's DSP blocks, in the shapes the render uses them:
// 33 envelopes per frame, two delay filters per frame, an LFO tick every 50
// frames.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "sampler/dsp/TADSR.h"
#include "sampler/dsp/TDelayFilt.h"
#include "sampler/dsp/TWavetableOsc.h"

namespace {

constexpr int kVoices = 33;
constexpr int kFrames = 4096;

// 33 envelopes, one nextValue each per frame; items = voice-frames.
void envelopeVoices(benchmark::State& state) {
  std::array<sarnel::TADSR, kVoices> envelopes;
  for (sarnel::TADSR& env : envelopes) {
    env.setAttack(3.0f);  // long stages: every voice keeps stepping
    env.setDecay(3.0f);
    env.setSustain(0.5f);
    env.setRelease(3.0f);
    env.gateOn();
  }
  for (auto _ : state) {
    float sum = 0.0f;
    for (int frame = 0; frame < kFrames; ++frame)
      for (sarnel::TADSR& env : envelopes) sum += env.nextValue();
    benchmark::DoNotOptimize(sum);
    for (sarnel::TADSR& env : envelopes) env.gateOn();
  }
  state.SetItemsProcessed(state.iterations() * kFrames * kVoices);
}
BENCHMARK(envelopeVoices);

// Both channels' delay filters; items = frames. Argument 0: neutral controls
// (filter bypassed), 1: filter running.
void delayFilterFrames(benchmark::State& state) {
  sarnel::TDelayFilt left(44100.0);
  sarnel::TDelayFilt right(44100.0);
  for (sarnel::TDelayFilt* d : {&left, &right}) {
    d->setDelayTime(0.3f);
    d->setFeedback(0.5f);
    if (state.range(0) != 0) {
      d->setFilterHigh(0.6f);
      d->setFilterLow(0.1f);
      d->setFilterReso(0.5f);
    }
  }
  float x = 0.25f;
  for (auto _ : state) {
    float sum = 0.0f;
    for (int frame = 0; frame < kFrames; ++frame) {
      x = -x;
      sum += left.processSample(x) + right.processSample(x);
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(delayFilterFrames)->Arg(0)->Arg(1);

// One LFO tick; items = ticks (the render ticks each LFO every 50 frames).
void lfoTicks(benchmark::State& state) {
  sarnel::TWavetableOsc lfo(44100, 4096, 7);
  for (std::int32_t i = 0; i < 6; ++i) lfo.fillTable(i, i);
  lfo.selectWave(static_cast<std::int32_t>(state.range(0)));
  lfo.setFrequency(100.0f);
  for (auto _ : state) {
    float sum = 0.0f;
    for (int tick = 0; tick < kFrames; ++tick) sum += lfo.tickValue();
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
}
BENCHMARK(lfoTicks)->Arg(sarnel::TWavetableOsc::kWaveSine)->Arg(sarnel::TWavetableOsc::kWaveNoise);

}  // namespace

BENCHMARK_MAIN();
