#include "platform/linux/XdndTarget.h"

#include <X11/Xatom.h>

#include "platform/GuiExceptions.h"
#include "platform/UriList.h"
#include "platform/linux/XErrorTrap.h"

namespace platform {

namespace {

constexpr long kVersion = 5;

// The window of `window`'s top level: the highest ancestor that carries the
// window manager's WM_STATE, or the child of the root without a manager.
Window topLevelOf(Display* display, Window window) {
  const Atom wmState = XInternAtom(display, "WM_STATE", False);
  Window highestWithState = 0;
  Window current = window;
  for (int depth = 0; depth < 64; ++depth) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, current, wmState, 0, 0, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        type != 0) {
      highestWithState = current;
    }
    if (data != nullptr) XFree(data);
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned int childCount = 0;
    if (XQueryTree(display, current, &root, &parent, &children, &childCount) == 0) break;
    if (children != nullptr) XFree(children);
    if (parent == 0 || parent == root) return highestWithState != 0 ? highestWithState : current;
    current = parent;
  }
  return highestWithState != 0 ? highestWithState : current;
}

bool hasProperty(Display* display, Window window, Atom property) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  const bool found = XGetWindowProperty(display, window, property, 0, 1, False, AnyPropertyType, &type, &format, &count,
                                        &after, &data) == Success &&
                     type != 0;
  if (data != nullptr) XFree(data);
  return found;
}

Window windowProperty(Display* display, Window window, Atom property) {
  Atom type = 0;
  int format = 0;
  unsigned long count = 0, after = 0;
  unsigned char* data = nullptr;
  Window value = 0;
  if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &after, &data) ==
          Success &&
      type == XA_WINDOW && format == 32 && count == 1) {
    value = static_cast<Window>(reinterpret_cast<unsigned long*>(data)[0]);
  }
  if (data != nullptr) XFree(data);
  return value;
}

}  // namespace

XdndTarget::XdndTarget(Display* display, Window window, Window parent) : display_(display), window_(window) {
  aware_ = XInternAtom(display, "XdndAware", False);
  proxy_ = XInternAtom(display, "XdndProxy", False);
  enter_ = XInternAtom(display, "XdndEnter", False);
  position_ = XInternAtom(display, "XdndPosition", False);
  status_ = XInternAtom(display, "XdndStatus", False);
  leave_ = XInternAtom(display, "XdndLeave", False);
  drop_ = XInternAtom(display, "XdndDrop", False);
  finished_ = XInternAtom(display, "XdndFinished", False);
  selection_ = XInternAtom(display, "XdndSelection", False);
  typeList_ = XInternAtom(display, "XdndTypeList", False);
  actionCopy_ = XInternAtom(display, "XdndActionCopy", False);
  uriList_ = XInternAtom(display, "text/uri-list", False);
  property_ = XInternAtom(display, "VORNHALT_DROPPED", False);

  const long version = kVersion;
  XChangeProperty(display, window, aware_, XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&version), 1);
  // A proxy must name itself.
  const unsigned long self = window;
  XChangeProperty(display, window, proxy_, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&self),
                  1);
  withoutXErrors(display, [&] {
    const Window top = topLevelOf(display, parent);
    if (top == 0 || hasProperty(display, top, aware_) || hasProperty(display, top, proxy_)) return;
    XChangeProperty(display, top, proxy_, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<const unsigned char*>(&self),
                    1);
    XChangeProperty(display, top, aware_, XA_ATOM, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&version), 1);
    proxiedTopLevel_ = top;
  });
}

XdndTarget::~XdndTarget() {
  if (proxiedTopLevel_ == 0) return;
  withoutXErrors(display_, [&] {
    if (windowProperty(display_, proxiedTopLevel_, proxy_) != window_) return;
    XDeleteProperty(display_, proxiedTopLevel_, proxy_);
    XDeleteProperty(display_, proxiedTopLevel_, aware_);
  });
}

bool XdndTarget::handle(const XEvent& event) {
  if (event.type == SelectionNotify) {
    if (event.xselection.property != property_ && !(awaitingData_ && event.xselection.selection == selection_)) {
      return false;
    }
    selectionArrived(event.xselection);
    return true;
  }
  if (event.type != ClientMessage || event.xclient.format != 32) return false;
  const XClientMessageEvent& message = event.xclient;
  if (message.message_type == enter_) {
    enter(message);
  } else if (message.message_type == position_) {
    position(message);
  } else if (message.message_type == leave_) {
    source_ = 0;
    offersUriList_ = accepted_ = false;
  } else if (message.message_type == drop_) {
    drop(message);
  } else {
    return false;
  }
  return true;
}

void XdndTarget::enter(const XClientMessageEvent& message) {
  source_ = static_cast<Window>(message.data.l[0]);
  target_ = message.window;
  accepted_ = awaitingData_ = false;
  offersUriList_ = false;
  const bool moreThanThree = (message.data.l[1] & 1) != 0;
  if (!moreThanThree) {
    for (int i = 2; i <= 4; ++i) offersUriList_ = offersUriList_ || static_cast<Atom>(message.data.l[i]) == uriList_;
    return;
  }
  withoutXErrors(display_, [&] {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, source_, typeList_, 0, 64, False, XA_ATOM, &type, &format, &count, &after,
                           &data) == Success &&
        type == XA_ATOM && format == 32) {
      const auto* types = reinterpret_cast<const unsigned long*>(data);
      for (unsigned long i = 0; i < count; ++i) offersUriList_ = offersUriList_ || types[i] == uriList_;
    }
    if (data != nullptr) XFree(data);
  });
}

void XdndTarget::position(const XClientMessageEvent& message) {
  if (source_ == 0) {
    source_ = static_cast<Window>(message.data.l[0]);
    target_ = message.window;
  }
  const int rootX = static_cast<int>((message.data.l[2] >> 16) & 0xFFFF);
  const int rootY = static_cast<int>(message.data.l[2] & 0xFFFF);
  bool inside = false;
  withoutXErrors(display_, [&] {
    int x = 0, y = 0;
    Window child = 0;
    XWindowAttributes attributes{};
    if (XTranslateCoordinates(display_, DefaultRootWindow(display_), window_, rootX, rootY, &x, &y, &child) &&
        XGetWindowAttributes(display_, window_, &attributes)) {
      inside = x >= 0 && y >= 0 && x < attributes.width && y < attributes.height;
    }
  });
  accepted_ = offersUriList_ && inside && handler_ != nullptr;
  // Bit 1: send positions again as the pointer moves (the answer depends on
  // where it is).
  sendToSource(status_, (accepted_ ? 1 : 0) | 2, 0, 0, accepted_ ? static_cast<long>(actionCopy_) : 0);
}

void XdndTarget::drop(const XClientMessageEvent& message) {
  if (source_ == 0) source_ = static_cast<Window>(message.data.l[0]);
  if (!accepted_) {
    finish(false);
    return;
  }
  awaitingData_ = true;
  XConvertSelection(display_, selection_, uriList_, property_, window_, static_cast<Time>(message.data.l[2]));
  XFlush(display_);
}

void XdndTarget::selectionArrived(const XSelectionEvent& event) {
  if (!awaitingData_) return;
  awaitingData_ = false;
  std::string list;
  if (event.property != 0) {
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, window_, property_, 0, 1 << 20, True, AnyPropertyType, &type, &format, &count,
                           &after, &data) == Success &&
        format == 8 && data != nullptr) {
      list.assign(reinterpret_cast<const char*>(data), count);
    }
    if (data != nullptr) XFree(data);
  }
  const std::vector<std::string> files = filePathsOfUriList(list);
  finish(!files.empty());
  if (!files.empty() && handler_) {
    try {
      handler_(files);
    } catch (...) {
      reportCurrentException();
    }
  }
}

void XdndTarget::finish(bool accepted) {
  sendToSource(finished_, accepted ? 1 : 0, accepted ? static_cast<long>(actionCopy_) : 0, 0, 0);
  source_ = 0;
  offersUriList_ = accepted_ = false;
}

void XdndTarget::sendToSource(Atom type, long l1, long l2, long l3, long l4) {
  if (source_ == 0) return;
  XEvent reply{};
  reply.xclient.type = ClientMessage;
  reply.xclient.display = display_;
  reply.xclient.window = source_;
  reply.xclient.message_type = type;
  reply.xclient.format = 32;
  reply.xclient.data.l[0] = static_cast<long>(target_ != 0 ? target_ : window_);
  reply.xclient.data.l[1] = l1;
  reply.xclient.data.l[2] = l2;
  reply.xclient.data.l[3] = l3;
  reply.xclient.data.l[4] = l4;
  const Window source = source_;
  withoutXErrors(display_, [&] { XSendEvent(display_, source, False, NoEventMask, &reply); });
}

}  // namespace platform
