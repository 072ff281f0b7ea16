#include "platform/GuiExceptions.h"

#include <exception>
#include <string>

#include "platform/MessageBoxService.h"

namespace platform {

void reportCurrentException() noexcept {
  try {
    std::string text = "Unknown error";
    try {
      throw;
    } catch (const std::exception& e) {
      text = e.what();
    } catch (...) {
    }
    systemMessageBoxes().show(text, "Error", MessageButtons::ok, MessageIcon::error);
  } catch (...) {
    // Nothing sensible is left to do; the event loop must go on.
  }
}

}  // namespace platform
