// The editor's boxes, menus and drops on X11 through real input: the XTest
// extension moves the pointer, clicks and types as a user would, while a
// second thread plays the host's GUI thread and calls effEditIdle every
// 20 ms. No idle call may hold that thread: every answer arrives through
// the idle calls, and the keyboard goes back to the host's window after a
// box.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "gui/Canvas.h"
#include "tests/gui/EditorWindowTestSupport.h"

// Last: Xlib's macros (None, Status, ...) clash with names in the headers above.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using namespace editorprobe;
using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class X11EditorBoxes : public ::testing::Test {
 protected:
  void SetUp() override {
    display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr) << "no X display (the test command provides one)";
    int event = 0, error = 0, major = 0, minor = 0;
    ASSERT_TRUE(XTestQueryExtension(display, &event, &error, &major, &minor)) << "the display has no XTest";
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 760, 600, 0, 0,
                                 WhitePixel(display, DefaultScreen(display)));
    XSelectInput(display, parent, KeyPressMask);
    XMapWindow(display, parent);
    XSync(display, False);
    // The host's window has the keyboard, as in a host that keeps it.
    XSetInputFocus(display, parent, RevertToParent, CurrentTime);
    XSync(display, False);

    host::Plugin::LoadError loadError{};
    std::string message;
    plugin = host::Plugin::load(probePath(), {}, loadError, message,
                                [this](const host::HostCall& call, void* ptr) -> std::optional<vst::VstIntPtr> {
                                  if (call.opcode == kTraceOpcode && call.index == kTraceIndex) {
                                    std::lock_guard<std::mutex> lock(mutex);
                                    seen.push_back(static_cast<int>(call.value));
                                    if (call.value == droppedFile && ptr != nullptr) {
                                      dropped.emplace_back(static_cast<const char*>(ptr));
                                    }
                                    changed.notify_all();
                                  }
                                  return std::nullopt;
                                });
    ASSERT_NE(plugin, nullptr) << message;
    plugin->start();
    startHostGuiThread();
  }

  void TearDown() override {
    stopHostGuiThread();
    if (plugin) plugin->close();
    plugin.reset();
    if (display != nullptr) {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
  }

  // The host's GUI thread: opens the editor, then idles every 20 ms and
  // measures each idle call, until the test ends; closes the editor.
  void startHostGuiThread() {
    const Window parentWindow = parent;
    gui = std::thread([this, parentWindow] {
      plugin->dispatch(vst::effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<std::uintptr_t>(parentWindow)));
      opened.store(true);
      while (!stopping.load()) {
        const auto start = Clock::now();
        plugin->dispatch(vst::effEditIdle);
        const auto took = std::chrono::duration_cast<milliseconds>(Clock::now() - start).count();
        if (took > longestIdleMs.load()) longestIdleMs.store(took);
        std::this_thread::sleep_for(milliseconds(20));
      }
      plugin->dispatch(vst::effEditClose);
    });
    while (!opened.load()) std::this_thread::sleep_for(milliseconds(5));
    XSync(display, False);
    child = editorChild();
    ASSERT_NE(child, 0u);
  }
  void stopHostGuiThread() {
    if (!gui.joinable()) return;
    stopping.store(true);
    gui.join();
    RecordProperty("longest_idle_ms", static_cast<int>(longestIdleMs.load()));
    std::printf("longest effEditIdle call: %lld ms\n", longestIdleMs.load());
  }

  Window editorChild() const {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, parent, &root, &up, &children, &count);
    const Window found = count > 0 ? children[0] : 0;
    if (children != nullptr) XFree(children);
    return found;
  }

  // Waits until the probe traced `value`; false after two seconds.
  bool waitForTrace(int value) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, milliseconds(2000), [&] {
      for (int v : seen) {
        if (v == value) return true;
      }
      return false;
    });
  }
  std::vector<int> traced() {
    std::lock_guard<std::mutex> lock(mutex);
    return seen;
  }

  Window focus() const {
    Window focused = 0;
    int revert = 0;
    XGetInputFocus(display, &focused, &revert);
    return focused;
  }
  bool waitForFocus(Window wanted) const {
    const auto end = Clock::now() + milliseconds(2000);
    while (Clock::now() < end) {
      if (focus() == wanted) return true;
      std::this_thread::sleep_for(milliseconds(10));
    }
    return false;
  }

  // Real input, as a user gives it.
  void pointerTo(int x, int y) {
    int rootX = 0, rootY = 0;
    Window ignored = 0;
    XTranslateCoordinates(display, child, DefaultRootWindow(display), x, y, &rootX, &rootY, &ignored);
    XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
    XSync(display, False);
  }
  void click(int x, int y) {
    pointerTo(x, y);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
  }
  void press(KeySym symbol) {
    const KeyCode code = XKeysymToKeycode(display, symbol);
    XTestFakeKeyEvent(display, code, True, CurrentTime);
    XTestFakeKeyEvent(display, code, False, CurrentTime);
    XSync(display, False);
    std::this_thread::sleep_for(milliseconds(30));
  }

  gui::Canvas capture() {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, child, &attributes);
    XImage* image = XGetImage(display, child, 0, 0, static_cast<unsigned>(attributes.width),
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
  // The rectangle of pixels that differ between two captures.
  static gui::Rect changedArea(const gui::Canvas& before, const gui::Canvas& after) {
    gui::Rect area{after.width(), after.height(), 0, 0};
    for (int y = 0; y < after.height(); ++y) {
      for (int x = 0; x < after.width(); ++x) {
        if (before.pixel(x, y) == after.pixel(x, y)) continue;
        area = {std::min(area.left, x), std::min(area.top, y), std::max(area.right, x + 1),
                std::max(area.bottom, y + 1)};
      }
    }
    return area;
  }
  gui::Canvas captureWhenChanged(const gui::Canvas& before) {
    const auto end = Clock::now() + milliseconds(2000);
    gui::Canvas now = capture();
    while (Clock::now() < end && changedArea(before, now).empty()) {
      std::this_thread::sleep_for(milliseconds(20));
      now = capture();
    }
    return now;
  }

  Display* display = nullptr;
  Window parent = 0;
  Window child = 0;
  std::unique_ptr<host::Plugin> plugin;
  std::thread gui;
  std::atomic<bool> opened{false};
  std::atomic<bool> stopping{false};
  std::atomic<long long> longestIdleMs{0};
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<int> seen;
  std::vector<std::string> dropped;
};

TEST_F(X11EditorBoxes, TypedAnswersArriveWhileTheHostKeepsIdlingAndTheKeyboardComesBack) {
  // A click outside any box leaves the host's keyboard where it is.
  click(kButtonLeft + 10, kButtonTop + 10);
  std::this_thread::sleep_for(milliseconds(100));
  EXPECT_EQ(focus(), parent);

  // The handler asks twice: a number, then whether to keep it.
  click(kInputLeft + 10, kButtonTop + 10);
  ASSERT_TRUE(waitForFocus(child)) << "the box did not take the keyboard";
  press(XK_7);  // replaces the selected default text "12"
  press(XK_4);
  press(XK_Return);
  press(XK_Return);  // "Yes" is the first button
  ASSERT_TRUE(waitForTrace(typedBase + 74)) << "the typed number did not arrive";
  EXPECT_TRUE(waitForFocus(parent)) << "the keyboard did not go back to the host's window";

  // Escape cancels; the handler stops at its first question. (Far enough
  // apart in time not to be a double click.)
  std::this_thread::sleep_for(milliseconds(600));
  click(kInputLeft + 10, kButtonTop + 10);
  ASSERT_TRUE(waitForFocus(child));
  press(XK_Escape);
  EXPECT_TRUE(waitForTrace(typedCancelled));
  EXPECT_TRUE(waitForFocus(parent));

  stopHostGuiThread();
  EXPECT_LE(longestIdleMs.load(), 50) << "an idle call held the host's GUI thread";
}

TEST_F(X11EditorBoxes, ClosingTheEditorWhileABoxIsOpenAnswersCancelAndReturnsTheKeyboard) {
  click(kInputLeft + 10, kButtonTop + 10);
  ASSERT_TRUE(waitForFocus(child));
  press(XK_9);
  stopHostGuiThread();  // the host closes the editor
  EXPECT_TRUE(waitForTrace(typedCancelled));
  EXPECT_TRUE(waitForFocus(parent));
}

TEST_F(X11EditorBoxes, AMenuOpenedInTheCornerIsWholeAndChosenByKeyboardAndByMouse) {
  std::this_thread::sleep_for(milliseconds(100));
  const gui::Canvas before = capture();
  click(kMenuLeft + kMenuSize - 2, kMenuTop + kMenuSize - 2);
  const gui::Canvas shown = captureWhenChanged(before);
  const gui::Rect menu = changedArea(before, shown);
  ASSERT_FALSE(menu.empty()) << "no menu appeared";
  shown.savePng(artefactPath("editor_menu_x11.png"));
  // Whole inside the window, all 13 items of 18 pixels.
  EXPECT_GE(menu.left, 0);
  EXPECT_GE(menu.top, 0);
  EXPECT_LE(menu.right, kWidth);
  EXPECT_LE(menu.bottom, kHeight);
  EXPECT_GE(menu.height(), kMenuItems * 18);

  press(XK_Down);  // the first item
  press(XK_Down);
  press(XK_Down);
  press(XK_Return);
  EXPECT_TRUE(waitForTrace(menuBase + 2));

  const gui::Canvas closed = captureWhenChanged(shown);
  EXPECT_TRUE(changedArea(before, closed).empty()) << "the menu left pixels behind";

  click(kMenuLeft + kMenuSize - 2, kMenuTop + kMenuSize - 2);
  const gui::Rect again = changedArea(before, captureWhenChanged(before));
  ASSERT_EQ(again, menu);
  // Item 6 (index 5): the items start 2 pixels below the menu's top edge.
  pointerTo(again.left + 20, again.top + 2 + 5 * 18 + 9);
  click(again.left + 20, again.top + 2 + 5 * 18 + 9);
  EXPECT_TRUE(waitForTrace(menuBase + 5));

  stopHostGuiThread();
  EXPECT_LE(longestIdleMs.load(), 50);
}

// A drag source of our own, speaking XDND version 5 as the desktop's file
// managers do: it addresses the host's top-level window, follows its proxy,
// offers text/uri-list and hands over the list when asked.
class TestDragSource {
 public:
  explicit TestDragSource(Display* display) : display_(display) {
    window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    selection_ = atom("XdndSelection");
    uriList_ = atom("text/uri-list");
    copy_ = atom("XdndActionCopy");
  }
  ~TestDragSource() { XDestroyWindow(display_, window_); }

  // Drops `uriList` at root position x, y on `topLevel`; answers whether the
  // target accepted it and finished.
  bool drop(Window topLevel, int x, int y, const std::string& uriList) {
    const Window target = proxyOf(topLevel);
    if (target == 0) return false;
    XSetSelectionOwner(display_, selection_, window_, CurrentTime);
    send(target, topLevel, "XdndEnter", 5L << 24, static_cast<long>(uriList_), 0, 0);
    send(target, topLevel, "XdndPosition", 0, (static_cast<long>(x) << 16) | y, CurrentTime,
         static_cast<long>(copy_));
    XEvent status{};
    if (!waitFor(ClientMessage, atom("XdndStatus"), status) || (status.xclient.data.l[1] & 1) == 0) return false;
    send(target, topLevel, "XdndDrop", 0, CurrentTime, 0, 0);
    const auto end = Clock::now() + milliseconds(3000);
    while (Clock::now() < end) {
      if (XPending(display_) == 0) {
        std::this_thread::sleep_for(milliseconds(5));
        continue;
      }
      XEvent event{};
      XNextEvent(display_, &event);
      if (event.type == SelectionRequest) answer(event.xselectionrequest, uriList);
      if (event.type == ClientMessage && event.xclient.message_type == atom("XdndFinished")) {
        return (event.xclient.data.l[1] & 1) != 0;
      }
    }
    return false;
  }

 private:
  Atom atom(const char* name) { return XInternAtom(display_, name, False); }

  Window proxyOf(Window topLevel) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Window proxy = 0;
    if (XGetWindowProperty(display_, topLevel, atom("XdndProxy"), 0, 1, False, XA_WINDOW, &type, &format, &count,
                           &after, &data) == Success &&
        count == 1) {
      proxy = static_cast<Window>(reinterpret_cast<unsigned long*>(data)[0]);
    }
    if (data != nullptr) XFree(data);
    return proxy;
  }

  void send(Window to, Window addressed, const char* type, long l1, long l2, long l3, long l4) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.display = display_;
    event.xclient.window = addressed;
    event.xclient.message_type = atom(type);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(window_);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display_, to, False, NoEventMask, &event);
    XFlush(display_);
  }

  bool waitFor(int type, Atom message, XEvent& found) {
    const auto end = Clock::now() + milliseconds(3000);
    while (Clock::now() < end) {
      if (XPending(display_) == 0) {
        std::this_thread::sleep_for(milliseconds(5));
        continue;
      }
      XNextEvent(display_, &found);
      if (found.type == type && (type != ClientMessage || found.xclient.message_type == message)) return true;
    }
    return false;
  }

  void answer(const XSelectionRequestEvent& request, const std::string& uriList) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display_;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = 0;
    if (request.target == uriList_) {
      XChangeProperty(display_, request.requestor, request.property, uriList_, 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(uriList.data()), static_cast<int>(uriList.size()));
      reply.xselection.property = request.property;
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
    XFlush(display_);
  }

  Display* display_;
  Window window_ = 0;
  Atom selection_, uriList_, copy_;
};

TEST_F(X11EditorBoxes, AFileDroppedOnTheEditorArrivesAsItsPathTwiceInARow) {
  std::this_thread::sleep_for(milliseconds(100));
  int rootX = 0, rootY = 0;
  Window ignored = 0;
  XTranslateCoordinates(display, child, DefaultRootWindow(display), 50, 50, &rootX, &rootY, &ignored);
  TestDragSource source(display);
  const std::string uris = "file:///tmp/vornhalt%20drop/100%25%20pluck.wav\r\n";
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(source.drop(parent, rootX, rootY, uris)) << "the drop was not accepted and finished";
    const auto end = Clock::now() + milliseconds(2000);
    while (Clock::now() < end) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        if (dropped.size() >= static_cast<std::size_t>(round)) break;
      }
      std::this_thread::sleep_for(milliseconds(10));
    }
    std::lock_guard<std::mutex> lock(mutex);
    ASSERT_EQ(dropped.size(), static_cast<std::size_t>(round));
    EXPECT_EQ(dropped.back(), "/tmp/vornhalt drop/100% pluck.wav");
  }
  stopHostGuiThread();
  EXPECT_LE(longestIdleMs.load(), 50);
}

}  // namespace
