#include "platform/linux/XErrorTrap.h"

namespace platform {

namespace {
bool trapped = false;  // GUI thread only, set by the handler below
}

bool withoutXErrors(Display* display, const std::function<void()>& requests) {
  XSync(display, False);
  trapped = false;
  XErrorHandler previous = XSetErrorHandler([](Display*, XErrorEvent*) -> int {
    trapped = true;
    return 0;
  });
  requests();
  XSync(display, False);
  XSetErrorHandler(previous);
  return !trapped;
}

}  // namespace platform
