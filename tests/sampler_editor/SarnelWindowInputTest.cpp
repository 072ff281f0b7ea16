// Sarnel's editor in a real window inside a host's window, driven as a
// user's pointer drives it (X11: the X server's test extension; Win32: the
// system's mouse messages), and read back through the plug-in's
// getParameter.

#include <gtest/gtest.h>

#include "tests/support/Prerequisites.h"

#if defined(_WIN32)
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#else
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#endif
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
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

// The dialogs of the file commands, answered one after another from
// within the system's modal loops: each step waits for a dialog of its
// caption, puts a text into one of its controls or clicks its check box,
// and closes it with a button.
struct DialogStep {
  std::wstring caption;
  int textControl = 0;  // with `text`
  std::wstring text;
  bool clickCheckBox = false;
  int button = IDOK;             // 0: the dialog stays open
  bool selectFirstFile = false;  // select the first entry of the file list
  bool mayNotCome = false;       // skipped when it has not come within a second
};
std::vector<DialogStep>* pendingSteps = nullptr;
std::size_t stepsDone = 0;

// The pre-listen check box: a button of the system dialog itself.
HWND checkBoxOf(HWND dialog) {
  for (HWND child = FindWindowExW(dialog, nullptr, L"Button", nullptr); child != nullptr;
       child = FindWindowExW(dialog, child, L"Button", nullptr)) {
    wchar_t caption[128] = {};
    GetWindowTextW(child, caption, 128);
    if (wcsncmp(caption, L"Pre-Listen", 10) == 0) return child;
  }
  return nullptr;
}

// The list of files in the open dialog's shell view.
HWND fileListOf(HWND dialog) {
  HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
  return view != nullptr ? FindWindowExW(view, nullptr, L"SysListView32", nullptr) : nullptr;
}

int ticksWithoutProgress = 0;
int stepsThatDidNotCome = 0;

VOID CALLBACK answerSteps(HWND, UINT, UINT_PTR timer, DWORD) {
  if (stepsDone >= pendingSteps->size()) {
    KillTimer(nullptr, timer);
    return;
  }
  // A step that never comes (a box that did not appear): cancel whatever
  // is open, so that the test ends and fails instead of hanging.
  if (++ticksWithoutProgress > 200) {
    for (HWND open = FindWindowW(L"#32770", nullptr); open != nullptr; open = FindWindowW(L"#32770", nullptr)) {
      SendMessageW(open, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      if (FindWindowW(L"#32770", nullptr) == open) break;
    }
    KillTimer(nullptr, timer);
    return;
  }
  const DialogStep& step = (*pendingSteps)[stepsDone];
  HWND dialog = FindWindowW(L"#32770", step.caption.c_str());
  if (step.mayNotCome && ticksWithoutProgress > 20 && (dialog == nullptr || !IsWindowVisible(dialog))) {
    ++stepsDone;
    ++stepsThatDidNotCome;
    ticksWithoutProgress = 0;
    return;
  }
  if (dialog == nullptr || !IsWindowVisible(dialog)) return;
  if (step.selectFirstFile) {
    HWND list = fileListOf(dialog);
    if (list == nullptr || SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) <= 0) return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
  }
  if (step.textControl != 0) SetDlgItemTextW(dialog, step.textControl, step.text.c_str());
  if (step.clickCheckBox) {
    HWND box = checkBoxOf(dialog);
    if (box == nullptr) return;  // not laid out yet
    SendMessageW(box, BM_CLICK, 0, 0);
  }
  if (step.button != 0) PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(step.button, BN_CLICKED), 0);
  ++stepsDone;
  ticksWithoutProgress = 0;
}

constexpr int kFileNameControl = 0x47C;  // the open dialog's file name box

class SarnelFileCommands : public SarnelWindowInput {
 protected:
  // Arms the steps, runs `action` (which opens the first dialog) and lets
  // the modal loops answer them.
  template <class Action>
  void answering(std::vector<DialogStep> steps, Action action) {
    dialogSteps = std::move(steps);
    pendingSteps = &dialogSteps;
    stepsDone = 0;
    ticksWithoutProgress = 0;
    stepsThatDidNotCome = 0;
    SetTimer(nullptr, 0, 50, answerSteps);
    action();
    pump(300);
    pendingSteps = nullptr;
  }
  void doubleClickDisplay() {
    HWND child = GetWindow(static_cast<HWND>(parent->handle()), GW_CHILD);
    PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 120));
    PostMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(100, 120));
    PostMessageW(child, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(100, 120));
    PostMessageW(child, WM_LBUTTONUP, 0, MAKELPARAM(100, 120));
    pump(100);
  }
  // The engine's sample path, read back through its parameters.
  std::string samplePath() {
    std::string path;
    for (int i = 0; i < 256; ++i) {
      const int byte = static_cast<int>(plugin->getParameter(30 + i) * 255.0f + 0.5f);
      if (byte == 0) break;
      path.push_back(static_cast<char>(byte));
    }
    return path;
  }
  void setProgramPath(const std::string& path) {
    for (int i = 0; i < 256; ++i) {
      const int byte = i < static_cast<int>(path.size()) ? static_cast<unsigned char>(path[static_cast<std::size_t>(i)]) : 0;
      plugin->setParameter(30 + i, static_cast<float>(byte) / 255.0f);
    }
  }
  // A real drop: a DROPFILES block the window takes apart with the system's
  // own functions.
  void dropFiles(const std::vector<std::string>& files) {
    std::wstring names;
    for (const std::string& f : files) names += std::wstring(f.begin(), f.end()) + L'\0';
    names += L'\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    HWND child = GetWindow(static_cast<HWND>(parent->handle()), GW_CHILD);
    PostMessageW(child, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    pump(150);
  }
  std::string preListenSetting() {
    wchar_t value[16] = {};
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Vornhalt\\Sarnel", L"PreListen", RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS) {
      return {};
    }
    return std::string(value, value + wcslen(value));
  }
  std::vector<DialogStep> dialogSteps;
  sarneltest::TempDir dir;
};

std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

TEST_F(SarnelFileCommands, TheRealDialogLoadsTheTypedFile) {
  const std::string path = dir.file("dialog.wav");
  sarneltest::writeFloatWave(path, sarneltest::stereoRamp(5000), 2);
  answering({{L"Load WAV file...", kFileNameControl, wide(path)}}, [&] { doubleClickDisplay(); });
  EXPECT_EQ(stepsDone, 1u);
  EXPECT_EQ(samplePath(), path);
  // A right release over the display unloads: loop high goes back to its end.
  plugin->setParameter(14, 0.5f);
  click(100, 120, 3);
  pump(200);
  EXPECT_EQ(plugin->getParameter(14), 1.0f);
}

TEST_F(SarnelFileCommands, TheCheckBoxIsToggledAndItsSettingKept) {
  const std::string before = preListenSetting();
  answering({{L"Load WAV file...", 0, {}, true, IDCANCEL}}, [&] { doubleClickDisplay(); });
  EXPECT_EQ(stepsDone, 1u);
  plugin->dispatch(vst::effEditClose);
  pump(50);
  const std::string after = preListenSetting();
  EXPECT_EQ(after, before == "1" ? "0" : "1");
  openEditor();
  // Toggled back, so the next run starts as this one did.
  answering({{L"Load WAV file...", 0, {}, true, IDCANCEL}}, [&] { doubleClickDisplay(); });
  plugin->dispatch(vst::effEditClose);
  pump(50);
  EXPECT_EQ(preListenSetting(), before.empty() ? "0" : before);
  openEditor();
}

// Ticked, a selection in the list pre-listens through the media service;
// where the service refuses, its message is answered, and either way the
// dialog goes on and loads the file typed next.
TEST_F(SarnelFileCommands, APreListenedSelectionLeavesTheDialogUsable) {
  const std::string folder = dir.file("listen");
  std::filesystem::create_directories(folder);
  const std::string path = folder + "\\listen.wav";
  sarneltest::writeFloatWave(path, sarneltest::stereoRamp(5000), 2);
  answering({{L"Load WAV file...", kFileNameControl, wide(folder), true, IDOK},  // tick, open the folder
             {L"Load WAV file...", 0, {}, false, 0, true},                      // select the file: it plays
             // The media service's refusal, where it refuses (it may also play).
             {L"Error", 0, {}, false, IDOK, false, true},
             {L"Load WAV file...", kFileNameControl, wide(path)}},
            [&] { doubleClickDisplay(); });
  EXPECT_EQ(stepsDone, 4u);
  std::printf("the media service %s\n", stepsThatDidNotCome == 0 ? "refused, its message was shown" : "played");
  EXPECT_EQ(samplePath(), path);
  // The check box is back as it was for the next run.
  answering({{L"Load WAV file...", 0, {}, true, IDCANCEL}}, [&] { doubleClickDisplay(); });
}

TEST_F(SarnelFileCommands, ADroppedWavLoadsAndATuningFileTunes) {
  const std::string path = dir.file("dropped.wav");
  sarneltest::writeFloatWave(path, sarneltest::stereoRamp(3000), 2);
  const std::string tuning = dir.file("steep.tun");
  {
    std::FILE* f = std::fopen(tuning.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("[Exact Tuning]\nbasefreq=20000\nnote 0=0\nnote 1=1200\n", f);
    std::fclose(f);
  }
  dropFiles({path, tuning});
  EXPECT_EQ(samplePath(), path);
  dropFiles({tuning, path});
  EXPECT_FLOAT_EQ(plugin->getParameter(286), 20000.0f / 30000.0f);
  EXPECT_EQ(plugin->getParameter(286 + 60), 1.0f);
}

TEST_F(SarnelFileCommands, TheMissingSamplePromptAnsweredCancelThenOk) {
  const std::string kept = dir.file("kept.wav");
  sarneltest::writeFloatWave(kept, sarneltest::stereoRamp(3000), 2);
  const std::string found = dir.file("found.wav");
  sarneltest::writeFloatWave(found, sarneltest::stereoRamp(2000), 2);
  // A project's sample first, so the restore timer has done its one load.
  setProgramPath(kept);
  plugin->setParameter(643, 1.0f);
  pump(300);
  ASSERT_EQ(samplePath(), kept);
  const std::string missing = dir.file("gone.wav");
  answering({{L"Error!", 0, {}, false, IDCANCEL}}, [&] {
    setProgramPath(missing);
    plugin->setParameter(643, 1.0f);
  });
  EXPECT_EQ(stepsDone, 1u);
  answering({{L"Error!", 0, {}, false, IDOK}, {L"Load WAV file...", kFileNameControl, wide(found)}}, [&] {
    setProgramPath(missing);
    plugin->setParameter(643, 1.0f);
  });
  EXPECT_EQ(stepsDone, 2u);
  EXPECT_EQ(samplePath(), found);
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

// The sample and tuning browsers drawn in the window, walked by keys.
class SarnelBrowserInput : public SarnelDrawnBoxInput {
 protected:
  // Types plain text (letters, digits and the characters of a path).
  void typeText(const std::string& text) {
    for (char c : text) {
      KeySym k = NoSymbol;
      switch (c) {
        case '/': k = XK_slash; break;
        case '.': k = XK_period; break;
        case '-': k = XK_minus; break;
        default: k = static_cast<KeySym>(static_cast<unsigned char>(c)); break;
      }
      pointer.key(k, true);
      pointer.key(k, false);
      pump(5);
    }
    pump(100);
  }
  // The menu button, then its item by keys: Down once per item, Return.
  void mainMenu(int item) {
    click(534 + 10, 396 + 10);
    pump(200);
    for (int i = 0; i <= item; ++i) type({XK_Down});
    type({XK_Return});
    pump(200);
  }
  std::string samplePath() {
    std::string path;
    for (int i = 0; i < 256; ++i) {
      const int byte = static_cast<int>(plugin->getParameter(30 + i) * 255.0f + 0.5f);
      if (byte == 0) break;
      path.push_back(static_cast<char>(byte));
    }
    return path;
  }
  sarneltest::TempDir dir;
};

TEST_F(SarnelBrowserInput, AFolderTypedThenAFileChosenFromTheListLoads) {
  const std::string path = dir.file("browsed.wav");
  sarneltest::writeFloatWave(path, sarneltest::stereoRamp(4000), 2);
  mainMenu(0);
  // The field has the keyboard with its text selected: the folder's path
  // replaces it, Return opens that folder, Tab goes to the list, Down
  // selects its one file and Return loads it.
  typeText(path.substr(0, path.find_last_of('/')));
  type({XK_Return, XK_Tab, XK_Down, XK_Return});
  pump(300);
  EXPECT_EQ(samplePath(), path);
}

TEST_F(SarnelBrowserInput, ATuningFileTypedIntoTheTuningBrowser) {
  const std::string tuning = dir.file("steep.tun");
  {
    std::FILE* f = std::fopen(tuning.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("[Exact Tuning]\nbasefreq=20000\nnote 0=0\nnote 1=1200\n", f);
    std::fclose(f);
  }
  mainMenu(1);
  typeText(tuning);
  type({XK_Return});
  pump(300);
  EXPECT_FLOAT_EQ(plugin->getParameter(286), 20000.0f / 30000.0f);
  EXPECT_EQ(plugin->getParameter(286 + 60), 1.0f);
}

// Pre-listen ticked in the settings the window reads when it is created
// (a configuration folder of the test's own).
class SarnelPreListenInput : public SarnelBrowserInput {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    if (old != nullptr) previousConfig = old;
    const std::string config = dir.file("config");
    std::filesystem::create_directories(config + "/Vornhalt");
    std::FILE* f = std::fopen((config + "/Vornhalt/Sarnel.ini").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("[Sarnel]\nPreListen=1\n", f);
    std::fclose(f);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    SarnelBrowserInput::SetUp();
  }
  void TearDown() override {
    SarnelBrowserInput::TearDown();
    if (previousConfig) {
      setenv("XDG_CONFIG_HOME", previousConfig->c_str(), 1);
    } else {
      unsetenv("XDG_CONFIG_HOME");
    }
  }
  // The loudest sample of the host's next process calls.
  float renderedPeak() {
    std::vector<float> left(512), right(512), inL(512), inR(512);
    float* in[2] = {inL.data(), inR.data()};
    float* out[2] = {left.data(), right.data()};
    float peak = 0.0f;
    for (int block = 0; block < 4; ++block) {
      plugin->processReplacing(in, out, 512);
      for (float v : left) peak = std::max(peak, std::fabs(v));
      pump(5);
    }
    return peak;
  }
  std::optional<std::string> previousConfig;
};

TEST_F(SarnelPreListenInput, HeardInTheOutputWhileTheBrowserIsOpenAndSilentAfter) {
  const std::string path = dir.file("listen.wav");
  sarneltest::writeFloatWave(path, std::vector<float>(3 * 44100, 0.5f), 1);
  EXPECT_LT(renderedPeak(), 0.01f);
  mainMenu(0);
  typeText(path.substr(0, path.find_last_of('/')));
  // Opens the folder and walks past its "config" folder to the file.
  type({XK_Return, XK_Tab, XK_Down, XK_Down});
  pump(100);
  EXPECT_GT(renderedPeak(), 0.4f);
  EXPECT_GT(renderedPeak(), 0.4f);  // still playing
  type({XK_Escape});
  pump(100);
  EXPECT_LT(renderedPeak(), 0.01f);
  EXPECT_EQ(samplePath(), "");
}

// A drag source speaking XDND version 5 as the desktop's file managers do,
// on a connection of its own (it runs beside the host's GUI thread): it
// addresses the host's top-level window through its proxy, offers
// text/uri-list and hands the list over when asked.
class DragSource {
 public:
  explicit DragSource(Display* display) : display_(display) {
    window_ = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
  }
  ~DragSource() { XDestroyWindow(display_, window_); }

  // True when the target accepted the drop and finished it.
  bool drop(Window topLevel, int rootX, int rootY, const std::string& uriList) {
    const Window target = proxyOf(topLevel);
    if (target == 0) return false;
    XSetSelectionOwner(display_, atom("XdndSelection"), window_, CurrentTime);
    send(target, topLevel, "XdndEnter", 5L << 24, static_cast<long>(atom("text/uri-list")), 0, 0);
    send(target, topLevel, "XdndPosition", 0, (static_cast<long>(rootX) << 16) | rootY, CurrentTime,
         static_cast<long>(atom("XdndActionCopy")));
    bool accepted = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (std::chrono::steady_clock::now() < end) {
      if (XPending(display_) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        continue;
      }
      XEvent event{};
      XNextEvent(display_, &event);
      if (event.type == SelectionRequest) answer(event.xselectionrequest, uriList);
      if (event.type != ClientMessage) continue;
      if (event.xclient.message_type == atom("XdndStatus") && !accepted) {
        if ((event.xclient.data.l[1] & 1) == 0) return false;
        accepted = true;
        send(target, topLevel, "XdndDrop", 0, CurrentTime, 0, 0);
      } else if (event.xclient.message_type == atom("XdndFinished")) {
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
    return proxy != 0 ? proxy : topLevel;
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
  void answer(const XSelectionRequestEvent& request, const std::string& uriList) {
    XEvent reply{};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display_;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = 0;
    if (request.target == atom("text/uri-list")) {
      XChangeProperty(display_, request.requestor, request.property, atom("text/uri-list"), 8, PropModeReplace,
                      reinterpret_cast<const unsigned char*>(uriList.data()), static_cast<int>(uriList.size()));
      reply.xselection.property = request.property;
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
    XFlush(display_);
  }

  Display* display_;
  Window window_ = 0;
};

TEST_F(SarnelBrowserInput, ATuningFileDroppedOnTheWindowTunesOnlyByTheFirstFile) {
  const std::string tuning = dir.file("steep.tun");
  {
    std::FILE* f = std::fopen(tuning.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("[Exact Tuning]\nbasefreq=20000\nnote 0=0\nnote 1=1200\n", f);
    std::fclose(f);
  }
  const std::string sample = dir.file("second.wav");
  sarneltest::writeFloatWave(sample, sarneltest::stereoRamp(2000), 2);
  Display* display = openDisplay();
  ASSERT_NE(display, nullptr);
  const Window host = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent->handle()));
  int rootX = 0, rootY = 0;
  Window ignored = 0;
  XTranslateCoordinates(display, host, DefaultRootWindow(display), 300, 300, &rootX, &rootY, &ignored);
  std::atomic<bool> finished{false};
  bool dropped = false;
  std::thread source([&] {
    DragSource drag(display);
    dropped = drag.drop(host, rootX, rootY, "file://" + tuning + "\r\nfile://" + sample + "\r\n");
    finished = true;
  });
  while (!finished.load()) pump(20);
  source.join();
  XCloseDisplay(display);
  pump(100);
  EXPECT_TRUE(dropped) << "the drop was not accepted and finished";
  EXPECT_FLOAT_EQ(plugin->getParameter(286), 20000.0f / 30000.0f);
  EXPECT_EQ(plugin->getParameter(286 + 60), 1.0f);
  EXPECT_EQ(samplePath(), "");
}

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
