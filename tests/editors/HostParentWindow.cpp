#include "tests/editors/HostParentWindow.h"

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <thread>

#if defined(_WIN32)
#include <windows.h>
#else
#include <X11/Xlib.h>
#endif

namespace editortest {

#if defined(_WIN32)

struct HostParentWindow::Native {
  HWND window = nullptr;
};

HostParentWindow::HostParentWindow() : native(new Native) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"VornhaltEditorTestHost";
  RegisterClassW(&windowClass);
  native->window = CreateWindowExW(0, L"VornhaltEditorTestHost", L"Host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                                   0, 0, 800, 600, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (native->window != nullptr) ShowWindow(native->window, SW_SHOW);
}

HostParentWindow::~HostParentWindow() {
  if (native->window != nullptr) DestroyWindow(native->window);
  delete native;
}

bool HostParentWindow::valid() const { return native->window != nullptr; }
void* HostParentWindow::handle() const { return native->window; }

int HostParentWindow::childCount() const {
  int count = 0;
  for (HWND child = GetWindow(native->window, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    ++count;
  }
  return count;
}

bool HostParentWindow::childSize(int& width, int& height) const {
  HWND child = GetWindow(native->window, GW_CHILD);
  if (child == nullptr) return false;
  RECT client{};
  GetClientRect(child, &client);
  width = client.right;
  height = client.bottom;
  return true;
}

bool HostParentWindow::childVisible() const {
  HWND child = GetWindow(native->window, GW_CHILD);
  return child != nullptr && IsWindowVisible(child) != FALSE;
}

void HostParentWindow::processPending() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void HostParentWindow::pump(const std::function<void()>& editorIdle, int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    editorIdle();
    Sleep(10);
  } while (std::chrono::steady_clock::now() < end);
}

#else

struct HostParentWindow::Native {
  Display* display = nullptr;
  Window window = 0;

  Window firstChild() const {
    Window root = 0, up = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(display, window, &root, &up, &children, &count);
    const Window child = count > 0 ? children[0] : 0;
    if (children != nullptr) XFree(children);
    return child;
  }
};

HostParentWindow::HostParentWindow() : native(new Native) {
  if (std::getenv("DISPLAY") == nullptr) return;
  native->display = XOpenDisplay(nullptr);
  if (native->display == nullptr) return;
  native->window = XCreateSimpleWindow(native->display, DefaultRootWindow(native->display), 0, 0, 800, 600, 0, 0,
                                       WhitePixel(native->display, DefaultScreen(native->display)));
  XMapWindow(native->display, native->window);
  XSync(native->display, False);
}

HostParentWindow::~HostParentWindow() {
  if (native->display != nullptr) {
    XDestroyWindow(native->display, native->window);
    XCloseDisplay(native->display);
  }
  delete native;
}

bool HostParentWindow::valid() const { return native->display != nullptr && native->window != 0; }
void* HostParentWindow::handle() const {
  return reinterpret_cast<void*>(static_cast<std::uintptr_t>(native->window));
}

int HostParentWindow::childCount() const {
  XSync(native->display, False);
  Window root = 0, up = 0;
  Window* children = nullptr;
  unsigned int count = 0;
  XQueryTree(native->display, native->window, &root, &up, &children, &count);
  if (children != nullptr) XFree(children);
  return static_cast<int>(count);
}

bool HostParentWindow::childSize(int& width, int& height) const {
  XSync(native->display, False);
  const Window child = native->firstChild();
  if (child == 0) return false;
  XWindowAttributes attributes{};
  XGetWindowAttributes(native->display, child, &attributes);
  width = attributes.width;
  height = attributes.height;
  return true;
}

bool HostParentWindow::childVisible() const {
  XSync(native->display, False);
  const Window child = native->firstChild();
  if (child == 0) return false;
  XWindowAttributes attributes{};
  XGetWindowAttributes(native->display, child, &attributes);
  return attributes.map_state == IsViewable;
}

void HostParentWindow::processPending() {
  // The host window takes no events of its own; what the editor's window
  // needs comes through its own connection at its idle.
  XFlush(native->display);
}

void HostParentWindow::pump(const std::function<void()>& editorIdle, int milliseconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  do {
    XSync(native->display, False);
    editorIdle();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  } while (std::chrono::steady_clock::now() < end);
}

#endif

}  // namespace editortest
