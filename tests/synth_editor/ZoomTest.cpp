// The editor at 200 %: the "Zoom" setting, pointer positions brought back to
// form pixels, the doubled pictures and the size area of the info screen.

#include "platform/EditorZoom.h"
#include "platform/headless/HeadlessEditorWindow.h"
#include "synth/editor/artwork/ZoomArea.h"
#include "tests/synth_editor/EditorTestSupport.h"

namespace {

using editortest::EditorTest;
using gui::MouseButton;
using namespace marrowglint;

class ZoomTest : public EditorTest {
 protected:
  void openAt(int zoom) {
    store->writeInteger(kSettingsSubkey, "Zoom", zoom);
    openEditor();
  }
  platform::HeadlessEditorWindow& screen() {
    return static_cast<platform::HeadlessEditorWindow&>(window->windowHost().window());
  }
  vst::ERect rect() {
    vst::ERect* r = nullptr;
    plugin->pluginEditor()->getRect(&r);
    return *r;
  }
  // A left press and release at a window pixel, as the native window delivers it.
  void clickWindow(gui::Point pixel) {
    screen().mouseDownAt(pixel, MouseButton::left, gui::buttonFlag(MouseButton::left));
    screen().mouseUpAt(pixel, MouseButton::left, 0);
  }
  // The form point of the "200 %" or "100 %" choice of the size area.
  gui::Point sizeChoice(const gui::Rect& choice) {
    return at(*window->sizeArea, (choice.left + choice.right) / 2, (choice.top + choice.bottom) / 2);
  }
};

TEST_F(ZoomTest, TheStoredSettingWinsAndAnyOtherValueCountsAsOne) {
  EXPECT_EQ(editorZoom(*store, 1), 1);
  EXPECT_EQ(editorZoom(*store, 2), 2);  // nothing stored: the system's suggestion
  store->writeInteger(kSettingsSubkey, "Zoom", 2);
  EXPECT_EQ(editorZoom(*store, 1), 2);
  store->writeInteger(kSettingsSubkey, "Zoom", 1);
  EXPECT_EQ(editorZoom(*store, 2), 1);
  store->writeInteger(kSettingsSubkey, "Zoom", 3);
  EXPECT_EQ(editorZoom(*store, 1), 1);
  EXPECT_EQ(editorZoom(*store, 2), 1);

  EXPECT_EQ(rect().right, 239);
  EXPECT_EQ(rect().bottom, 358);
  store->writeInteger(kSettingsSubkey, "Zoom", 2);
  EXPECT_EQ(rect().right, 478);
  EXPECT_EQ(rect().bottom, 716);
  openEditor();
  EXPECT_EQ(window->zoom(), 2);
  EXPECT_EQ(screen().width(), 478);
  EXPECT_EQ(screen().height(), 716);
}

TEST_F(ZoomTest, APressAtDoubledPixelsActsAsOneAtTheFormPoint) {
  // The same touches at 100 % (form points) and at 200 % (window pixels).
  const auto touch = [this](int zoom) {
    std::array<float, 3> values{};
    const gui::Point slider = at(*window->vcfcutoff, 37, 3);
    clickWindow({slider.x * zoom, slider.y * zoom});
    values[0] = plugin->getParameter(kCut);
    const gui::Point pad = at(*window->pads[2], 10, 0);
    screen().mouseDownAt({pad.x * zoom, pad.y * zoom}, MouseButton::left, gui::buttonFlag(MouseButton::left));
    screen().mouseMoveAt({pad.x * zoom, (pad.y + 21) * zoom + zoom - 1}, gui::buttonFlag(MouseButton::left));
    screen().mouseUpAt({pad.x * zoom, (pad.y + 21) * zoom + zoom - 1}, MouseButton::left, 0);
    values[1] = plugin->getParameter(kTube);
    const gui::Point selector = at(*window->vcftype, 30, 5);
    clickWindow({selector.x * zoom, selector.y * zoom});
    values[2] = plugin->getParameter(kFilt);
    return values;
  };
  openAt(1);
  const std::array<float, 3> atFull = touch(1);
  closeEditor();
  makePlugin();
  openAt(2);
  const std::array<float, 3> atDouble = touch(2);
  EXPECT_EQ(atDouble, atFull);
  EXPECT_GT(atFull[0], 0.0f);
  EXPECT_GT(atFull[1], 0.0f);
}

TEST_F(ZoomTest, TheDoubledWindowShowsEveryFormPixelAsATwoByTwoBlock) {
  const auto showInfo = [this] {
    click(at(*window->Image3, 10, 5));
    form().paintDirty();
  };
  openAt(1);
  showInfo();
  const gui::Canvas full = screen().screenPixels();
  closeEditor();
  makePlugin();
  openAt(2);
  showInfo();
  const gui::Canvas doubled = screen().screenPixels();
  gui::Canvas expected(full.width() * 2, full.height() * 2);
  expected.drawZoomed(full, {0, 0, full.width(), full.height()}, 2);
  ASSERT_EQ(doubled.width(), 478);
  ASSERT_EQ(doubled.height(), 716);
  int differing = 0;
  for (int y = 0; y < doubled.height(); ++y) {
    for (int x = 0; x < doubled.width(); ++x) differing += doubled.pixel(x, y) != expected.pixel(x, y) ? 1 : 0;
  }
  // The two windows differ only in the size area, which lights the other choice.
  const gui::Rect area = platform::windowRectOf(window->sizeArea->bounds(), 2);
  for (int y = 0; y < doubled.height(); ++y) {
    for (int x = 0; x < doubled.width(); ++x) {
      if (area.contains({x, y})) continue;
      ASSERT_EQ(doubled.pixel(x, y), expected.pixel(x, y)) << x << ", " << y;
    }
  }
  EXPECT_GT(differing, 0);
}

TEST_F(ZoomTest, TheSizeAreaResizesAtOnceWhenTheHostAgrees) {
  synthtest::testHost.canDoSizeWindow = 1;
  openAt(1);
  click(at(*window->Image3, 10, 5));
  ASSERT_TRUE(window->sizeArea->visible());
  const gui::Canvas before = window->sizeArea->picture();
  click(sizeChoice(artwork::kZoomChoice200));
  EXPECT_EQ(setting("Zoom"), 2);
  ASSERT_EQ(synthtest::testHost.sizeWindowCalls.size(), 1u);
  EXPECT_EQ(synthtest::testHost.sizeWindowCalls[0], std::make_pair(478, 716));
  EXPECT_EQ(window->zoom(), 2);
  EXPECT_EQ(rect().right, 478);
  EXPECT_TRUE(window->info->visible());  // a click on the area leaves the screen open
  const gui::Point lit = {artwork::kZoomChoice200.left + 1, 4};
  EXPECT_NE(window->sizeArea->picture().pixel(lit.x, lit.y), before.pixel(lit.x, lit.y));

  click(sizeChoice(artwork::kZoomChoice200));  // the lit value: nothing to do
  EXPECT_EQ(synthtest::testHost.sizeWindowCalls.size(), 1u);
  click(sizeChoice(artwork::kZoomChoice100));
  ASSERT_EQ(synthtest::testHost.sizeWindowCalls.size(), 2u);
  EXPECT_EQ(synthtest::testHost.sizeWindowCalls[1], std::make_pair(239, 358));
  EXPECT_EQ(window->zoom(), 1);
  EXPECT_EQ(setting("Zoom"), 1);
}

TEST_F(ZoomTest, AHostThatRefusesGetsTheNewSizeAtTheNextOpen) {
  for (const bool canDo : {false, true}) {
    SCOPED_TRACE(canDo ? "host refuses the call" : "host cannot do it");
    synthtest::testHost.canDoSizeWindow = canDo ? 1 : 0;
    synthtest::testHost.acceptSizeWindow = false;
    synthtest::testHost.sizeWindowCalls.clear();
    openAt(1);
    click(at(*window->Image3, 10, 5));
    const gui::Canvas before = window->sizeArea->picture();
    click(sizeChoice(artwork::kZoomChoice200));
    EXPECT_EQ(setting("Zoom"), 2);
    EXPECT_EQ(synthtest::testHost.sizeWindowCalls.size(), canDo ? 1u : 0u);
    EXPECT_EQ(window->zoom(), 1);
    EXPECT_EQ(rect().right, 239);
    // "at next open" appears under the choices.
    int changedBelow = 0;
    for (int y = 18; y < artwork::kZoomAreaHeight; ++y) {
      for (int x = 0; x < artwork::kZoomAreaWidth; ++x) {
        changedBelow += window->sizeArea->picture().pixel(x, y) != before.pixel(x, y) ? 1 : 0;
      }
    }
    EXPECT_GT(changedBelow, 20);
    closeEditor();
    EXPECT_EQ(rect().right, 478);
    EXPECT_EQ(rect().bottom, 716);
    openEditor();
    EXPECT_EQ(window->zoom(), 2);
    closeEditor();
    store->writeInteger(kSettingsSubkey, "Zoom", 1);
  }
}

}  // namespace
