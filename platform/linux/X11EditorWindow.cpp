// The editor's child window on X11: a child of the host's window on a
// display connection of our own, showing the form's pixels through an
// XImage. There is no thread and no loop of ours: the host's editor idle
// calls handle the pending events and present what changed, and that is
// also how the window's boxes and menus (drawn over the form) are answered,
// so the host's GUI thread is never held. The window takes the keyboard only
// while a box is open and then gives it back; it is a drop target for files.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include <X11/Xatom.h>
#include <X11/keysym.h>

#include "platform/EditorZoom.h"
#include "platform/GuiExceptions.h"
#include "platform/NativeEditorWindow.h"
#include "platform/drawn/InWindowBoxes.h"
#include "platform/headless/HeadlessEditorWindow.h"
#include "platform/linux/XErrorTrap.h"
#include "platform/linux/XdndTarget.h"

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

// Whether `parent` is a window of this display: a host may hand over a stale
// or foreign handle.
bool parentWindowExists(Display* display, Window parent) {
  Status status = 0;
  const bool clean = withoutXErrors(display, [&] {
    XWindowAttributes attributes{};
    status = XGetWindowAttributes(display, parent, &attributes);
  });
  return status != 0 && clean;
}

// XLookupString gives Latin-1 text.
std::string latin1ToUtf8(const char* text, int length) {
  std::string utf8;
  for (int i = 0; i < length; ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      utf8.push_back(static_cast<char>(c));
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (c >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return utf8;
}

BoxKey boxKeyOf(KeySym symbol) {
  switch (symbol) {
    case XK_Return:
    case XK_KP_Enter: return BoxKey::enter;
    case XK_Escape: return BoxKey::escape;
    case XK_BackSpace: return BoxKey::backspace;
    case XK_Delete:
    case XK_KP_Delete: return BoxKey::del;
    case XK_Up:
    case XK_KP_Up: return BoxKey::up;
    case XK_Down:
    case XK_KP_Down: return BoxKey::down;
    case XK_Left:
    case XK_KP_Left: return BoxKey::left;
    case XK_Right:
    case XK_KP_Right: return BoxKey::right;
    case XK_Home:
    case XK_KP_Home: return BoxKey::home;
    case XK_End:
    case XK_KP_End: return BoxKey::end;
    case XK_Page_Up:
    case XK_KP_Page_Up: return BoxKey::pageUp;
    case XK_Page_Down:
    case XK_KP_Page_Down: return BoxKey::pageDown;
    case XK_Tab:
    case XK_ISO_Left_Tab: return BoxKey::tab;
    default: return BoxKey::none;
  }
}

bool toButton(unsigned int x11Button, gui::MouseButton& button) {
  switch (x11Button) {
    case Button1: button = gui::MouseButton::left; return true;
    case Button2: button = gui::MouseButton::middle; return true;
    case Button3: button = gui::MouseButton::right; return true;
    default: return false;  // wheel steps and extra buttons
  }
}

class X11EditorWindow final : public NativeEditorWindow, private BoxScreen {
 public:
  X11EditorWindow(Window parent, gui::Form& form, int zoom) : form_(form), zoom_(zoom), boxes_(*this) {
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
                            LeaveWindowMask | StructureNotifyMask | KeyPressMask | PropertyChangeMask;
    window_ = XCreateWindow(display_, parent, 0, 0, static_cast<unsigned>(form.width() * zoom_),
                            static_cast<unsigned>(form.height() * zoom_), 0, CopyFromParent, InputOutput,
                            CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    gc_ = XCreateGC(display_, window_, 0, nullptr);
    clipboard_ = XInternAtom(display_, "CLIPBOARD", False);
    utf8String_ = XInternAtom(display_, "UTF8_STRING", False);
    pasteProperty_ = XInternAtom(display_, "VORNHALT_PASTE", False);
    drops_ = std::make_unique<XdndTarget>(display_, window_, parent);
    form_.setHost(this);
    registerInWindowPresenter(&boxes_);
    XSync(display_, False);
  }

  ~X11EditorWindow() override {
    // Questions still open are answered as Cancel now, while the form is
    // alive; anything their handlers ask from here on is dismissed at once.
    unregisterInWindowPresenter(&boxes_);
    boxes_.dismissAll();
    if (form_.host() == this) form_.setHost(nullptr);
    if (display_ == nullptr) return;
    drops_.reset();
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
    const gui::Rect painted = boxes_.paint();
    if (!painted.empty()) present(painted);
  }
  void idle() override {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      PresenterDispatchScope asking(&boxes_);
      try {
        handleEvent(event);
      } catch (...) {
        reportCurrentException();
      }
    }
    repaintNow();
  }
  void* handle() const override { return reinterpret_cast<void*>(static_cast<std::uintptr_t>(window_)); }
  void acceptFiles(DropHandler handler) override { drops_->setHandler(std::move(handler)); }
  int zoom() const override { return zoom_; }
  void setZoom(int zoom) override {
    if (zoom == zoom_ || zoom < 1 || zoom > kLargestZoom) return;
    zoom_ = zoom;
    zoomed_ = gui::Canvas();
    XResizeWindow(display_, window_, static_cast<unsigned>(form_.width() * zoom_),
                  static_cast<unsigned>(form_.height() * zoom_));
    form_.invalidateRect(form_.bounds());
    repaintNow();
    present(form_.bounds());
    XSync(display_, False);
  }

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
    XTranslateCoordinates(display_, window_, DefaultRootWindow(display_), formPoint.x * zoom_, formPoint.y * zoom_, &x,
                          &y, &child);
    return {x, y};
  }

  // Puts the form pixels of `area` on the screen (at the zoom: each as a
  // block, only this area scaled).
  void present(const gui::Rect& formArea) {
    if (!visible_) return;
    const gui::Rect area = formArea.intersect(form_.bounds());
    if (area.empty()) return;
    const gui::Canvas* shown = &boxes_.pixels();
    if (zoom_ > 1) {
      if (zoomed_.width() != form_.width() * zoom_ || zoomed_.height() != form_.height() * zoom_) {
        zoomed_ = gui::Canvas(form_.width() * zoom_, form_.height() * zoom_);
      }
      zoomed_.drawZoomed(*shown, area, zoom_);
      shown = &zoomed_;
    }
    putImage(*shown, windowRectOf(area, zoom_));
  }

  void putImage(const gui::Canvas& canvas, const gui::Rect& area) {
    XImage* image = XCreateImage(display_, DefaultVisual(display_, DefaultScreen(display_)), 24, ZPixmap, 0,
                                 const_cast<char*>(reinterpret_cast<const char*>(canvas.pixels())),
                                 static_cast<unsigned>(canvas.width()), static_cast<unsigned>(canvas.height()), 32,
                                 canvas.width() * 4);
    if (image == nullptr) return;
    image->byte_order = LSBFirst;  // the canvas is little-endian 0xAARRGGBB
    XPutImage(display_, window_, gc_, image, area.left, area.top, area.left, area.top,
              static_cast<unsigned>(area.width()), static_cast<unsigned>(area.height()));
    image->data = nullptr;  // the canvas keeps its pixels
    XDestroyImage(image);
    XFlush(display_);
  }

 private:
  // BoxScreen: what the boxes drawn in the window need.
  gui::Form& form() override { return form_; }
  gui::Point fromScreen(ScreenPoint at) const override {
    int x = 0, y = 0;
    Window child = 0;
    XTranslateCoordinates(display_, DefaultRootWindow(display_), window_, at.x, at.y, &x, &y, &child);
    return formPointAt({x, y}, zoom_);
  }
  gui::Point formPoint(int x, int y) const { return formPointAt({x, y}, zoom_); }
  void boxesOpened() override {
    // Typing must reach the box even in hosts that keep the keyboard.
    withoutXErrors(display_, [&] {
      XGetInputFocus(display_, &focusBefore_, &revertBefore_);
      XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    });
  }
  void boxesClosed() override {
    const Window before = std::exchange(focusBefore_, 0);
    if (before == 0 || before == PointerRoot || before == window_) return;
    withoutXErrors(display_, [&] { XSetInputFocus(display_, before, revertBefore_, CurrentTime); });
  }

  void handleEvent(const XEvent& event) {
    if (drops_->handle(event)) return;
    if (boxes_.isOpen() && handleBoxEvent(event)) return;
    switch (event.type) {
      case Expose: {
        const XExposeEvent& e = event.xexpose;
        repaintNow();
        present(formRectCovering(gui::Rect::sized(e.x, e.y, e.width, e.height), zoom_));
        break;
      }
      case ButtonPress: {
        gui::MouseButton button;
        if (!toButton(event.xbutton.button, button)) break;
        const gui::Point at = formPoint(event.xbutton.x, event.xbutton.y);
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
        form_.mouseUpAt(formPoint(event.xbutton.x, event.xbutton.y), button, shift);
        break;
      }
      case MotionNotify:
        form_.mouseMoveAt(formPoint(event.xmotion.x, event.xmotion.y), keysOf(event.xmotion.state));
        break;
      case LeaveNotify: form_.mouseLeftWindow(); break;
      default: break;
    }
  }

  // While a box is open it takes the pointer and the keys; the form sees
  // none of them. Answers whether the event was the box's.
  bool handleBoxEvent(const XEvent& event) {
    switch (event.type) {
      case ButtonPress:
        if (event.xbutton.button == Button4 || event.xbutton.button == Button5) {
          // The wheel walks a list or a menu.
          boxes_.key(event.xbutton.button == Button4 ? BoxKey::up : BoxKey::down, {});
        } else if (event.xbutton.button == Button2) {
          requestPaste(XA_PRIMARY, event.xbutton.time);
        } else if (event.xbutton.button == Button1 || event.xbutton.button == Button3) {
          boxes_.press(formPoint(event.xbutton.x, event.xbutton.y));
        }
        return true;
      case ButtonRelease:
        if (event.xbutton.button == Button1 || event.xbutton.button == Button3) {
          boxes_.release(formPoint(event.xbutton.x, event.xbutton.y));
        }
        return true;
      case MotionNotify: boxes_.move(formPoint(event.xmotion.x, event.xmotion.y)); return true;
      case LeaveNotify: return true;
      case KeyPress: {
        XKeyEvent key = event.xkey;
        char text[32] = {};
        KeySym symbol = 0;
        const int length = XLookupString(&key, text, sizeof text, &symbol, nullptr);
        if ((key.state & ControlMask) != 0 && (symbol == XK_v || symbol == XK_V)) {
          requestPaste(clipboard_, key.time);
        } else if ((key.state & ShiftMask) != 0 && symbol == XK_Insert) {
          requestPaste(clipboard_, key.time);
        } else if (const BoxKey named = boxKeyOf(symbol); named != BoxKey::none) {
          boxes_.key(named, {});
        } else if (length > 0 && (key.state & ControlMask) == 0) {
          boxes_.key(BoxKey::none, latin1ToUtf8(text, length));
        }
        return true;
      }
      case SelectionNotify:
        if (event.xselection.property != pasteProperty_) return false;
        boxes_.key(BoxKey::none, takePastedText());
        return true;
      default: return false;
    }
  }

  void requestPaste(Atom selection, Time time) {
    XConvertSelection(display_, selection, utf8String_, pasteProperty_, window_, time);
    XFlush(display_);
  }

  // The pasted text, up to its first line break (an edit line has one line).
  std::string takePastedText() {
    std::string text;
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window_, pasteProperty_, 0, 4096, True, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success &&
        format == 8 && data != nullptr) {
      text.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) XFree(data);
    const std::size_t lineEnd = text.find_first_of("\r\n");
    if (lineEnd != std::string::npos) text.erase(lineEnd);
    return text;
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
  int zoom_ = 1;
  gui::Canvas zoomed_;  // the screen's pixels at a zoom above 1
  Display* display_ = nullptr;
  Window window_ = 0;
  GC gc_{};
  bool visible_ = false;
  LastPress lastPress_;
  std::map<gui::Cursor, Cursor> cursors_;
  InWindowBoxes boxes_;
  std::unique_ptr<XdndTarget> drops_;
  Window focusBefore_ = 0;  // who had the keyboard before a box took it
  int revertBefore_ = RevertToParent;
  Atom clipboard_ = 0;
  Atom utf8String_ = 0;
  Atom pasteProperty_ = 0;
};

}  // namespace

std::unique_ptr<NativeEditorWindow> createNativeEditorWindow(void* parent, gui::Form& form, int zoom) {
  zoom = std::clamp(zoom, 1, kLargestZoom);
  if (parent != nullptr) {
    auto window =
        std::make_unique<X11EditorWindow>(static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent)), form, zoom);
    if (window->created()) return window;
  }
  return std::make_unique<HeadlessEditorWindow>(form, zoom);
}

}  // namespace platform
