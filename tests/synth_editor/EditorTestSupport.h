#pragma once
// Marrowglint's editor opened headless by its plug-in, on a manual clock and
// scripted boxes, driven through the form as the window would drive it.

#include <gtest/gtest.h>

#include <memory>

#include "gui/Form.h"
#include "platform/TimerService.h"
#include "platform/headless/ManualTimerService.h"
#include "platform/headless/MemorySettingsStore.h"
#include "platform/headless/ScriptedDialogs.h"
#include "platform/headless/ScriptedMessageBoxes.h"
#include "synth/editor/TPluginEditorWindow.h"
#include "synth/engine/APluginEditor.h"
#include "tests/synth_engine/SynthTestSupport.h"

namespace editortest {

using gui::MouseButton;

class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setTimerServiceForTesting(&timers);
    synthtest::testHost = {};
    makePlugin();
  }
  void TearDown() override {
    closeEditor();
    plugin.reset();
    platform::setTimerServiceForTesting(nullptr);
  }

  void makePlugin() { plugin = synthtest::makePlugin(store, marrowglint::editorWindowFactory()); }
  void openEditor() {
    plugin->pluginEditor()->open(nullptr);
    window = static_cast<marrowglint::TPluginEditorWindow*>(plugin->pluginEditor()->window());
    ASSERT_NE(window, nullptr);
    form().paintDirty();
  }
  void closeEditor() {
    if (plugin && window != nullptr) plugin->pluginEditor()->close();
    window = nullptr;
  }
  gui::Form& form() { return window->form(); }
  // One refresh period of the window's timer.
  void tick() { timers.advance(20); }

  // Mouse input at form coordinates with the exact set of held keys.
  void press(gui::Point at, MouseButton button, gui::ShiftState keys = 0) {
    form().mouseDownAt(at, button, static_cast<gui::ShiftState>(keys | gui::buttonFlag(button)));
  }
  void release(gui::Point at, MouseButton button, gui::ShiftState stillHeld = 0) {
    form().mouseUpAt(at, button, stillHeld);
  }
  void move(gui::Point at, gui::ShiftState held = 0) { form().mouseMoveAt(at, held); }
  void click(gui::Point at, MouseButton button = MouseButton::left, gui::ShiftState keys = 0) {
    press(at, button, keys);
    release(at, button);
  }
  // A point `dx`, `dy` inside a component.
  static gui::Point at(const gui::Component& c, int dx, int dy) { return {c.left() + dx, c.top() + dy}; }
  std::string hover(const gui::Component& c, int dx = 1, int dy = 1) {
    move(at(c, dx, dy));
    return window->statusText();
  }
  int setting(const char* name) { return store->readInteger(marrowglint::kSettingsSubkey, name, -12345); }

  platform::ManualTimerService timers;
  platform::ScriptedDialogs dialogs;
  platform::ScriptedMessageBoxes boxes;
  platform::ScopedMessageBoxOverride boxOverride{boxes};
  std::shared_ptr<platform::MemorySettingsStore> store = std::make_shared<platform::MemorySettingsStore>();
  std::unique_ptr<marrowglint::APlugin> plugin;
  marrowglint::TPluginEditorWindow* window = nullptr;
};

}  // namespace editortest
