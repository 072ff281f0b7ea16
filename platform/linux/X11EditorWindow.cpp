// The editor's child window on X11: a child of the host's window on a
// display connection of our own, showing the form's pixels through an
// XImage. There is no thread and no message loop of ours: the host's editor
// idle calls handle the pending events and present what changed. While the
// window is open it also presents the modal boxes (drawn over the form).

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <cstdint>
#include <cstdlib>
#include <map>

#include "platform/GuiExceptions.h"
#include "platform/NativeEditorWindow.h"
#include "platform/headless/HeadlessEditorWindow.h"
#include "platform/linux/X11DialogPresenter.h"

namespace platform {

namespace {

// Pointer presses closer in time and place count as a double click.
constexpr Time kDoubleClickMs = 500;
constexpr int kDoubleClickDistance = 4;

unsigned int fontCursorShape(gui::Cursor cursor) {
  switch (cursor) {
    case gui::Cursor::cross: return XC_crosshair;
    case gui::Cursor::hand: return XC_hand2;
    case gui::Cursor::sizeNS: return XC_sb_v_double_arrow;
    case gui::Cursor::sizeWE: return XC_sb_h_double_arrow;
    case gui::Cursor::wait: return XC_watch;
    case gui::Cursor::ibeam: return XC_xterm;
    case gui::Cursor::inherit:
    case gui::Cursor::arrow: break;
  }
  return XC_left_ptr;
}

gui::ShiftState keysOf(unsigned int state) {
  gui::ShiftState s = 0;
  if (state & ShiftMask) s |= gui::kShift;
  if (state & ControlMask) s |= gui::kCtrl;
  if (state & Mod1Mask) s |= gui::kAlt;
  if (state & Button1Mask) s |= gui::kLeft;
  if (state & Button2Mask) s |= gui::kMiddle;
  if (state & Button3Mask) s |= gui::kRight;
  return s;
}

// Whether `parent` is a window of this display. Xlib's default error handler
// ends the process on an error, and a host's process must never end because
// it handed over a stale or foreign handle, so the check runs under a
// handler of our own that only records the error.
bool parentWindowExists(Display* display, Window parent) {
  static bool failed;  // GUI thread only, set by the handler below
  XSync(display, False);
  failed = false;
  XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) -> int {
    failed = true;
    return 0;
  });
  XWindowAttributes attributes{};
  const Status status = XGetWindowAttributes(display, parent, &attributes);
  XSync(display, False);
  XSetErrorHandler(previous);
  return status != 0 && !failed;
}

bool toButton(unsigned int x11Button, gui::MouseButton& button) {
  switch (x11Button) {
    case Button1: button = gui::MouseButton::left; return true;
    case Button2: button = gui::MouseButton::middle; return true;
    case Button3: button = gui::MouseButton::right; return true;
    default: return false;  // wheel steps and extra buttons
  }
}

class X11EditorWindow final : public NativeEditorWindow, public X11Surface {
 public:
  X11EditorWindow(Window parent, gui::Form& form) : form_(form) {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) return;
    const int screen = DefaultScreen(display_);
    Visual* visual = DefaultVisual(display_, screen);
    if (DefaultDepth(display_, screen) < 24 || visual->c_class != TrueColor || !parentWindowExists(display_, parent)) {
      XCloseDisplay(display_);
      display_ = nullptr;
      return;
    }
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;  // the form covers every pixel
    attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            LeaveWindowMask | StructureNotifyMask | KeyPressMask;
    window_ = XCreateWindow(display_, parent, 0, 0, static_cast<unsigned>(form.width()),
                            static_cast<unsigned>(form.height()), 0, CopyFromParent, InputOutput, CopyFromParent,
                            CWBackPixmap | CWEventMask, &attributes);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    form_.setHost(this);
    presenter_ = std::make_unique<X11DialogPresenter>(*this);
    registerInWindowPresenter(presenter_.get());
    XSync(display_, False);
  }

  ~X11EditorWindow() override {
    if (presenter_) unregisterInWindowPresenter(presenter_.get());
    if (form_.host() == this) form_.setHost(nullptr);
    if (display_ == nullptr) return;
    for (auto& entry : cursors_) XFreeCursor(display_, entry.second);
    XFreeGC(display_, gc_);
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }

  bool created() const { return display_ != nullptr; }

  // NativeEditorWindow
  void show() override {
    XMapRaised(display_, window_);
    visible_ = true;
    form_.invalidateRect(form_.bounds());
    repaintNow();
    XSync(display_, False);
  }
  void hide() override {
    XUnmapWindow(display_, window_);
    visible_ = false;
    // Done when the host's call returns, as with the system's own windows.
    XSync(display_, False);
  }
  bool isVisible() const override { return visible_; }
  void repaintNow() override {
    const gui::Rect painted = form_.paintDirty();
    if (!painted.empty()) present(painted);
  }
  void idle() override {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      try {
        handleEvent(event);
      } catch (...) {
        reportCurrentException();
      }
    }
    repaintNow();
  }
  void* handle() const override { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)); }
  void acceptFiles(DropHandler handler) override { dropHandler_ = std::move(handler); }

  // gui::FormHost
  void invalidateRect(const gui::Rect&) override {}  // presented at the next idle or repaint
  void setCursor(gui::Cursor cursor) override {
    auto found = cursors_.find(cursor);
    if (found == cursors_.end()) {
      found = cursors_.emplace(cursor, XCreateFontCursor(display_, fontCursorShape(cursor))).first;
    }
    XDefineCursor(display_, window_, found->second);
    XFlush(display_);
  }
  // The server grabs the pointer for us while a button is held.
  void setMouseCapture(bool) override {}
  gui::Point toScreen(gui::Point formPoint) const override {
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), formPoint.x, formPoint.y, &x, &y, &child);
    return {x, y};
  }

  // X11Surface: what the in-window dialogs need.
  Display* display() override { return display_; }
  Window window() override { return window_; }
  gui::Form& form() override { return form_; }
  void present(const gui::Rect& area) override {
    if (!visible_) return;
    gui::Canvas& canvas = form_.canvas();
    XImage* image = XCreateImage(display_, DefaultVisual(display_, DefaultScreen(display_)), 24, ZPixmap, 0,
                                 reinterpret_cast<char*>(canvas.pixels()), static_cast<unsigned>(canvas.width()),
                                 static_cast<unsigned>(canvas.height()), 32, canvas.width() * 4);
    if (image == nullptr) return;
    image->byte_order = LSBFirst;  // the canvas is little-endian 0xAARRGGBB
    XPutImage(display_, window_, gc_, image, area.left, area.top, area.left, area.top,
              static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
    image->data = nullptr;  // the canvas keeps its pixels
    XDestroyImage(image);
    XFlush(display_);
  }

 private:
  void handleEvent(const XEvent& event) {
    switch (event.type) {
      case Expose: {
        const XExposeEvent& e = event.xexpose;
        form_.paintDirty();
        present(gui::Rect::sized(e.x, e.y, e.width, e.height));
        break;
      }
      case ButtonPress: {
        gui::MouseButton button;
        if (!toButton(event.xbutton.button, button)) break;
        const gui::Point at{event.xbutton.x, event.xbutton.y};
        // The state is that before the press; the pressed button joins it.
        gui::ShiftState shift = keysOf(event.xbutton.state) | gui::buttonFlag(button);
        if (isDoubleClick(event.xbutton, button)) shift |= gui::kDouble;
        form_.mouseDownAt(at, button, shift);
        break;
      }
      case ButtonRelease: {
        gui::MouseButton button;
        if (!toButton(event.xbutton.button, button)) break;
        // The state is that before the release; the released button leaves it.
        const gui::ShiftState shift =
            keysOf(event.xbutton.state) & static_cast<gui::ShiftState>(~gui::buttonFlag(button));
        form_.mouseUpAt({event.xbutton.x, event.xbutton.y}, button, shift);
        break;
      }
      case MotionNotify:
        form_.mouseMoveAt({event.xmotion.x, event.xmotion.y}, keysOf(event.xmotion.state));
        break;
      case LeaveNotify: form_.mouseLeftWindow(); break;
      default: break;
    }
  }

  bool isDoubleClick(const XButtonEvent& e, gui::MouseButton button) {
    const bool isDouble = lastPress_.valid && !lastPress_.wasDouble && lastPress_.button == button &&
                          e.time - lastPress_.time <= kDoubleClickMs &&
                          std::abs(e.x - lastPress_.x) <= kDoubleClickDistance &&
                          std::abs(e.y - lastPress_.y) <= kDoubleClickDistance;
    lastPress_ = {true, isDouble, button, e.time, e.x, e.y};
    return isDouble;
  }

  struct LastPress {
    bool valid = false;
    bool wasDouble = false;
    gui::MouseButton button = gui::MouseButton::left;
    Time time = 0;
    int x = 0;
    int y = 0;
  };

  gui::Form& form_;
  Display* display_ = nullptr;
  Window window_ = 0;
  GC gc_{};
  bool visible_ = false;
  LastPress lastPress_;
  std::map<gui::Cursor, Cursor> cursors_;
  DropHandler dropHandler_;
  std::unique_ptr<X11DialogPresenter> presenter_;
};

}  // namespace

std::unique_ptr<NativeEditorWindow> createNativeEditorWindow(void* parent, gui::Form& form) {
  if (parent != nullptr) {
    auto window = std::make_unique<X11EditorWindow>(static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent)), form);
    if (window->created()) return window;
  }
  return std::make_unique<HeadlessEditorWindow>(form);
}

}  // namespace platform
