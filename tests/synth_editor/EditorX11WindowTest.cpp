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
#include <memory>
#include <string>
#include <thread>

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
  click(24 + 40, 67 + 5);  // still answers: osc1wave, last field
  EXPECT_FLOAT_EQ(plugin->getParameter(kWav1), 0.3f);
}

}  // namespace
