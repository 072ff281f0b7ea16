// Sarnel's editor at 200 %: the "Zoom" setting, pointer positions brought
// back to form pixels, the doubled pictures and the size area of the about
// panel.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "framework/Opcodes.h"
#include "gui/Form.h"
#include "platform/EditorZoom.h"
#include "platform/TimerService.h"
#include "platform/headless/HeadlessEditorWindow.h"
#include "platform/headless/ManualTimerService.h"
#include "platform/headless/MemorySettingsStore.h"
#include "platform/headless/ScriptedMessageBoxes.h"
#include "sampler/editor/TPluginEditorWindow.h"
#include "sampler/editor/artwork/ZoomArea.h"
#include "sampler/engine/APlugin.h"
#include "sampler/engine/APluginEditor.h"
#include "sampler/engine/ParameterTable.h"

namespace {

using gui::MouseButton;

// What the host answers to canDo "sizeWindow" and to the call itself, and the
// sizes it was asked for.
struct SizingHost {
  int canDoSizeWindow = 0;
  bool acceptSizeWindow = true;
  std::vector<std::pair<int, int>> sizeWindowCalls;
};
SizingHost sizingHost;

vst::VstIntPtr sizingHostCallback(vst::AEffect*, vst::VstInt32 opcode, vst::VstInt32 index, vst::VstIntPtr value,
                                  void* ptr, float) {
  switch (opcode) {
    case vst::audioMasterVersion: return 2400;
    case vst::audioMasterCanDo:
      return std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0 ? sizingHost.canDoSizeWindow : 0;
    case vst::audioMasterSizeWindow:
      sizingHost.sizeWindowCalls.emplace_back(static_cast<int>(index), static_cast<int>(value));
      return sizingHost.acceptSizeWindow ? 1 : 0;
    default: return 0;
  }
}

class SarnelZoomTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::setTimerServiceForTesting(&timers);
    platform::setMessageBoxServiceForTesting(&boxes);
    sizingHost = {};
    makePlugin();
  }
  void TearDown() override {
    plugin.reset();
    platform::setTimerServiceForTesting(nullptr);
    platform::setMessageBoxServiceForTesting(nullptr);
  }
  void makePlugin() {
    plugin.reset();
    sarnel::APluginOptions options;
    options.settings = store;
    options.editorWindowFactory = sarnel::editorWindowFactory();
    plugin = std::make_unique<sarnel::APlugin>(sizingHostCallback, std::move(options));
  }
  void openAt(int zoom) {
    store->writeInteger(sarnel::kSettingsSubkey, "Zoom", zoom);
    open();
  }
  void open() { ASSERT_EQ(plugin->dispatcher(vst::effEditOpen, 0, 0, nullptr, 0.0f), 1); }
  void close() { plugin->dispatcher(vst::effEditClose, 0, 0, nullptr, 0.0f); }
  sarnel::TPluginEditorWindow& window() {
    return *static_cast<sarnel::TPluginEditorWindow*>(plugin->pluginEditor()->window());
  }
  platform::HeadlessEditorWindow& screen() {
    return static_cast<platform::HeadlessEditorWindow&>(window().windowHost().window());
  }
  vst::ERect rect() {
    vst::ERect* r = nullptr;
    plugin->dispatcher(vst::effEditGetRect, 0, 0, &r, 0.0f);
    return *r;
  }
  // A left press and release at a window pixel, as the native window delivers it.
  void clickWindow(gui::Point pixel) {
    screen().mouseDownAt(pixel, MouseButton::left, gui::buttonFlag(MouseButton::left));
    screen().mouseUpAt(pixel, MouseButton::left, 0);
  }
  void clickForm(gui::Point at) {
    window().form().mouseDownAt(at, MouseButton::left, gui::buttonFlag(MouseButton::left));
    window().form().mouseUpAt(at, MouseButton::left, 0);
  }
  void showAbout() {
    clickForm(window().Image12->toForm({20, 10}));
    ASSERT_TRUE(window().about->visible());
  }
  gui::Point sizeChoice(const gui::Rect& choice) {
    return window().sizeArea->toForm({(choice.left + choice.right) / 2, (choice.top + choice.bottom) / 2});
  }
  int storedZoom() { return store->readInteger(sarnel::kSettingsSubkey, "Zoom", -1); }

  platform::ManualTimerService timers;
  platform::ScriptedMessageBoxes boxes;
  std::shared_ptr<platform::MemorySettingsStore> store = std::make_shared<platform::MemorySettingsStore>();
  std::unique_ptr<sarnel::APlugin> plugin;
};

TEST_F(SarnelZoomTest, TheStoredSettingWinsAndAnyOtherValueCountsAsOne) {
  EXPECT_EQ(sarnel::editorZoom(*store, 1), 1);
  EXPECT_EQ(sarnel::editorZoom(*store, 2), 2);
  store->writeInteger(sarnel::kSettingsSubkey, "Zoom", 2);
  EXPECT_EQ(sarnel::editorZoom(*store, 1), 2);
  store->writeInteger(sarnel::kSettingsSubkey, "Zoom", 3);
  EXPECT_EQ(sarnel::editorZoom(*store, 1), 1);
  EXPECT_EQ(sarnel::editorZoom(*store, 2), 1);

  store->writeInteger(sarnel::kSettingsSubkey, "Zoom", 1);
  EXPECT_EQ(rect().right, 678);
  EXPECT_EQ(rect().bottom, 497);
  store->writeInteger(sarnel::kSettingsSubkey, "Zoom", 2);
  EXPECT_EQ(rect().right, 1356);
  EXPECT_EQ(rect().bottom, 994);
  open();
  EXPECT_EQ(window().zoom(), 2);
  EXPECT_EQ(screen().width(), 1356);
  EXPECT_EQ(screen().height(), 994);
  close();
}

TEST_F(SarnelZoomTest, APressAtDoubledPixelsActsAsOneAtTheFormPoint) {
  const auto touch = [this](int zoom) {
    // Across the resonance gauge and the two-ended delay gauge.
    std::vector<float> values;
    for (controls::TVornGauge* gauge : {window().reso, window().delay}) {
      for (const int x : {3, 57, 101}) {
        const gui::Point at = gauge->toForm({x, 4});
        clickWindow({at.x * zoom + zoom - 1, at.y * zoom});
        values.push_back(plugin->getParameter(9));
        values.push_back(plugin->getParameter(10));
        values.push_back(plugin->getParameter(11));
      }
    }
    return values;
  };
  openAt(1);
  const std::vector<float> atFull = touch(1);
  close();
  makePlugin();
  openAt(2);
  EXPECT_EQ(touch(2), atFull);
  close();
  EXPECT_NE(atFull[0], atFull[3]);  // the presses moved the gauge
}

TEST_F(SarnelZoomTest, TheDoubledWindowShowsEveryFormPixelAsATwoByTwoBlock) {
  openAt(1);
  window().form().paintDirty();
  const gui::Canvas full = screen().screenPixels();
  close();
  makePlugin();
  openAt(2);
  window().form().paintDirty();
  const gui::Canvas doubled = screen().screenPixels();
  gui::Canvas expected(full.width() * 2, full.height() * 2);
  expected.drawZoomed(full, {0, 0, full.width(), full.height()}, 2);
  ASSERT_EQ(doubled.width(), 1356);
  ASSERT_EQ(doubled.height(), 994);
  for (int y = 0; y < doubled.height(); ++y) {
    for (int x = 0; x < doubled.width(); ++x) ASSERT_EQ(doubled.pixel(x, y), expected.pixel(x, y)) << x << ", " << y;
  }
  close();
}

TEST_F(SarnelZoomTest, TheSizeAreaResizesAtOnceWhenTheHostAgrees) {
  sizingHost.canDoSizeWindow = 1;
  openAt(1);
  showAbout();
  clickForm(sizeChoice(sarnel::artwork::kZoomChoice200));
  EXPECT_EQ(storedZoom(), 2);
  ASSERT_EQ(sizingHost.sizeWindowCalls.size(), 1u);
  EXPECT_EQ(sizingHost.sizeWindowCalls[0], std::make_pair(1356, 994));
  EXPECT_EQ(window().zoom(), 2);
  EXPECT_EQ(rect().right, 1356);
  EXPECT_TRUE(window().about->visible());  // a click on the area leaves the panel open
  clickForm(sizeChoice(sarnel::artwork::kZoomChoice100));
  ASSERT_EQ(sizingHost.sizeWindowCalls.size(), 2u);
  EXPECT_EQ(sizingHost.sizeWindowCalls[1], std::make_pair(678, 497));
  EXPECT_EQ(window().zoom(), 1);
  close();
}

TEST_F(SarnelZoomTest, AHostThatRefusesGetsTheNewSizeAtTheNextOpen) {
  for (const bool canDo : {false, true}) {
    SCOPED_TRACE(canDo ? "host refuses the call" : "host cannot do it");
    sizingHost.canDoSizeWindow = canDo ? 1 : 0;
    sizingHost.acceptSizeWindow = false;
    sizingHost.sizeWindowCalls.clear();
    openAt(1);
    showAbout();
    const gui::Canvas before = window().sizeArea->picture();
    clickForm(sizeChoice(sarnel::artwork::kZoomChoice200));
    EXPECT_EQ(storedZoom(), 2);
    EXPECT_EQ(sizingHost.sizeWindowCalls.size(), canDo ? 1u : 0u);
    EXPECT_EQ(window().zoom(), 1);
    EXPECT_EQ(rect().right, 678);
    int changedBelow = 0;  // "at next open" under the choices
    for (int y = 22; y < sarnel::artwork::kZoomAreaHeight; ++y) {
      for (int x = 0; x < sarnel::artwork::kZoomAreaWidth; ++x) {
        changedBelow += window().sizeArea->picture().pixel(x, y) != before.pixel(x, y) ? 1 : 0;
      }
    }
    EXPECT_GT(changedBelow, 20);
    close();
    EXPECT_EQ(rect().right, 1356);
    EXPECT_EQ(rect().bottom, 994);
    open();
    EXPECT_EQ(window().zoom(), 2);
    close();
  }
}

}  // namespace
