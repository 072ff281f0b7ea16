#pragma once
// The editor window as a drop target of the desktop's drag and drop protocol
// (XDND, version 5). The window announces itself with XdndAware; desktops
// look for targets on top-level windows only, so where the host's top-level
// window neither takes drops itself nor names a proxy, it gets an XdndProxy
// that points at the editor. Offers of "text/uri-list" are accepted over the
// editor window; the dropped list's local files arrive as paths. Every
// position is answered with XdndStatus and every drop with XdndFinished.

#include <X11/Xlib.h>

#include <functional>
#include <string>
#include <vector>

namespace platform {

class XdndTarget {
 public:
  using DropHandler = std::function<void(const std::vector<std::string>& files)>;

  // `window` is the editor's window; `parent` the host's window it lives in.
  XdndTarget(Display* display, Window window, Window parent);
  // Takes the proxy off the host's window again if it is still ours.
  ~XdndTarget();
  XdndTarget(const XdndTarget&) = delete;
  XdndTarget& operator=(const XdndTarget&) = delete;

  void setHandler(DropHandler handler) { handler_ = std::move(handler); }
  // Handles the event when it belongs to a drag; false when it does not.
  bool handle(const XEvent& event);

 private:
  void enter(const XClientMessageEvent& message);
  void position(const XClientMessageEvent& message);
  void drop(const XClientMessageEvent& message);
  void selectionArrived(const XSelectionEvent& event);
  void sendToSource(Atom type, long l1, long l2, long l3, long l4);
  void finish(bool accepted);

  Display* display_;
  Window window_;
  Window proxiedTopLevel_ = 0;
  DropHandler handler_;

  // The drag in progress.
  Window source_ = 0;
  Window target_ = 0;  // the window the source addresses (ours or the proxied top-level)
  bool offersUriList_ = false;
  bool accepted_ = false;
  bool awaitingData_ = false;

  Atom aware_, proxy_, enter_, position_, status_, leave_, drop_, finished_, selection_, typeList_,
      actionCopy_, uriList_, property_;
};

}  // namespace platform
