// The editor inside a real parent window on Windows (under wine and Xvfb in
// the build): opened through the host's editor opcodes, clicked through
// real window messages, captured to a PNG, closed and reopened by the counts
// of the editor hosting rules.

#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "gui/Canvas.h"
#include "tests/gui/EditorWindowTestSupport.h"

namespace {

using namespace editorprobe;

class Win32EditorWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VornhaltTestHostWindow";
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    RegisterClassW(&windowClass);
    parent = CreateWindowExW(0, L"VornhaltTestHostWindow", L"Test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0,
                             760, 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(parent, nullptr);
    ShowWindow(parent, SW_SHOW);
    plugin = host::Plugin::load(probePath());
    ASSERT_NE(plugin, nullptr);
    plugin->start();
  }
  void TearDown() override {
    if (plugin) plugin->close();
    plugin.reset();
    if (parent != nullptr) DestroyWindow(parent);
  }

  // Runs the message loop (and the host's editor idle) for a while.
  void pump(int milliseconds = 200) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      plugin->dispatch(vst::effEditIdle);
      Sleep(10);
    }
  }

  HWND editorChild() const { return GetWindow(parent, GW_CHILD); }

  gui::Canvas capture(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC windowDc = GetDC(window);
    HDC memoryDc = CreateCompatibleDC(windowDc);
    HBITMAP bitmap = CreateDIBSection(windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memoryDc, bitmap);
    BitBlt(memoryDc, 0, 0, width, height, windowDc, 0, 0, SRCCOPY);
    GdiFlush();
    gui::Canvas canvas(width, height);
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; i < width * height; ++i) canvas.pixels()[i] = pixels[i] | 0xFF000000u;
    SelectObject(memoryDc, old);
    DeleteObject(bitmap);
    DeleteDC(memoryDc);
    ReleaseDC(window, windowDc);
    return canvas;
  }

  HWND parent = nullptr;
  std::unique_ptr<host::Plugin> plugin;
};

TEST_F(Win32EditorWindow, OpensAChildOfTheHostWindowOfTheEditorSize) {
  vst::ERect* rect = nullptr;
  EXPECT_EQ(plugin->dispatch(vst::effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right - rect->left, kWidth);
  EXPECT_EQ(rect->bottom - rect->top, kHeight);

  EXPECT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent), 1);
  HWND child = editorChild();
  ASSERT_NE(child, nullptr);
  EXPECT_TRUE(IsWindowVisible(child));
  EXPECT_EQ(GetParent(child), parent);
  RECT client{};
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, kWidth);
  EXPECT_EQ(client.bottom, kHeight);
  pump();

  // A click through the window's own messages reaches the form.
  const LPARAM at = MAKELPARAM(kButtonLeft + 10, kButtonTop + 10);
  PostMessageW(child, WM_MOUSEMOVE, 0, at);
  PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(child, WM_LBUTTONUP, 0, at);
  pump();
  EXPECT_TRUE(clickAutomated(*plugin));

  // The window shows the form's pixels: the square turned green.
  RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  pump(100);
  const gui::Canvas screenshot = capture(child);
  ASSERT_TRUE(screenshot.savePng(artefactPath("editor_window_win32.png")));
  EXPECT_EQ(screenshot.pixel(kButtonLeft + 30, kButtonTop + 30) & 0xFFFFFFu, 0x00FF00u);
  EXPECT_EQ(screenshot.pixel(5, 400) & 0xFFFFFFu, 0x101830u);
  plugin->dispatch(vst::effEditClose);
  EXPECT_EQ(editorChild(), nullptr);
}

TEST_F(Win32EditorWindow, AtTwoHundredPercentEveryFormPixelIsABlockAndClicksAreHalved) {
  plugin->close();
  SetEnvironmentVariableW(L"VORNHALT_PROBE_ZOOM", L"2");
  plugin = host::Plugin::load(probePath());
  SetEnvironmentVariableW(L"VORNHALT_PROBE_ZOOM", nullptr);
  ASSERT_NE(plugin, nullptr);
  plugin->start();
  vst::ERect* rect = nullptr;
  plugin->dispatch(vst::effEditGetRect, 0, 0, &rect);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->right, 2 * kWidth);
  EXPECT_EQ(rect->bottom, 2 * kHeight);
  ASSERT_EQ(plugin->dispatch(vst::effEditOpen, 0, 0, parent), 1);
  HWND child = editorChild();
  RECT client{};
  GetClientRect(child, &client);
  EXPECT_EQ(client.right, 2 * kWidth);
  EXPECT_EQ(client.bottom, 2 * kHeight);
  pump();
  // The square's last form pixel row and column, clicked at its doubled place.
  const LPARAM at = MAKELPARAM(2 * (kButtonLeft + kButtonSize) - 1, 2 * (kButtonTop + kButtonSize) - 1);
  PostMessageW(child, WM_MOUSEMOVE, 0, at);
  PostMessageW(child, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(child, WM_LBUTTONUP, 0, at);
  pump();
  EXPECT_TRUE(clickAutomated(*plugin));
  RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  pump(100);
  const gui::Canvas screenshot = capture(child);
  ASSERT_TRUE(screenshot.savePng(artefactPath("editor_window_win32_200.png")));
  // The square's top left form pixel covers window pixels 200..201, 240..241.
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      EXPECT_EQ(screenshot.pixel(2 * kButtonLeft + dx, 2 * kButtonTop + dy) & 0xFFFFFFu, 0x00FF00u);
    }
  }
  EXPECT_EQ(screenshot.pixel(2 * kButtonLeft - 1, 2 * kButtonTop) & 0xFFFFFFu, 0x101830u);
  plugin->dispatch(vst::effEditClose);
}

TEST_F(Win32EditorWindow, CloseAndReopenFollowTheOpenCount) {
  plugin->dispatch(vst::effEditOpen, 0, 0, parent);
  HWND first = editorChild();
  plugin->dispatch(vst::effEditOpen, 0, 0, parent);
  EXPECT_EQ(editorChild(), first);  // not re-created
  plugin->dispatch(vst::effEditClose);
  EXPECT_EQ(editorChild(), first);  // the count is still 1: kept, hidden
  EXPECT_FALSE(IsWindowVisible(first));
  plugin->dispatch(vst::effEditClose);
  EXPECT_EQ(editorChild(), nullptr);
  plugin->dispatch(vst::effEditClose);  // an extra close changes nothing
  plugin->dispatch(vst::effEditOpen, 0, 0, parent);
  HWND second = editorChild();
  ASSERT_NE(second, nullptr);
  EXPECT_TRUE(IsWindowVisible(second));
  pump(50);
  const std::vector<int> seen = traces(*plugin);
  EXPECT_EQ(countOf(seen, windowCreated), 2);
  EXPECT_EQ(countOf(seen, windowDestroyed), 1);
  plugin->dispatch(vst::effEditClose);
}

}  // namespace
