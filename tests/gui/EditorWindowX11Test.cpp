// The editor inside a real parent window on X11 (Xvfb in the build): opened
// through the host's editor opcodes, clicked through real window events,
// captured to a PNG, closed and reopened by the counts of the editor hosting
// rules. Events reach the plug-in only through the host's editor idle.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <thread>

#include "gui/Canvas.h"
#include "tests/gui/EditorWindowTestSupport.h"
#include "tests/support/Prerequisites.h"

// Last: Xlib's macros (None, Status, ...) clash with names in the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using namespace editorprobe;

class X11EditorWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    VORNHALT_REQUIRE_PREREQUISITE(std::getenv("DISPLAY") != nullptr, "an X display (DISPLAY)");
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "DISPLAY is set but the server does not answer";
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 760, 600, 0, 0,
                                 WhitePixel(display, DefaultScreen(display)));
    XMapWindow(display, parent);
    XSync(display, False);
    plugin = host::Plugin::load(probePath());
    ASSERT_NE(plugin, nullptr);
    plugin->start();
  }
  void TearDown() override {
    if (plugin) plugin->close();
    plugin.reset();
    if (display != nullptr) {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
  }

  void* parentHandle() const { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(parent)); }

  // The host's editor idle, called for a while as a host's timer would.
  void idle(int milliseconds = 200) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      XSync(display, False);
      plugin->dispatch(vst::effEditIdle);
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  Window editorChild() const {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, parent, &root, &up, &children, &count);
    const Window child = count > 0 ? children[0] : 0;
    if (children != nullptr) XFree(children);
    return child;
  }

  bool mapped(Window window) const {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    return attributes.map_state == IsViewable;
  }

  void sendButton(Window window, int type, int x, int y, unsigned int state) {
    XEvent event{};
    event.xbutton.type = type;
    event.xbutton.display = display;
    event.xbutton.window = window;
    event.xbutton.root = DefaultRootWindow(display);
    event.xbutton.x = x;
    event.xbutton.y = y;
    event.xbutton.button = Button1;
    event.xbutton.state = state;
    event.xbutton.same_screen = True;
    event.xbutton.time = CurrentTime;
    XSendEvent(display, window, True, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask, &event);
    XFlush(display);
  }

  // The window's pixels, at most `limit` of them across and down (a window
  // larger than the screen can only be read where it is on it).
  gui::Canvas capture(Window window, int limit = 100000) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    attributes.width = std::min(attributes.width, limit);
    attributes.height = std::min(attributes.height, limit);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    gui::Canvas canvas(attributes.width, attributes.height);
    if (image == nullptr) return canvas;
    for (int y = 0; y < attributes.height; ++y) {
      for (int x = 0; x < attributes.width; ++x) {
        canvas.pixels()[y * attributes.width + x] = static_cast<std::uint32_t>(XGetPixel(image, x, y)) | 0xFF000000u;
      }
    }
    XDestroyImage(image);
    return canvas;
  }

  Display* display = nullptr;
  Window parent = 0;
  std::unique_ptr<host::Plugin> plugin;
};

TEST_F(X11EditorWindow, OpensAChildOfTheHostWindowOfTheEditorSize) {
  vst::ERect* rect = nullptr;
  EXPECT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, kWidth);
  EXPECT_EQ(rect->bottom - rect->top, kHeight);

  EXPECT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parentHandle()), 1);
  XSync(display, False);
  const Window child = editorChild();
  ASSERT_NE(child, 0u);
  EXPECT_TRUE(mapped(child));
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, child, &attributes);
  EXPECT_EQ(attributes.width, kWidth);
  EXPECT_EQ(attributes.height, kHeight);
  idle();

  // A click as window events; it takes effect at the host's next idle.
  sendButton(child, ButtonPress, kButtonLeft + 10, kButtonTop + 10, 0);
  sendButton(child, ButtonRelease, kButtonLeft + 10, kButtonTop + 10, Button1Mask);
  EXPECT_FALSE(clickAutomated(*plugin));
  idle();
  EXPECT_TRUE(clickAutomated(*plugin));

  const gui::Canvas screenshot = capture(child);
  ASSERT_TRUE(screenshot.savePng(artefactPath("editor_window_x11.png")));
  EXPECT_EQ(screenshot.pixel(kButtonLeft + 30, kButtonTop + 30) & 0xFFFFFFu, 0x00FF00u);
  EXPECT_EQ(screenshot.pixel(5, 400) & 0xFFFFFFu, 0x101830u);
  plugin->dispatch(vst::effEditClose);
  XSync(display, False);
  EXPECT_EQ(editorChild(), 0u);
}

TEST_F(X11EditorWindow, MessageBoxIsDrawnInTheWindowAndAnsweredByKey) {
  plugin->dispatch(vst::effEditOpen, 0, 0, parentHandle());
  XSync(display, False);
  const Window child = editorChild();
  idle(50);
  // The key comes from another connection, as a user's would, while the
  // host goes on calling idle.
  std::thread user([child] {
    Display* other = XOpenDisplay(nullptr);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    XEvent key{};
    key.xkey.type = KeyPress;
    key.xkey.display = other;
    key.xkey.window = child;
    key.xkey.root = DefaultRootWindow(other);
    key.xkey.keycode = XKeysymToKeycode(other, XStringToKeysym("Return"));
    key.xkey.same_screen = True;
    XSendEvent(other, child, True, KeyPressMask, &key);
    XCloseDisplay(other);
  });
  sendButton(child, ButtonPress, kQuestionLeft + 10, kButtonTop + 10, 0);
  sendButton(child, ButtonRelease, kQuestionLeft + 10, kButtonTop + 10, Button1Mask);
  idle(600);  // the box is answered by the idle calls after the key arrives
  user.join();
  const std::vector<int> seen = traces(*plugin);
  EXPECT_EQ(countOf(seen, answeredYes), 1);  // Enter takes the first button
  EXPECT_EQ(countOf(seen, answeredOther), 0);
  plugin->dispatch(vst::effEditClose);
}

TEST_F(X11EditorWindow, AtTwoHundredPercentEveryFormPixelIsABlockAndClicksAreHalved) {
  plugin->close();
  setenv("VORNHALT_PROBE_ZOOM", "2", 1);
  plugin = host::Plugin::load(probePath());
  unsetenv("VORNHALT_PROBE_ZOOM");
  ASSERT_NE(plugin, nullptr);
  plugin->start();
  vst::ERect* rect = nullptr;
  plugin->dispatch(vst::effEditGetRect, 0, 0, &rect);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right, 2 * kWidth);
  EXPECT_EQ(rect->bottom, 2 * kHeight);
  plugin->dispatch(vst::effEditOpen, 0, 0, parentHandle());
  XSync(display, False);
  const Window child = editorChild();
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, child, &attributes);
  EXPECT_EQ(attributes.width, 2 * kWidth);
  EXPECT_EQ(attributes.height, 2 * kHeight);
  idle();
  // The square's last form pixel, clicked at its doubled place.
  const int x = 2 * (kButtonLeft + kButtonSize) - 1, y = 2 * (kButtonTop + kButtonSize) - 1;
  sendButton(child, ButtonPress, x, y, 0);
  sendButton(child, ButtonRelease, x, y, Button1Mask);
  idle();
  EXPECT_TRUE(clickAutomated(*plugin));
  const gui::Canvas screenshot = capture(child, 600);  // the parent shows 760 x 600 of it
  ASSERT_TRUE(screenshot.savePng(artefactPath("editor_window_x11_200.png")));
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      EXPECT_EQ(screenshot.pixel(2 * kButtonLeft + dx, 2 * kButtonTop + dy) & 0xFFFFFFu, 0x00FF00u);
    }
  }
  EXPECT_EQ(screenshot.pixel(2 * kButtonLeft - 1, 2 * kButtonTop) & 0xFFFFFFu, 0x101830u);
  plugin->dispatch(vst::effEditClose);
}

TEST_F(X11EditorWindow, CloseAndReopenFollowTheOpenCount) {
  plugin->dispatch(vst::effEditOpen, 0, 0, parentHandle());
  XSync(display, False);
  const Window first = editorChild();
  plugin->dispatch(vst::effEditOpen, 0, 0, parentHandle());
  XSync(display, False);
  EXPECT_EQ(editorChild(), first);
  plugin->dispatch(vst::effEditClose);
  XSync(display, False);
  EXPECT_EQ(editorChild(), first);  // kept, hidden
  EXPECT_FALSE(mapped(first));
  plugin->dispatch(vst::effEditClose);
  XSync(display, False);
  EXPECT_EQ(editorChild(), 0u);
  plugin->dispatch(vst::effEditClose);
  plugin->dispatch(vst::effEditOpen, 0, 0, parentHandle());
  XSync(display, False);
  const Window second = editorChild();
  ASSERT_NE(second, 0u);
  EXPECT_TRUE(mapped(second));
  const std::vector<int> seen = traces(*plugin);
  EXPECT_EQ(countOf(seen, windowCreated), 2);
  EXPECT_EQ(countOf(seen, windowDestroyed), 1);
  plugin->dispatch(vst::effEditClose);
}

}  // namespace
