// The editor's child window on Windows: painted from the form's 32-bit
// pixels as a top-down DIB, fed with the window's mouse messages, and a
// target for files dropped from the shell.

#include <windows.h>
#include <windowsx.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/EditorZoom.h"
#include "platform/GuiExceptions.h"
#include "platform/NativeEditorWindow.h"
#include "platform/headless/HeadlessEditorWindow.h"
#include "platform/win32/ModuleInstance.h"
#include "platform/win32/WideText.h"

namespace platform {

namespace {

constexpr wchar_t kClassName[] = L"VornhaltEditorWindow";

LRESULT CALLBACK editorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

bool registerEditorClass() {
  static const bool registered = [] {
    WNDCLASSW windowClass{};
    windowClass.style = CS_DBLCLKS;  // double clicks arrive as their own messages
    windowClass.lpfnWndProc = editorWindowProc;
    windowClass.hInstance = moduleInstance();
    windowClass.hCursor = nullptr;  // set per component on WM_SETCURSOR
    windowClass.lpszClassName = kClassName;
    return RegisterClassW(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }();
  return registered;
}

// The system cursors by their resource numbers (the IDC_ names are narrow
// strings unless the whole build is UNICODE).
LPCWSTR systemCursor(gui::Cursor cursor) {
  WORD id = 32512;  // arrow
  switch (cursor) {
    case gui::Cursor::cross: id = 32515; break;
    case gui::Cursor::hand: id = 32649; break;
    case gui::Cursor::sizeNS: id = 32645; break;
    case gui::Cursor::sizeWE: id = 32644; break;
    case gui::Cursor::wait: id = 32514; break;
    case gui::Cursor::ibeam: id = 32513; break;
    case gui::Cursor::inherit:
    case gui::Cursor::arrow: break;
  }
  return MAKEINTRESOURCEW(id);
}

// The held keys and buttons of a mouse message: its MK_ flags (after the
// event for a release) and the Alt key, which the flags leave out.
gui::ShiftState shiftOf(WPARAM wParam) {
  gui::ShiftState state = 0;
  if (wParam & MK_SHIFT) state |= gui::kShift;
  if (wParam & MK_CONTROL) state |= gui::kCtrl;
  if (wParam & MK_LBUTTON) state |= gui::kLeft;
  if (wParam & MK_RBUTTON) state |= gui::kRight;
  if (wParam & MK_MBUTTON) state |= gui::kMiddle;
  if (GetKeyState(VK_MENU) < 0) state |= gui::kAlt;
  return state;
}

class Win32EditorWindow final : public NativeEditorWindow {
 public:
  Win32EditorWindow(HWND parent, gui::Form& form, int zoom) : form_(form), zoom_(zoom) {
    if (!registerEditorClass()) return;
    window_ = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, 0,
                              form.width() * zoom_, form.height() * zoom_, parent, nullptr, moduleInstance(), this);
    if (window_ != nullptr) form_.setHost(this);
  }

  ~Win32EditorWindow() override {
    if (form_.host() == this) form_.setHost(nullptr);
    if (window_ != nullptr) {
      SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
      DestroyWindow(window_);
    }
  }

  bool created() const { return window_ != nullptr; }

  void show() override { ShowWindow(window_, SW_SHOW); }
  void hide() override { ShowWindow(window_, SW_HIDE); }
  bool isVisible() const override { return IsWindowVisible(window_) != FALSE; }
  void repaintNow() override {
    if (form_.needsPaint()) UpdateWindow(window_);
  }
  void idle() override { repaintNow(); }
  void* handle() const override { return window_; }

  void acceptFiles(DropHandler handler) override {
    dropHandler_ = std::move(handler);
    DragAcceptFiles(window_, dropHandler_ ? TRUE : FALSE);
  }

  int zoom() const override { return zoom_; }
  void setZoom(int zoom) override {
    if (zoom == zoom_ || zoom < 1 || zoom > kLargestZoom) return;
    zoom_ = zoom;
    zoomed_ = gui::Canvas();
    SetWindowPos(window_, nullptr, 0, 0, form_.width() * zoom_, form_.height() * zoom_,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    form_.invalidateRect(form_.bounds());
    InvalidateRect(window_, nullptr, FALSE);
    UpdateWindow(window_);
  }

  void invalidateRect(const gui::Rect& rect) override {
    const gui::Rect shown = windowRectOf(rect, zoom_);
    const RECT r{shown.left, shown.top, shown.right, shown.bottom};
    InvalidateRect(window_, &r, FALSE);
  }

  void setCursor(gui::Cursor cursor) override {
    cursor_ = cursor;
    POINT at{};
    GetCursorPos(&at);
    if (WindowFromPoint(at) == window_) SetCursor(LoadCursorW(nullptr, systemCursor(cursor_)));
  }

  void setMouseCapture(bool captured) override {
    if (captured) {
      SetCapture(window_);
    } else if (GetCapture() == window_) {
      ReleaseCapture();
    }
  }

  gui::Point toScreen(gui::Point formPoint) const override {
    POINT p{formPoint.x * zoom_, formPoint.y * zoom_};
    ClientToScreen(window_, &p);
    return {p.x, p.y};
  }

  LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    // Pointer positions in form pixels, whatever the zoom.
    const gui::Point at = formPointAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, zoom_);
    switch (message) {
      case WM_ERASEBKGND: return 1;  // the form covers every pixel
      case WM_PAINT: paint(); return 0;
      case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
          SetCursor(LoadCursorW(nullptr, systemCursor(cursor_)));
          return TRUE;
        }
        break;
      case WM_LBUTTONDOWN: form_.mouseDownAt(at, gui::MouseButton::left, shiftOf(wParam)); return 0;
      case WM_RBUTTONDOWN: form_.mouseDownAt(at, gui::MouseButton::right, shiftOf(wParam)); return 0;
      case WM_MBUTTONDOWN: form_.mouseDownAt(at, gui::MouseButton::middle, shiftOf(wParam)); return 0;
      case WM_LBUTTONDBLCLK:
        form_.mouseDownAt(at, gui::MouseButton::left, shiftOf(wParam) | gui::kDouble);
        return 0;
      case WM_RBUTTONDBLCLK:
        form_.mouseDownAt(at, gui::MouseButton::right, shiftOf(wParam) | gui::kDouble);
        return 0;
      case WM_MBUTTONDBLCLK:
        form_.mouseDownAt(at, gui::MouseButton::middle, shiftOf(wParam) | gui::kDouble);
        return 0;
      case WM_LBUTTONUP: form_.mouseUpAt(at, gui::MouseButton::left, shiftOf(wParam)); return 0;
      case WM_RBUTTONUP: form_.mouseUpAt(at, gui::MouseButton::right, shiftOf(wParam)); return 0;
      case WM_MBUTTONUP: form_.mouseUpAt(at, gui::MouseButton::middle, shiftOf(wParam)); return 0;
      case WM_MOUSEMOVE:
        if (!tracking_) {
          TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window_, 0};
          tracking_ = TrackMouseEvent(&track) != FALSE;
        }
        form_.mouseMoveAt(at, shiftOf(wParam));
        return 0;
      case WM_MOUSELEAVE:
        tracking_ = false;
        form_.mouseLeftWindow();
        return 0;
      case WM_CAPTURECHANGED:
        // The system took the capture away (a menu, a dialog): no drag goes on.
        if (reinterpret_cast<HWND>(lParam) != window_ && form_.captured() != nullptr) form_.releaseCapture();
        return 0;
      case WM_DROPFILES: dropped(reinterpret_cast<HDROP>(wParam)); return 0;
      default: break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
  }

 private:
  void paint() {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(window_, &ps);
    form_.paintDirty();
    // Only the damaged form pixels. Above 100 % they are first copied as
    // blocks into a zoomed surface (nearest neighbour keeps the artwork
    // crisp), which is then put on the screen one to one like the form is.
    const RECT& r = ps.rcPaint;
    const gui::Rect from = formRectCovering({r.left, r.top, r.right, r.bottom}, zoom_).intersect(form_.bounds());
    const gui::Canvas* shown = &form_.canvas();
    if (zoom_ > 1 && !from.empty()) {
      if (zoomed_.width() != form_.width() * zoom_ || zoomed_.height() != form_.height() * zoom_) {
        zoomed_ = gui::Canvas(form_.width() * zoom_, form_.height() * zoom_);
      }
      zoomed_.drawZoomed(form_.canvas(), from, zoom_);
      shown = &zoomed_;
    }
    const gui::Rect to = windowRectOf(from, zoom_);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = shown->width();
    info.bmiHeader.biHeight = -shown->height();  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    if (!to.empty()) {
      StretchDIBits(dc, to.left, to.top, to.width(), to.height(), to.left, to.top, to.width(), to.height(),
                    shown->pixels(), &info, DIB_RGB_COLORS, SRCCOPY);
    }
    EndPaint(window_, &ps);
  }

  void dropped(HDROP drop) {
    std::vector<std::string> files;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
      const UINT length = DragQueryFileW(drop, i, nullptr, 0);
      std::wstring name(length + 1, L'\0');
      DragQueryFileW(drop, i, name.data(), length + 1);
      name.resize(length);
      files.push_back(fromWide(name));
    }
    DragFinish(drop);
    if (dropHandler_) dropHandler_(files);
  }

  gui::Form& form_;
  int zoom_ = 1;
  gui::Canvas zoomed_;  // the screen's pixels at a zoom above 1
  HWND window_ = nullptr;
  gui::Cursor cursor_ = gui::Cursor::arrow;
  bool tracking_ = false;
  DropHandler dropHandler_;
};

LRESULT CALLBACK editorWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->handle() != window) return DefWindowProcW(window, message, wParam, lParam);
  // No exception may unwind through the system's dispatch.
  try {
    return self->dispatch(message, wParam, lParam);
  } catch (...) {
    reportCurrentException();
    return 0;
  }
}

}  // namespace

std::unique_ptr<NativeEditorWindow> createNativeEditorWindow(void* parent, gui::Form& form, int zoom) {
  zoom = zoom < 1 ? 1 : zoom > kLargestZoom ? kLargestZoom : zoom;
  if (parent != nullptr) {
    auto window = std::make_unique<Win32EditorWindow>(static_cast<HWND>(parent), form, zoom);
    if (window->created()) return window;
  }
  return std::make_unique<HeadlessEditorWindow>(form, zoom);
}

}  // namespace platform
