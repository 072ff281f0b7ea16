// Marrowglint's editor through the plug-in binary in a real X11 window:
// pointer and keys come from the XTest extension as a user's would, and the
// results are read back through getParameter, the settings file and the
// window's pixels.

#include <gtest/gtest.h>

#include "tests/support/Prerequisites.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "framework/Opcodes.h"
#include "host/Plugin.h"
#include "synth/editor/artwork/Artwork.h"
#include "tests/editors/HostParentWindow.h"

// Last: the X11 headers define macros that clash with the rest.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

constexpr int kWav1 = 0, kPWM = 16, kLFOWav = 26;

// A user at the keyboard and mouse, through XTest on its own connection.
class FakeUser {
 public:
  FakeUser() : display(XOpenDisplay(nullptr)) {
    int event = 0, error = 0, major = 0, minor = 0;
    usable = display != nullptr && XTestQueryExtension(display, &event, &error, &major, &minor);
  }
  ~FakeUser() {
    if (display != nullptr) XCloseDisplay(display);
  }
  bool usable = false;

  // Points are in the editor window; `child` is that window.
  void moveTo(Window child, int x, int y) {
    int rootX = 0, rootY = 0;
    Window unused = 0;
    XTranslateCoordinates(display, child, DefaultRootWindow(display), x, y, &rootX, &rootY, &unused);
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    XFlush(display);
  }
  void button(unsigned int which, bool down) {
    XTestFakeButtonEvent(display, which, down ? True : False, CurrentTime);
    XFlush(display);
  }
  void key(KeySym symbol, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), down ? True : False, CurrentTime);
    XFlush(display);
  }
  void type(const std::string& text) {
    for (const char c : text) {
      const KeySym symbol = static_cast<KeySym>(c);
      key(symbol, true);
      key(symbol, false);
    }
  }
  // The window's pixel, as the screen shows it.
  unsigned long pixel(Window child, int x, int y) {
    XImage* image = XGetImage(display, child, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) return 0;
    const unsigned long value = XGetPixel(image, 0, 0) & 0xFFFFFFul;
    XDestroyImage(image);
    return value;
  }
  Window childOf(Window parent) {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, parent, &root, &up, &children, &count);
    const Window child = count > 0 ? children[0] : 0;
    if (children != nullptr) XFree(children);
    return child;
  }

 private:
  Display* display;
};

class MarrowglintX11Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    VORNHALT_REQUIRE_PREREQUISITE(parent.valid() && user.usable, "a display with XTest (the test command provides one)");
    // A settings folder of this test's own.
    configHome = std::filesystem::path(VORNHALT_BINARY_DIR) / "tests" / "synth_editor" / "x11-config";
    std::filesystem::remove_all(configHome);
    std::filesystem::create_directories(configHome);
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    beforeLoad();
    plugin = host::Plugin::load(std::string(VORNHALT_PLUGIN_DIR) + "/Marrowglint.so");
    ASSERT_NE(plugin, nullptr);
    plugin->start();
    ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle()), 1);
    pump(200);
    child = user.childOf(static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent.handle())));
    ASSERT_NE(child, 0u);
  }
  void TearDown() override {
    if (plugin) plugin->close();
  }
  virtual void beforeLoad() {}
  void pump(int ms = 120) {
    parent.pump([this] { plugin->dispatch(vst::effEditIdle); }, ms);
  }
  void click(int x, int y, unsigned int button = 1) {
    user.moveTo(child, x, y);
    pump(40);
    user.button(button, true);
    pump(40);
    user.button(button, false);
    pump();
  }
  std::string settingsText() {
    std::ifstream in(configHome / "Vornhalt" / "Marrowglint.ini");
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  editortest::HostParentWindow parent;
  FakeUser user;
  std::filesystem::path configHome;
  std::unique_ptr<host::Plugin> plugin;
  Window child = 0;
};

TEST_F(MarrowglintX11Editor, ASelectorClickAPadDragAndAShiftGestureReachTheEngine) {
  click(24 + 15, 67 + 5);  // osc1wave, second field
  EXPECT_FLOAT_EQ(plugin->getParameter(kWav1), 0.1f);

  user.moveTo(child, 18 + 10, 203);  // pad 1, from its top edge down
  pump(40);
  user.button(1, true);
  pump(40);
  for (int y = 203; y <= 203 + 40; y += 5) {
    user.moveTo(child, 18 + 10, y);
    pump(20);
  }
  user.button(1, false);
  pump();
  EXPECT_FLOAT_EQ(plugin->getParameter(kPWM), 1.0f);

  user.key(XK_Shift_L, true);
  click(25 + 30, 285 + 5);  // Shift+left on the LFO destination: square wave
  user.key(XK_Shift_L, false);
  pump();
  EXPECT_FLOAT_EQ(plugin->getParameter(kLFOWav), 0.2f);
}

TEST_F(MarrowglintX11Editor, TheAssignmentBoxIsAnsweredByTyping) {
  // The user acts on a thread (and connection) of their own while the host
  // keeps calling the editor's idle: whether the box waits inside the press
  // or answers later from idle, the typing reaches it.
  const Window editor = child;
  std::thread typist([editor] {
    FakeUser hands;
    hands.key(XK_Shift_L, true);
    hands.moveTo(editor, 18 + 10, 203 + 10);  // Shift+left on pad 1
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    hands.button(1, true);
    hands.button(1, false);
    hands.key(XK_Shift_L, false);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    hands.key(XK_End, true);
    hands.key(XK_End, false);
    for (int i = 0; i < 3; ++i) {
      hands.key(XK_BackSpace, true);
      hands.key(XK_BackSpace, false);
    }
    hands.type("74");
    hands.key(XK_Return, true);
    hands.key(XK_Return, false);
  });
  pump(1500);
  typist.join();
  pump(300);
  EXPECT_NE(settingsText().find("CC Effect1=74"), std::string::npos) << settingsText();
}

TEST_F(MarrowglintX11Editor, TheInfoScreenOpensAndClosesOnClicks) {
  const gui::Canvas info = marrowglint::artwork::infoScreen();
  const gui::Canvas panel = marrowglint::artwork::panel();
  const int x = 120, y = 88;  // where the two pictures differ
  ASSERT_NE(info.pixel(x, y) & 0xFFFFFFu, panel.pixel(x, y) & 0xFFFFFFu);
  EXPECT_EQ(user.pixel(child, x, y), panel.pixel(x, y) & 0xFFFFFFu);
  click(100, 28);  // the title opens the info screen
  EXPECT_EQ(user.pixel(child, x, y), info.pixel(x, y) & 0xFFFFFFu);
  click(x, y);
  EXPECT_EQ(user.pixel(child, x, y), panel.pixel(x, y) & 0xFFFFFFu);
}

TEST_F(MarrowglintX11Editor, FiftyOpenCloseCyclesLeaveNoWindowBehind) {
  plugin->dispatch(vst::effEditClose);
  pump(40);
  for (int cycle = 0; cycle < 50; ++cycle) {
    ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle()), 1);
    pump(20);
    ASSERT_EQ(parent.childCount(), 1) << "cycle " << cycle;
    plugin->dispatch(vst::effEditClose);
    pump(10);
    ASSERT_EQ(parent.childCount(), 0) << "cycle " << cycle;
  }
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle()), 1);
  pump();
  // A new editor window: the one found at the start is long gone.
  child = user.childOf(static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent.handle())));
  ASSERT_NE(child, 0u);
  click(24 + 40, 67 + 5);  // still answers: osc1wave, last field
  EXPECT_FLOAT_EQ(plugin->getParameter(kWav1), 0.3f);
}

// The editor at 200 %: "Zoom" in the settings file before the plug-in loads,
// and a host answering canDo "sizeWindow" and the call itself.
class MarrowglintX11EditorZoom : public MarrowglintX11Editor {
 protected:
  void beforeLoad() override {
    std::filesystem::create_directories(configHome / "Vornhalt");
    std::ofstream(configHome / "Vornhalt" / "Marrowglint.ini") << "[Marrowglint]\nZoom=" << zoomAtLoad() << "\n";
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
  }

  std::vector<std::pair<int, int>> sizeWindowCalls;
};

class MarrowglintX11EditorFullSize : public MarrowglintX11EditorZoom {
 protected:
  int zoomAtLoad() const override { return 1; }
};

TEST_F(MarrowglintX11EditorZoom, TheDoubledWindowShowsBlocksAndTakesDoubledClicks) {
  EXPECT_EQ(childSize(), std::make_pair(478, 716));
  EXPECT_EQ(editorRect(), std::make_pair(478, 716));
  const gui::Canvas panel = marrowglint::artwork::panel();
  for (const auto& [x, y] : {std::pair{120, 88}, std::pair{200, 250}}) {
    for (int corner = 0; corner < 4; ++corner) {
      EXPECT_EQ(user.pixel(child, 2 * x + corner % 2, 2 * y + corner / 2), panel.pixel(x, y) & 0xFFFFFFu)
          << x << ", " << y;
    }
  }
  click(2 * (24 + 15) + 1, 2 * (67 + 5) + 1);  // osc1wave, second field, as at 100 %
  EXPECT_FLOAT_EQ(plugin->getParameter(kWav1), 0.1f);
}

TEST_F(MarrowglintX11EditorFullSize, AHostThatResizesGetsOneSizeWindowCallWhenTheUserSwitches) {
  EXPECT_EQ(childSize(), std::make_pair(239, 358));
  answerSizeWindow(1, true);
  chooseTwoHundredPercent();
  ASSERT_EQ(sizeWindowCalls.size(), 1u);
  EXPECT_EQ(sizeWindowCalls[0], std::make_pair(478, 716));
  EXPECT_EQ(childSize(), std::make_pair(478, 716));
  EXPECT_EQ(editorRect(), std::make_pair(478, 716));
  EXPECT_NE(settingsText().find("Zoom=2"), std::string::npos) << settingsText();
}

TEST_F(MarrowglintX11EditorFullSize, AHostThatRefusesGetsTheNewSizeAtTheNextOpen) {
  answerSizeWindow(0, false);
  chooseTwoHundredPercent();
  EXPECT_TRUE(sizeWindowCalls.empty());
  EXPECT_EQ(childSize(), std::make_pair(239, 358));
  EXPECT_NE(settingsText().find("Zoom=2"), std::string::npos) << settingsText();
  plugin->dispatch(vst::effEditClose);
  pump(40);
  EXPECT_EQ(editorRect(), std::make_pair(478, 716));
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent.handle()), 1);
  pump(200);
  EXPECT_EQ(childSize(), std::make_pair(478, 716));
}

}  // namespace
