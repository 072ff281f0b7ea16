// Message boxes on Linux: drawn inside the open editor window when there is
// one (it registers itself as the presenter); without a window nobody can
// answer, so the text goes to standard error and the box is dismissed.

#include <cstdio>
#include <string>

#include "platform/MessageBoxService.h"
#include "platform/PlatformDefaults.h"
#include "platform/linux/InWindowPresenter.h"

namespace platform {

namespace {

class LinuxMessageBoxes final : public MessageBoxService {
 public:
  MessageResult show(std::string_view text, std::string_view caption, MessageButtons buttons,
                     MessageIcon icon) override {
    if (MessageBoxService* presenter = inWindowMessageBoxes()) return presenter->show(text, caption, buttons, icon);
    const std::string line = std::string(caption) + ": " + std::string(text) + "\n";
    std::fputs(line.c_str(), stderr);
    return dismissedAnswer(buttons);
  }
};

}  // namespace

MessageBoxService& platformMessageBoxes() {
  static LinuxMessageBoxes service;
  return service;
}

}  // namespace platform
