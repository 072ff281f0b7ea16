// Sarnel's editor while it is open: the host's idle every 20 ms with the
// 100 ms refresh tick, with nothing changing (nothing may be painted) and
// with all fifteen gauges moving, and the waveform of a 10-minute stereo
// sample drawn after a load.
//
//   build/linux/bench/sampler_editor_bench
//
// "painted" counts the pixels the window repainted per 100 ms;
// "core_s_per_s" is the processor time the editor takes per second at that
// pace, which the report prints as a time: 2.4ms means 0.24 % of one core.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/Opcodes.h"
#include "gui/Form.h"
#include "host/WaveWriter.h"
#include "platform/TimerService.h"
#include "platform/headless/ManualTimerService.h"
#include "platform/headless/MemorySettingsStore.h"
#include "sampler/editor/TPluginEditorWindow.h"
#include "sampler/engine/APlugin.h"
#include "sampler/engine/APluginEditor.h"

namespace {

class OpenEditor {
 public:
  OpenEditor() {
    platform::setTimerServiceForTesting(&timers);
    sarnel::APluginOptions options;
    options.settings = std::make_shared<platform::MemorySettingsStore>();
    options.editorWindowFactory = sarnel::editorWindowFactory();
    plugin = std::make_unique<sarnel::APlugin>(nullptr, std::move(options));
    plugin->dispatcher(vst::effEditOpen, 0, 0, nullptr, 0.0f);
  }
  ~OpenEditor() {
    plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f);
    plugin.reset();
    platform::setTimerServiceForTesting(nullptr);
  }
  sarnel::TPluginEditorWindow& window() {
    return *static_cast<sarnel::TPluginEditorWindow*>(plugin->pluginEditor()->window());
  }
  // 100 ms of the host's life: five idle calls 20 ms apart, one tick among
  // them. Answers the pixels repainted.
  long hundredMilliseconds() {
    long painted = 0;
    for (int i = 0; i < 5; ++i) {
      timers.advance(20);
      plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f);
      const gui::Rect r = window().form().paintDirty();
      painted += static_cast<long>(r.width()) * r.height();
    }
    return painted;
  }

  platform::ManualTimerService timers;
  std::unique_ptr<sarnel::APlugin> plugin;
};

void report(benchmark::State& state, long painted) {
  state.counters["painted"] = benchmark::Counter(static_cast<double>(painted), benchmark::Counter::kAvgIterations);
  // Each iteration stands for 100 ms of wall time.
  state.counters["core_s_per_s"] =
      benchmark::Counter(static_cast<double>(state.iterations()) / 10.0, benchmark::Counter::kIsRate |
                                                                           benchmark::Counter::kInvert);
}

void BM_SarnelEditorIdleNothingChanged(benchmark::State& state) {
  OpenEditor editor;
  editor.hundredMilliseconds();
  long painted = 0;
  for (auto _ : state) painted += editor.hundredMilliseconds();
  report(state, painted);
}
BENCHMARK(BM_SarnelEditorIdleNothingChanged);

void BM_SarnelEditorIdleFifteenGaugesMoving(benchmark::State& state) {
  OpenEditor editor;
  const std::vector<int> gaugeParameters{0, 7, 8, 9, 10, 11, 12, 13, 14, 17, 18, 19, 23, 24, 25};
  long painted = 0;
  int round = 0;
  for (auto _ : state) {
    const float value = (round++ % 2 == 0) ? 0.25f : 0.75f;
    for (int p : gaugeParameters) editor.plugin->setParameter(p, value);
    painted += editor.hundredMilliseconds();
  }
  report(state, painted);
}
BENCHMARK(BM_SarnelEditorIdleFifteenGaugesMoving);

// A 10-minute stereo 16-bit file at 44.1 kHz, loaded once.
void BM_SarnelWaveformTenMinutesStereo(benchmark::State& state) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "sarnel-editor-bench-10min.wav";
  {
    constexpr int kFrames = 44100 * 600;
    constexpr int kChunk = 44100;
    host::WaveWriter writer(file.string(), host::SampleFormat::pcm16, 44100, 2);
    std::vector<float> left(kChunk), right(kChunk);
    for (int done = 0; done < kFrames; done += kChunk) {
      for (int i = 0; i < kChunk; ++i) {
        left[static_cast<std::size_t>(i)] = static_cast<float>(((done + i) % 441) - 220) / 221.0f;
        right[static_cast<std::size_t>(i)] = -left[static_cast<std::size_t>(i)];
      }
      const float* planes[2] = {left.data(), right.data()};
      writer.write(planes, kChunk);
    }
    writer.commit();
  }
  OpenEditor editor;
  if (!editor.plugin->loadSample(file.string()) || editor.plugin->loadedSample() == nullptr) {
    state.SkipWithError("the 10-minute sample did not load");
    return;
  }
  std::filesystem::remove(file);
  for (auto _ : state) {
    editor.window().drawWaveform(0);
    benchmark::DoNotOptimize(editor.window().waveformCopy().pixels());
  }
  state.SetLabel(std::to_string(editor.plugin->loadedSample()->length / 2) + " frames");
}
BENCHMARK(BM_SarnelWaveformTenMinutesStereo)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
