// Sarnel's block render: 1, 8 and 33 voices sounding (one- and two-channel
// samples, interpolation on, loop mode 1), idle with no voice, and the
// effect mode. Counters: time per frame and the real-time factor at 44.1 kHz
// (seconds of audio rendered per second of processor time; shown as a rate).

#include <benchmark/benchmark.h>

#include "bench/SarnelBenchSetup.h"

namespace {

void report(benchmark::State& state) {
  const double frames = static_cast<double>(state.iterations()) * sarnelbench::kBlock;
  state.SetItemsProcessed(static_cast<std::int64_t>(frames));
  // Seconds of processor time per frame (shown with its SI prefix, "n" for ns).
  state.counters["time_per_frame"] =
      benchmark::Counter(frames, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["realtime_factor"] = benchmark::Counter(frames / 44100.0, benchmark::Counter::kIsRate);
}

void BM_SarnelVoices(benchmark::State& state) {
  sarnelbench::Setup setup(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
  for (auto _ : state) {
    setup.render();
    benchmark::DoNotOptimize(setup.last());
  }
  report(state);
}
BENCHMARK(BM_SarnelVoices)
    ->ArgNames({"voices", "channels"})
    ->Args({1, 1})
    ->Args({8, 1})
    ->Args({33, 1})
    ->Args({1, 2})
    ->Args({8, 2})
    ->Args({33, 2})
    ->Args({0, 2});  // idle: a sample loaded, no voice

void BM_SarnelEffectMode(benchmark::State& state) {
  sarnelbench::Setup setup(0, 0);
  setup.fillInput();
  for (auto _ : state) {
    setup.render();
    benchmark::DoNotOptimize(setup.last());
  }
  report(state);
}
BENCHMARK(BM_SarnelEffectMode);

}  // namespace

BENCHMARK_MAIN();
