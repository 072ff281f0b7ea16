#pragma once
// An engine in process with everything the platform would supply replaced:
// settings in memory, timers on a manual clock, message boxes from a script.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/TimerService.h"
#include "platform/headless/ManualTimerService.h"
#include "platform/headless/MemorySettingsStore.h"
#include "platform/headless/ScriptedMessageBoxes.h"
#include "tests/sampler_engine/SarnelTestSupport.h"

namespace sarneltest {

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setTimerServiceForTesting(&timers);
    platform::setMessageBoxServiceForTesting(&boxes);
    plugin = makePlugin();
  }
  void TearDown() override {
    plugin.reset();
    platform::setTimerServiceForTesting(nullptr);
    platform::setMessageBoxServiceForTesting(nullptr);
  }

  std::unique_ptr<sarnel::APlugin> makePlugin(sarnel::EditorWindowFactory factory = {}) {
    sarnel::APluginOptions options;
    options.settings = store;
    options.editorWindowFactory = std::move(factory);
    return std::make_unique<sarnel::APlugin>(hostCallback, std::move(options));
  }

  // Writes a float WAV and loads it as a host restoring a project would:
  // the path through the parameters, then command 643.
  std::string loadWave(const std::string& name, const std::vector<float>& samples, int channels,
                       int sampleRate = 44100) {
    const std::string path = dir.file(name);
    writeFloatWave(path, samples, channels, sampleRate);
    setPathParameters(*plugin, path);
    plugin->setParameter(sarnel::kCommandLoadProgramSample, 1.0f);
    return path;
  }

  std::shared_ptr<platform::MemorySettingsStore> store = std::make_shared<platform::MemorySettingsStore>();
  platform::ManualTimerService timers;
  platform::ScriptedMessageBoxes boxes;
  TempDir dir;
  std::unique_ptr<sarnel::APlugin> plugin;
};

}  // namespace sarneltest
