// Marrowglint's editor through the plug-in binary in a real Win32 window:
// mouse messages go to the editor's window as the system posts them, the
// assignment box is answered by typing into its edit field, and the results
// are read back through getParameter, the registry and the window's pixels.

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/Opcodes.h"
#include "host/Plugin.h"
#include "platform/SettingsStore.h"
#include "synth/editor/artwork/Artwork.h"
#include "tests/editors/HostParentWindow.h"

#include <windows.h>

namespace {

constexpr int kWav1 = 0, kPWM = 16, kLFOWav = 26;

class MarrowglintWin32Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(parent.valid());
    beforeLoad();
    plugin = host::Plugin::load(std::string(VORNHALT_PLUGIN_DIR) + "/Marrowglint.dll");
    ASSERT_NE(plugin, nullptr);
    plugin->start();
    ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle()), 1);
    pump(200);
    child = GetWindow(static_cast<HWND>(parent.handle()), GW_CHILD);
    ASSERT_NE(child, nullptr);
  }
  void TearDown() override {
    if (plugin) plugin->close();
  }
  virtual void beforeLoad() {}
  void pump(int ms = 100) {
    parent.pump([this] { plugin->dispatch(vst::effEditIdle); }, ms);
  }
  void post(UINT message, WPARAM keys, int x, int y) {
    PostMessageW(child, message, keys, MAKELPARAM(x, y));
  }
  void click(int x, int y, WPARAM extraKeys = 0) {
    post(WM_MOUSEMOVE, extraKeys, x, y);
    post(WM_LBUTTONDOWN, MK_LBUTTON | extraKeys, x, y);
    post(WM_LBUTTONUP, extraKeys, x, y);
    pump();
  }
  COLORREF pixel(int x, int y) {
    UpdateWindow(child);
    HDC dc = GetDC(child);
    const COLORREF value = GetPixel(dc, x, y);
    ReleaseDC(child, dc);
    return value;
  }
  static COLORREF colorOf(gui::Color c) { return RGB(gui::redOf(c), gui::greenOf(c), gui::blueOf(c)); }

  editortest::HostParentWindow parent;
  std::unique_ptr<host::Plugin> plugin;
  HWND child = nullptr;
};

TEST_F(MarrowglintWin32Editor, ASelectorClickAPadDragAndAShiftGestureReachTheEngine) {
  click(24 + 15, 67 + 5);
  EXPECT_FLOAT_EQ(plugin->getParameter(kWav1), 0.1f);

  post(WM_LBUTTONDOWN, MK_LBUTTON, 18 + 10, 203);
  for (int y = 203; y <= 203 + 40; y += 5) post(WM_MOUSEMOVE, MK_LBUTTON, 18 + 10, y);
  post(WM_LBUTTONUP, 0, 18 + 10, 243);
  pump();
  EXPECT_FLOAT_EQ(plugin->getParameter(kPWM), 1.0f);

  click(25 + 30, 285 + 5, MK_SHIFT);  // Shift+left on the LFO destination: square wave
  EXPECT_FLOAT_EQ(plugin->getParameter(kLFOWav), 0.2f);
}

TEST_F(MarrowglintWin32Editor, TheAssignmentBoxIsAnsweredByTyping) {
  // The box is modal: the user types into it from outside while it runs.
  std::thread typist([] {
    HWND box = nullptr;
    for (int i = 0; i < 300 && box == nullptr; ++i) {
      box = FindWindowW(nullptr, L"Assign controller");
      if (box == nullptr) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (box == nullptr) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    SetForegroundWindow(box);
    // Keystrokes as the keyboard gives them: 7, 4, Return.
    const auto press = [](WORD key) {
      INPUT strokes[2] = {};
      strokes[0].type = strokes[1].type = INPUT_KEYBOARD;
      strokes[0].ki.wVk = strokes[1].ki.wVk = key;
      strokes[1].ki.dwFlags = KEYEVENTF_KEYUP;
      SendInput(2, strokes, sizeof(INPUT));
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    };
    press('7');
    press('4');
    press(VK_RETURN);
  });
  click(18 + 10, 203 + 10, MK_SHIFT);
  pump(300);
  typist.join();
  pump();
  EXPECT_EQ(platform::userSettingsStore()->readInteger("Marrowglint", "CC Effect1", -1), 74);
}

TEST_F(MarrowglintWin32Editor, TheInfoScreenOpensAndClosesOnClicks) {
  const gui::Canvas info = marrowglint::artwork::infoScreen();
  const gui::Canvas panel = marrowglint::artwork::panel();
  const int x = 120, y = 88;
  ASSERT_NE(colorOf(info.pixel(x, y)), colorOf(panel.pixel(x, y)));
  EXPECT_EQ(pixel(x, y), colorOf(panel.pixel(x, y)));
  click(100, 28);
  EXPECT_EQ(pixel(x, y), colorOf(info.pixel(x, y)));
  click(x, y);
  EXPECT_EQ(pixel(x, y), colorOf(panel.pixel(x, y)));
}

TEST_F(MarrowglintWin32Editor, FiftyOpenCloseCyclesLeaveNoWindowBehind) {
  plugin->dispatch(vst::effEditClose);
  pump(20);
  for (int cycle = 0; cycle < 50; ++cycle) {
    ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle()), 1);
    pump(10);
    ASSERT_EQ(parent.childCount(), 1) << "cycle " << cycle;
    plugin->dispatch(vst::effEditClose);
    pump(10);
    ASSERT_EQ(parent.childCount(), 0) << "cycle " << cycle;
  }
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle()), 1);
  pump();
  child = GetWindow(static_cast<HWND>(parent.handle()), GW_CHILD);
  click(24 + 40, 67 + 5);
  EXPECT_FLOAT_EQ(plugin->getParameter(kWav1), 0.3f);
}

// The editor at 200 %: "Zoom" in the registry before the plug-in loads (put
// back to 1 afterwards), and a host answering canDo "sizeWindow" and the call.
class MarrowglintWin32EditorZoom : public MarrowglintWin32Editor {
 protected:
  void beforeLoad() override { platform::userSettingsStore()->writeInteger("Marrowglint", "Zoom", zoomAtLoad()); }
  void TearDown() override {
    MarrowglintWin32Editor::TearDown();
    platform::userSettingsStore()->writeInteger("Marrowglint", "Zoom", 1);
  }
  virtual int zoomAtLoad() const { return 2; }
  void answerSizeWindow(int canDo, bool accept) {
    plugin->setResponder(
        [this, canDo, accept](const host::HostCall& call, void* ptr) -> std::optional<vst::VstIntPtr> {
          if (call.opcode == vst::audioMasterCanDo && ptr != nullptr &&
              std::strcmp(static_cast<const char*>(ptr), "sizeWindow") == 0) {
            return canDo;
          }
          if (call.opcode == vst::audioMasterSizeWindow) {
            sizeWindowCalls.emplace_back(call.index, static_cast<int>(call.value));
            return accept ? 1 : 0;
          }
          return std::nullopt;
        });
  }
  std::pair<int, int> childSize() {
    int width = 0, height = 0;
    EXPECT_TRUE(parent.childSize(width, height));
    return {width, height};
  }
  std::pair<int, int> editorRect() {
    vst::ERect* rect = nullptr;
    plugin->dispatch(vst::effEditGetRect, 0, 0, &rect);
    return rect == nullptr ? std::pair<int, int>{0, 0} : std::pair<int, int>{rect->right, rect->bottom};
  }
  // The info screen (Image3's left part), then the "200 %" of its size area:
  // area 39, 264; the choice's middle 129, 8.
  void chooseTwoHundredPercent() {
    click(32 + 10, 324 + 5);
    click(39 + 129, 264 + 8);
    pump();
  }
  int storedZoom() { return platform::userSettingsStore()->readInteger("Marrowglint", "Zoom", -1); }

  std::vector<std::pair<int, int>> sizeWindowCalls;
};

class MarrowglintWin32EditorFullSize : public MarrowglintWin32EditorZoom {
 protected:
  int zoomAtLoad() const override { return 1; }
};

TEST_F(MarrowglintWin32EditorZoom, TheDoubledWindowShowsBlocksAndTakesDoubledClicks) {
  EXPECT_EQ(childSize(), std::make_pair(478, 716));
  EXPECT_EQ(editorRect(), std::make_pair(478, 716));
  const gui::Canvas panel = marrowglint::artwork::panel();
  // Read in the upper part: the doubled window reaches below the host
  // window's client area.
  const int x = 120, y = 88;
  for (int corner = 0; corner < 4; ++corner) {
    EXPECT_EQ(pixel(2 * x + corner % 2, 2 * y + corner / 2), colorOf(panel.pixel(x, y)));
  }
  click(2 * (24 + 15) + 1, 2 * (67 + 5) + 1);  // osc1wave, second field, as at 100 %
  EXPECT_FLOAT_EQ(plugin->getParameter(kWav1), 0.1f);
}

TEST_F(MarrowglintWin32EditorFullSize, AHostThatResizesGetsOneSizeWindowCallWhenTheUserSwitches) {
  EXPECT_EQ(childSize(), std::make_pair(239, 358));
  answerSizeWindow(1, true);
  chooseTwoHundredPercent();
  ASSERT_EQ(sizeWindowCalls.size(), 1u);
  EXPECT_EQ(sizeWindowCalls[0], std::make_pair(478, 716));
  EXPECT_EQ(childSize(), std::make_pair(478, 716));
  EXPECT_EQ(editorRect(), std::make_pair(478, 716));
  EXPECT_EQ(storedZoom(), 2);
}

TEST_F(MarrowglintWin32EditorFullSize, AHostThatRefusesGetsTheNewSizeAtTheNextOpen) {
  answerSizeWindow(0, false);
  chooseTwoHundredPercent();
  EXPECT_TRUE(sizeWindowCalls.empty());
  EXPECT_EQ(childSize(), std::make_pair(239, 358));
  EXPECT_EQ(storedZoom(), 2);
  plugin->dispatch(vst::effEditClose);
  pump(40);
  EXPECT_EQ(editorRect(), std::make_pair(478, 716));
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle()), 1);
  pump(200);
  EXPECT_EQ(childSize(), std::make_pair(478, 716));
}

}  // namespace
