// The zoom Windows suggests: 2 when the host process is DPI-aware (the
// system then leaves scaling to it) and the window's screen has 144 DPI or
// more; a host that is not DPI-aware is scaled by the system already.

#include <windows.h>

#include "platform/EditorZoom.h"

namespace platform {

namespace {

constexpr int kHighDensityDpi = 144;

int dpiOf(HWND window) {
  // GetDpiForWindow exists from Windows 10 on; older systems have one DPI.
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  HMODULE user = GetModuleHandleW(L"user32.dll");
  auto getDpiForWindow = user != nullptr ? reinterpret_cast<GetDpiForWindowFunction>(
                                               reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForWindow")))
                                         : nullptr;
  if (getDpiForWindow != nullptr && window != nullptr) return static_cast<int>(getDpiForWindow(window));
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

int systemDefaultZoom(void* parentWindow) {
  if (!IsProcessDPIAware()) return 1;
  return dpiOf(static_cast<HWND>(parentWindow)) >= kHighDensityDpi ? 2 : 1;
}

}  // namespace platform
