// Sarnel's editor in a real window inside a host's window, driven as a
// user's pointer drives it (X11: the X server's test extension; Win32: the
// system's mouse messages), and read back through the plug-in's
// getParameter.

#include <gtest/gtest.h>

#include "tests/support/Prerequisites.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#endif
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <utility>
#include <string>
#include <thread>
#include <vector>

#include "framework/Opcodes.h"
#include "host/Plugin.h"
#include "platform/SettingsStore.h"
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
  // MK_CONTROL or MK_SHIFT held with the buttons, or 0.
  void setModifiers(WPARAM modifiers) { modifiers_ = modifiers; }
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
    PostMessageW(child, message, held_ | modifiers_, MAKELPARAM(x_, y_));
  }
  void* parent_ = nullptr;
  WPARAM modifiers_ = 0;
  WPARAM held_ = 0;
  int x_ = 0;
  int y_ = 0;
};

constexpr const char* kPluginFile = "/Sarnel.dll";

// What the user does inside the next modal box or menu; a thread timer acts
// on it from within the system's modal loop.
struct ModalAnswer {
  std::wstring boxCaption;  // an input box: type `text` and press OK
  std::wstring text;
  std::vector<WPARAM> menuKeys;  // a menu: these keys
  int menuItemClicked = -1;      // or a click on this item
  bool done = false;
};
ModalAnswer* pendingAnswer = nullptr;

VOID CALLBACK answerModal(HWND, UINT, UINT_PTR timer, DWORD) {
  ModalAnswer& answer = *pendingAnswer;
  if (!answer.boxCaption.empty()) {
    HWND box = FindWindowW(L"#32770", answer.boxCaption.c_str());
    if (box == nullptr) return;
    SetDlgItemTextW(box, 101, answer.text.c_str());
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  } else {
    HWND menu = FindWindowW(L"#32768", nullptr);
    if (menu == nullptr || !IsWindowVisible(menu)) return;
    for (WPARAM key : answer.menuKeys) PostMessageW(menu, WM_KEYDOWN, key, 0);
    if (answer.menuItemClicked >= 0) {
      HMENU items = reinterpret_cast<HMENU>(SendMessageW(menu, MN_GETHMENU, 0, 0));
      RECT item{};
      if (!GetMenuItemRect(nullptr, items, static_cast<UINT>(answer.menuItemClicked), &item)) return;
      // The system's own pointer: move there, press and release.
      SetCursorPos((item.left + item.right) / 2, (item.top + item.bottom) / 2);
      INPUT clicks[2]{};
      clicks[0].type = clicks[1].type = INPUT_MOUSE;
      clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
      clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
      SendInput(2, clicks, sizeof(INPUT));
    }
  }
  KillTimer(nullptr, timer);
  answer.done = true;
}

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
  void key(KeySym symbol, bool down) {
    XTestFakeKeyEvent(display, XKeysymToKeycode(display, symbol), down ? True : False, CurrentTime);
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
    VORNHALT_REQUIRE_PREREQUISITE(parent->valid(), "a display");
    VORNHALT_REQUIRE_PREREQUISITE(pointer.available(), "the display's test extension");
    beforeLoad();
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
  virtual void beforeLoad() {}
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

// The editor at 200 %: "Zoom" in the settings store (a folder of the test's
// own on Linux; the test prefix's registry under wine) before the plug-in
// loads, and the host's answers to canDo "sizeWindow" and the call itself.
class SarnelZoomedWindow : public SarnelWindowInput {
 protected:
  void beforeLoad() override {
#if !defined(_WIN32)
    const std::filesystem::path configHome =
        std::filesystem::path(VORNHALT_BINARY_DIR) / "tests" / "sampler_editor" / "zoom-config";
    std::filesystem::remove_all(configHome);
    std::filesystem::create_directories(configHome);
    setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
#endif
    store()->writeInteger("Sarnel", "Zoom", zoomAtLoad());
  }
  void TearDown() override {
    SarnelWindowInput::TearDown();
    store()->writeInteger("Sarnel", "Zoom", 1);
  }
  virtual int zoomAtLoad() const { return 2; }
  static std::shared_ptr<platform::SettingsStore> store() {
    static const std::shared_ptr<platform::SettingsStore> settings = platform::userSettingsStore();
    return settings;
  }
  // A host that answers canDo "sizeWindow" with `canDo` and the call with `accept`.
  void answerSizeWindow(int canDo, bool accept) {
    plugin->setResponder([this, canDo, accept](const host::HostCall& call,
                                               void* ptr) -> std::optional<vst::VstIntPtr> {
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
    EXPECT_TRUE(parent->childSize(width, height));
    return {width, height};
  }
  std::pair<int, int> editorRect() {
    vst::ERect* rect = nullptr;
    plugin->dispatch(vst::effEditGetRect, 0, 0, &rect);
    return rect == nullptr ? std::pair<int, int>{0, 0} : std::pair<int, int>{rect->right, rect->bottom};
  }
  // The about panel (a click on the banner's "about"), then the "200 %" of its size
  // area: panel 15, 200; area 8, 246; the choice's middle 127, 10.
  void chooseTwoHundredPercent() {
    click(650, 22);
    click(15 + 8 + 127, 200 + 246 + 10);
  }

  std::vector<std::pair<int, int>> sizeWindowCalls;
};

class SarnelWindowAtFullSize : public SarnelZoomedWindow {
 protected:
  int zoomAtLoad() const override { return 1; }
};

TEST_F(SarnelWindowAtFullSize, ARightPressOnTheLoopGaugeSetsItsHighEnd) {
  EXPECT_EQ(childSize(), std::make_pair(678, 497));
  click(272 + 60, 233 + 11, 3);
  EXPECT_FLOAT_EQ(plugin->getParameter(14), 60.0f / 185.0f);
}

TEST_F(SarnelZoomedWindow, TheDoubledWindowTakesDoubledPixelsAsTheFormPointUnderThem) {
  // Larger than the test screen: only its upper left part is pressed.
  EXPECT_EQ(childSize(), std::make_pair(1356, 994));
  EXPECT_EQ(editorRect(), std::make_pair(1356, 994));
  click(2 * (272 + 60) + 1, 2 * (233 + 11), 3);
  EXPECT_FLOAT_EQ(plugin->getParameter(14), 60.0f / 185.0f);
}

TEST_F(SarnelWindowAtFullSize, AHostThatResizesGetsOneSizeWindowCallWhenTheUserSwitches) {
  answerSizeWindow(1, true);
  chooseTwoHundredPercent();
  pump(150);
  ASSERT_EQ(sizeWindowCalls.size(), 1u);
  EXPECT_EQ(sizeWindowCalls[0], std::make_pair(1356, 994));
  EXPECT_EQ(childSize(), std::make_pair(1356, 994));
  EXPECT_EQ(editorRect(), std::make_pair(1356, 994));
  EXPECT_EQ(store()->readInteger("Sarnel", "Zoom", 0), 2);
}

TEST_F(SarnelWindowAtFullSize, AHostThatRefusesGetsTheNewSizeAtTheNextOpen) {
  answerSizeWindow(0, false);
  chooseTwoHundredPercent();
  pump(150);
  EXPECT_TRUE(sizeWindowCalls.empty());
  EXPECT_EQ(childSize(), std::make_pair(678, 497));
  EXPECT_EQ(store()->readInteger("Sarnel", "Zoom", 0), 2);
  plugin->dispatch(vst::effEditClose);
  pump(40);
  EXPECT_EQ(editorRect(), std::make_pair(1356, 994));
  openEditor();
  EXPECT_EQ(childSize(), std::make_pair(1356, 994));
}

}  // namespace

#if defined(_WIN32)

namespace {

class SarnelModalInput : public SarnelWindowInput {
 protected:
  // Arms the answer, then presses (and releases) at x, y with the modifiers.
  void pressAnswering(ModalAnswer answer, int x, int y, unsigned int button, WPARAM modifiers) {
    modal = std::move(answer);
    pendingAnswer = &modal;
    SetTimer(nullptr, 0, 50, answerModal);
    pointer.setModifiers(modifiers);
    click(x, y, button);
    pointer.setModifiers(0);
    pump(200);
    pendingAnswer = nullptr;
  }
  ModalAnswer modal;
};

TEST_F(SarnelModalInput, ARootKeyTypedIntoTheNewKeyBox) {
  ModalAnswer typing;
  typing.boxCaption = L"New key";
  typing.text = L"c#4";
  pressAnswering(typing, 563, 228, 1, MK_CONTROL);
  EXPECT_TRUE(modal.done);
  EXPECT_FLOAT_EQ(plugin->getParameter(15), 73.0f / 127.0f);
}

TEST_F(SarnelModalInput, AMenuChoiceByKeyboard) {
  plugin->setParameter(6, 0.0f);
  ModalAnswer keys;
  keys.menuKeys = {VK_DOWN, VK_DOWN, VK_RETURN};
  pressAnswering(keys, 550, 258, 1, 0);  // the loop mode label
  EXPECT_TRUE(modal.done);
  EXPECT_FLOAT_EQ(plugin->getParameter(6), 1.0f / 3.0f);
}

TEST_F(SarnelModalInput, AMenuChoiceByMouse) {
  ModalAnswer mouse;
  mouse.menuItemClicked = 7;  // "-25 %"
  pressAnswering(mouse, 33 + 20, 240, 3, 0);  // the pitch gauge's presets
  EXPECT_TRUE(modal.done);
  EXPECT_FLOAT_EQ(plugin->getParameter(0), 0.4375f);
}

}  // namespace

#endif

#if !defined(_WIN32)

namespace {

// The boxes and menus drawn in the editor window, answered by the keyboard
// and the pointer while the host keeps calling idle.
class SarnelDrawnBoxInput : public SarnelWindowInput {
 protected:
  void type(std::initializer_list<KeySym> keys) {
    for (KeySym k : keys) {
      pointer.key(k, true);
      pointer.key(k, false);
      pump(40);
    }
  }
};

TEST_F(SarnelDrawnBoxInput, ARootKeyTypedIntoTheNewKeyBox) {
  pointer.key(XK_Control_L, true);
  click(563, 228);
  pointer.key(XK_Control_L, false);
  pump(200);
  type({XK_7, XK_3, XK_Return});
  pump(200);
  EXPECT_FLOAT_EQ(plugin->getParameter(15), 73.0f / 127.0f);
}

TEST_F(SarnelDrawnBoxInput, AMenuChoiceByKeyboard) {
  plugin->setParameter(6, 0.0f);
  click(550, 258);  // the loop mode label
  pump(200);
  // Up from no item or from the first one wraps to the last: "ping pong".
  type({XK_Up, XK_Return});
  pump(200);
  EXPECT_FLOAT_EQ(plugin->getParameter(6), 1.0f);
}

TEST_F(SarnelDrawnBoxInput, AMenuChoiceByMouse) {
  click(457 + 30, 113 + 12);  // LFO 1 tab
  const int x = 514 + 12;
  const int y = 52 + 14;
  click(x, y);  // wave1: the menu opens with its corner at the pointer
  pump(200);
  click(x + 20, y + 2 + 2 * 18 + 9);  // "Saw Down"
  pump(200);
  EXPECT_FLOAT_EQ(plugin->getParameter(21), 2.0f / 5.0f);
}

}  // namespace

#endif
