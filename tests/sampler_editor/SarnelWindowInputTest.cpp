// Sarnel's editor in a real window inside a host's window, driven as a
// user's pointer drives it (X11: the X server's test extension; Win32: the
// system's mouse messages), and read back through the plug-in's
// getParameter.

#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#endif
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/Opcodes.h"
#include "host/Plugin.h"
#include "tests/editors/HostParentWindow.h"
#include "tests/sampler_engine/TestWaves.h"

namespace {

#if defined(_WIN32)

// The user's pointer on Windows: the mouse messages the system sends the
// editor's child window, with the held buttons in their flags.
class FakePointer {
 public:
  bool available() const { return true; }
  void moveTo(void* parent, int x, int y) {
    x_ = x;
    y_ = y;
    post(parent, WM_MOUSEMOVE);
  }
  // Buttons 1 left, 3 right.
  void button(unsigned int which, bool down) {
    const WPARAM flag = which == 1 ? MK_LBUTTON : MK_RBUTTON;
    held_ = down ? (held_ | flag) : (held_ & ~flag);
    post(parent_, which == 1 ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP) : (down ? WM_RBUTTONDOWN : WM_RBUTTONUP));
  }

 private:
  void post(void* parent, UINT message) {
    parent_ = parent;
    HWND child = GetWindow(static_cast<HWND>(parent), GW_CHILD);
    PostMessageW(child, message, held_, MAKELPARAM(x_, y_));
  }
  void* parent_ = nullptr;
  WPARAM held_ = 0;
  int x_ = 0;
  int y_ = 0;
};

constexpr const char* kPluginFile = "/Sarnel.dll";

#else



// A loaded virtual display now and then turns a new connection away; a few
// attempts tell that apart from a display that is not there.
Display* openDisplay() {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (Display* display = XOpenDisplay(nullptr)) return display;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return nullptr;
}

// The user's pointer: motion and buttons through the test extension, in the
// host window's coordinates.
class FakePointer {
 public:
  FakePointer() : display(std::getenv("DISPLAY") != nullptr ? openDisplay() : nullptr) {
    int event = 0, error = 0, major = 0, minor = 0;
    if (display != nullptr && XTestQueryExtension(display, &event, &error, &major, &minor) == False) {
      XCloseDisplay(display);
      display = nullptr;
    }
  }
  ~FakePointer() {
    if (display != nullptr) XCloseDisplay(display);
  }
  FakePointer(const FakePointer&) = delete;
  FakePointer& operator=(const FakePointer&) = delete;

  bool available() const { return display != nullptr; }
  void moveTo(void* window, int x, int y) {
    Window child = 0;
    int rootX = 0, rootY = 0;
    XTranslateCoordinates(display, static_cast<Window>(reinterpret_cast<std::uintptr_t>(window)),
                          DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
    XTestFakeMotionEvent(display, -1, rootX, rootY, CurrentTime);
    XFlush(display);
  }
  // Buttons 1 left, 3 right.
  void button(unsigned int which, bool down) {
    XTestFakeButtonEvent(display, which, down ? True : False, CurrentTime);
    XFlush(display);
  }

 private:
  Display* display;
};

constexpr const char* kPluginFile = "/Sarnel.so";

#endif

class SarnelWindowInput : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int attempt = 0; attempt < 10 && (!parent || !parent->valid()); ++attempt) {
      parent = std::make_unique<editortest::HostParentWindow>();
    }
    if (!parent->valid()) GTEST_SKIP() << "no display";
    if (!pointer.available()) GTEST_SKIP() << "the display has no test extension";
    plugin = host::Plugin::load(std::string(VORNHALT_PLUGIN_DIR) + kPluginFile);
    ASSERT_NE(plugin, nullptr);
    plugin->start();
    openEditor();
  }
  void TearDown() override {
    if (!plugin) return;
    plugin->dispatch(vst::effEditClose);
    plugin->close();
  }
  void openEditor() {
    ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent->handle()), 1);
    pump(150);
  }
  void pump(int milliseconds = 60) {
    parent->pump([this] { plugin->dispatch(vst::effEditIdle); }, milliseconds);
  }
  // A press at one point, moves through the others, the release at the last.
  void drag(unsigned int button, std::vector<std::pair<int, int>> points) {
    pointer.moveTo(parent->handle(), points.front().first, points.front().second);
    pump();
    pointer.button(button, true);
    pump();
    for (const auto& [x, y] : points) {
      pointer.moveTo(parent->handle(), x, y);
      pump();
    }
    pointer.button(button, false);
    pump();
  }
  void click(int x, int y, unsigned int button = 1) { drag(button, {{x, y}}); }

  std::unique_ptr<editortest::HostParentWindow> parent;
  FakePointer pointer;
  std::unique_ptr<host::Plugin> plugin;
};

TEST_F(SarnelWindowInput, AGaugeDragFollowsThePointer) {
  // reso lies at 272, 311 (185 x 23).
  drag(1, {{272 + 100, 320}, {272 + 105, 320}, {272 + 110, 320}});
  EXPECT_FLOAT_EQ(plugin->getParameter(9), 110.0f / 185.0f);
}

TEST_F(SarnelWindowInput, ARightPressOnATwoEndedGaugeSetsItsHighEnd) {
  const float low = plugin->getParameter(7);
  click(33 + 120, 320, 3);  // filter
  EXPECT_FLOAT_EQ(plugin->getParameter(8), 120.0f / 185.0f);
  EXPECT_FLOAT_EQ(plugin->getParameter(7), low);
}

TEST_F(SarnelWindowInput, ARootKeyDragMovesASemitoneEveryFourPixels) {
  plugin->setParameter(15, 60.0f / 127.0f);
  pump(250);  // a refresh tick shows the new key
  drag(1, {{563, 228}, {563, 224}, {563, 220}});
  EXPECT_FLOAT_EQ(plugin->getParameter(15), 62.0f / 127.0f);
}

TEST_F(SarnelWindowInput, APageTabShowsTheLfoPageWhoseGaugesThenTakeThePointer) {
  click(457 + 30, 113 + 12);  // LFO 1 tab
  // rate1 on the page: page 514, 52; gauge 15, 58 (114 x 20).
  drag(1, {{514 + 15 + 57, 52 + 68}, {514 + 15 + 60, 52 + 68}});
  EXPECT_FLOAT_EQ(plugin->getParameter(17), 60.0f / 114.0f);
}

TEST_F(SarnelWindowInput, FiftyOpenAndCloseCyclesWithALoadedSample) {
  sarneltest::TempDir dir;
  const std::string path = dir.file("cycles.wav");
  sarneltest::writeFloatWave(path, sarneltest::stereoRamp(5000), 2);
  for (int i = 0; i < 256; ++i) {
    const int byte = i < static_cast<int>(path.size()) ? static_cast<unsigned char>(path[static_cast<std::size_t>(i)]) : 0;
    plugin->setParameter(30 + i, static_cast<float>(byte) / 255.0f);
  }
  plugin->setParameter(643, 1.0f);
  for (int cycle = 0; cycle < 50; ++cycle) {
    plugin->dispatch(vst::effEditClose);
    pump(5);
    ASSERT_EQ(parent->childCount(), 0) << cycle;
    ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent->handle()), 1) << cycle;
    pump(5);
    ASSERT_EQ(parent->childCount(), 1) << cycle;
  }
  // Still answering the pointer after the cycles.
  drag(1, {{33 + 40, 400}, {33 + 50, 400}});  // delay
  EXPECT_FLOAT_EQ(plugin->getParameter(10), 50.0f / 185.0f);
}

}  // namespace
