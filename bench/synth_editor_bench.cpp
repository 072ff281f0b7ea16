// Marrowglint's editor open and idle, headless: one iteration is one 20 ms
// period, the host's editor idle plus the window's refresh tick, and the
// repaint of whatever they invalidated (what a real window would present).
// Counters: presented_pixels per period (0 when nothing changed; the cutoff
// slider's 600 pixels while the LFO moves it) and core_share, the fraction
// of one core the editor takes at one period per 20 ms.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

#include "gui/Form.h"
#include "platform/TimerService.h"
#include "platform/headless/ManualTimerService.h"
#include "platform/headless/MemorySettingsStore.h"
#include "synth/editor/TPluginEditorWindow.h"
#include "synth/engine/APlugin.h"
#include "synth/engine/APluginEditor.h"

namespace {

using namespace marrowglint;

constexpr int kPeriodMs = 20;
constexpr int kPeriodFrames = 882;  // 20 ms at 44.1 kHz

struct OpenEditor {
  OpenEditor() {
    platform::setTimerServiceForTesting(&timers);
    APluginOptions options;
    options.settings = std::make_shared<platform::MemorySettingsStore>();
    options.editorWindowFactory = editorWindowFactory();
    plugin = std::make_unique<APlugin>(nullptr, std::move(options));
    editor = plugin->pluginEditor();
    editor->open(nullptr);
    window = static_cast<TPluginEditorWindow*>(editor->window());
  }
  ~OpenEditor() {
    editor->close();
    plugin.reset();
    platform::setTimerServiceForTesting(nullptr);
  }
  // One period; answers the pixels repainted.
  long period() {
    editor->idle();
    timers.advance(kPeriodMs);
    const gui::Rect painted = window->form().paintDirty();
    return static_cast<long>(painted.width()) * painted.height();
  }
  void render() {
    float* inputs[2] = {silence.data(), silence.data()};
    float* outputs[2] = {left.data(), right.data()};
    plugin->processReplacing(inputs, outputs, kPeriodFrames);
  }

  platform::ManualTimerService timers;
  std::unique_ptr<APlugin> plugin;
  APluginEditor* editor = nullptr;
  TPluginEditorWindow* window = nullptr;
  std::vector<float> silence = std::vector<float>(kPeriodFrames, 0.0f), left = silence, right = silence;
};

void report(benchmark::State& state, long presented, double seconds) {
  const double periods = static_cast<double>(state.iterations());
  state.counters["presented_pixels"] = static_cast<double>(presented) / periods;
  state.counters["core_share"] = seconds / periods / (kPeriodMs / 1000.0);
}

void BM_EditorIdleNothingChanged(benchmark::State& state) {
  OpenEditor open;
  open.period();
  open.period();
  long presented = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    presented += open.period();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  report(state, presented, seconds);
}
BENCHMARK(BM_EditorIdleNothingChanged);

void BM_EditorIdleLfoOnCutoff(benchmark::State& state) {
  OpenEditor open;
  open.plugin->setParameter(kLFODest, 0.02f);
  open.plugin->setParameter(kLFOAmnt, 1.0f);
  open.plugin->setParameter(kLFORate, 0.8f);
  open.plugin->noteOn(60 + 48, 100);
  open.period();
  long presented = 0;
  double seconds = 0.0;
  for (auto _ : state) {
    // The audio of the period is the host's, not the editor's: not counted.
    state.PauseTiming();
    open.render();
    state.ResumeTiming();
    const auto start = std::chrono::steady_clock::now();
    presented += open.period();
    seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }
  report(state, presented, seconds);
}
BENCHMARK(BM_EditorIdleLfoOnCutoff);

}  // namespace

BENCHMARK_MAIN();
