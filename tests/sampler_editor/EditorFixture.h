#pragma once
// Sarnel's editor opened headless through the plug-in, with every platform
// service replaced: settings in memory, timers on a manual clock, scripted
// input boxes, menus and message boxes, and a host that records what the
// editor automates.

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "framework/Opcodes.h"
#include "gui/Form.h"
#include "platform/TimerService.h"
#include "platform/headless/ManualTimerService.h"
#include "platform/headless/MemorySettingsStore.h"
#include "platform/headless/ScriptedDialogs.h"
#include "platform/headless/ScriptedMessageBoxes.h"
#include "sampler/editor/TPluginEditorWindow.h"
#include "sampler/engine/APlugin.h"
#include "sampler/engine/APluginEditor.h"
#include "sampler/engine/ParameterTable.h"
#include "tests/sampler_engine/TestWaves.h"

namespace sarneleditortest {

struct Automation {
  int index;
  float value;
  friend bool operator==(const Automation&, const Automation&) = default;
};

// What the host saw: every setParameterAutomated of the editor.
inline std::vector<Automation> automated;

inline vst::VstIntPtr recordingHost(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr,
                                    void*, float opt) {
  if (opcode == vst::audioMasterVersion) return 2400;
  if (opcode == vst::audioMasterAutomate) automated.push_back({index, opt});
  return 0;
}

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setTimerServiceForTesting(&timers);
    platform::setMessageBoxServiceForTesting(&boxes);
    sarnel::APluginOptions options;
    options.settings = std::make_shared<platform::MemorySettingsStore>();
    options.editorWindowFactory = sarnel::editorWindowFactory();
    plugin = std::make_unique<sarnel::APlugin>(recordingHost, std::move(options));
    automated.clear();
  }
  void TearDown() override {
    plugin.reset();
    platform::setTimerServiceForTesting(nullptr);
    platform::setMessageBoxServiceForTesting(nullptr);
  }

  void open() { ASSERT_EQ(plugin->dispatcher(vst::effEditOpen, 0, 0, nullptr, 0.0f), 1); }
  void close() { plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f); }
  void idle() { plugin->dispatcher(vst::effEditIdle, 0, 0, nullptr, 0.0f); }
  // One refresh tick of the running timer.
  void tick() { timers.advance(100); }

  sarnel::TPluginEditorWindow& window() {
    return *static_cast<sarnel::TPluginEditorWindow*>(plugin->pluginEditor()->window());
  }
  gui::Form& form() { return window().form(); }

  // Mouse input at a point of a component, with the exact held set.
  void press(gui::Component& c, int x, int y, gui::MouseButton button, gui::ShiftState held) {
    form().mouseDownAt(c.toForm({x, y}), button, static_cast<gui::ShiftState>(held | gui::buttonFlag(button)));
  }
  void move(gui::Component& c, int x, int y, gui::ShiftState held) { form().mouseMoveAt(c.toForm({x, y}), held); }
  void release(gui::Component& c, int x, int y, gui::MouseButton button) {
    form().mouseUpAt(c.toForm({x, y}), button, 0);
  }
  void click(gui::Component& c, int x = 2, int y = 2, gui::MouseButton button = gui::MouseButton::left) {
    press(c, x, y, button, 0);
    release(c, x, y, button);
  }

  // Writes a float WAV and loads it as a host restoring a project would.
  void loadWave(const std::vector<float>& interleaved, int channels) {
    const std::string path = dir.file("editor.wav");
    sarneltest::writeFloatWave(path, interleaved, channels);
    for (int i = 0; i < sarnel::kPathBytes; ++i) {
      const int byte = i < static_cast<int>(path.size()) ? static_cast<unsigned char>(path[static_cast<std::size_t>(i)]) : 0;
      plugin->setParameter(sarnel::kPathFirst + i, static_cast<float>(byte) / 255.0f);
    }
    plugin->setParameter(sarnel::kCommandLoadProgramSample, 1.0f);
  }

  std::vector<Automation> automationsOf(int index) const {
    std::vector<Automation> found;
    for (const Automation& a : automated) {
      if (a.index == index) found.push_back(a);
    }
    return found;
  }

  platform::ManualTimerService timers;
  platform::ScriptedMessageBoxes boxes;
  platform::ScriptedDialogs dialogs;
  sarneltest::TempDir dir;
  std::unique_ptr<sarnel::APlugin> plugin;
};

}  // namespace sarneleditortest
