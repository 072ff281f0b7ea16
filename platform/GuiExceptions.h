#pragma once
// What happens to an error that escapes a GUI event handler: the user sees
// its message, and the event loop goes on.

namespace platform {

// Call inside a catch block only. Shows the message of the exception being
// handled in an error box. Never throws. GUI thread.
void reportCurrentException() noexcept;

}  // namespace platform
