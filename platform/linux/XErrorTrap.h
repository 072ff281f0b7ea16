#pragma once
// Xlib's default error handler ends the process, and a host's process must
// never end because a window we talk to went away (the host's parent, the
// window that had the keyboard before a box, a drag's source). Requests that
// may meet such a window run inside a trap that only records the error.

#include <X11/Xlib.h>

#include <functional>

namespace platform {

// Runs `requests` and waits for the server's answer to them; false when any
// of them failed. GUI thread.
bool withoutXErrors(Display* display, const std::function<void()>& requests);

}  // namespace platform
