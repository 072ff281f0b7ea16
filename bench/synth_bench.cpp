// Marrowglint's render loop: processReplacing in blocks of 512 frames at
// 44.1 kHz with four voices sounding in each interpolation mode, in fat
// mode, and idle. Counters: ns_per_frame and realtime_factor (seconds of
// audio rendered per second of CPU time).

#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "platform/headless/MemorySettingsStore.h"
#include "synth/engine/APlugin.h"

namespace {

using namespace marrowglint;

constexpr int kBlock = 512;
constexpr double kSampleRate = 44100.0;

struct Bench {
  explicit Bench(int mode, bool fat, bool sounding) {
    APluginOptions options;
    options.settings = std::make_shared<platform::MemorySettingsStore>();
    plugin = std::make_unique<APlugin>(nullptr, std::move(options));
    plugin->setParameter(kCommandInterpolation, static_cast<float>(mode) / 10.0f);
    plugin->setParameter(kFat, fat ? 1.0f : 0.0f);
    if (sounding) {
      for (const int note : {48, 55, 60, 64}) plugin->noteOn(note + 48, 100);
    }
  }
  void render() {
    float* inputs[2] = {in0.data(), in1.data()};
    float* outputs[2] = {out0.data(), out1.data()};
    plugin->processReplacing(inputs, outputs, kBlock);
    benchmark::DoNotOptimize(out0.data());
  }
  std::unique_ptr<APlugin> plugin;
  std::vector<float> in0 = std::vector<float>(kBlock, 0.0f), in1 = in0, out0 = in0, out1 = in0;
};

void setCounters(benchmark::State& state) {
  const double frames = static_cast<double>(kBlock);
  state.counters["ns_per_frame"] =
      benchmark::Counter(frames * 1e-9, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["realtime_factor"] =
      benchmark::Counter(frames / kSampleRate, benchmark::Counter::kIsIterationInvariantRate);
}

void renderBench(benchmark::State& state, int mode, bool fat, bool sounding) {
  Bench bench(mode, fat, sounding);
  for (int i = 0; i < 20; ++i) bench.render();  // past the attack
  for (auto _ : state) bench.render();
  setCounters(state);
}

void BM_FourVoicesNoInterpolation(benchmark::State& state) { renderBench(state, 0, false, true); }
void BM_FourVoicesLinear(benchmark::State& state) { renderBench(state, 1, false, true); }
void BM_FourVoicesFourPoint(benchmark::State& state) { renderBench(state, 2, false, true); }
void BM_FatFourPoint(benchmark::State& state) { renderBench(state, 2, true, true); }
void BM_Idle(benchmark::State& state) { renderBench(state, 2, false, false); }

BENCHMARK(BM_FourVoicesNoInterpolation);
BENCHMARK(BM_FourVoicesLinear);
BENCHMARK(BM_FourVoicesFourPoint);
BENCHMARK(BM_FatFourPoint);
BENCHMARK(BM_Idle);

}  // namespace

BENCHMARK_MAIN();
