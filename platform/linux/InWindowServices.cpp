// Message boxes, input boxes and popup menus on Linux: drawn inside the open
// editor window when there is one; without a window nobody can answer, so a
// message goes to standard error and every box is dismissed.

#include <cstdio>
#include <string>

#include "platform/MessageBoxService.h"
#include "platform/PlatformDefaults.h"
#include "platform/drawn/InWindowPresenter.h"

namespace platform {

namespace {

class LinuxMessageBoxes final : public MessageBoxService {
 public:
  Answer<MessageResult> show(std::string_view text, std::string_view caption, MessageButtons buttons,
                             MessageIcon icon) override {
    if (InWindowPresenter* presenter = inWindowPresenter()) return presenter->show(text, caption, buttons, icon);
    const std::string line = std::string(caption) + ": " + std::string(text) + "\n";
    std::fputs(line.c_str(), stderr);
    return Answer<MessageResult>::now(dismissedAnswer(buttons));
  }
};

class LinuxInputBoxes final : public InputBoxService {
 public:
  Answer<std::optional<std::string>> query(std::string_view caption, std::string_view prompt,
                                           std::string_view defaultText) override {
    if (InWindowPresenter* presenter = inWindowPresenter()) return presenter->query(caption, prompt, defaultText);
    return Answer<std::optional<std::string>>::now(std::nullopt);
  }
};

class LinuxPopupMenus final : public PopupMenuService {
 public:
  Answer<int> choose(const std::vector<MenuItem>& items, ScreenPoint at) override {
    if (InWindowPresenter* presenter = inWindowPresenter()) return presenter->choose(items, at);
    return Answer<int>::now(-1);
  }
};

}  // namespace

MessageBoxService& platformMessageBoxes() {
  static LinuxMessageBoxes service;
  return service;
}

InputBoxService& platformInputBoxes() {
  static LinuxInputBoxes service;
  return service;
}

PopupMenuService& platformPopupMenus() {
  static LinuxPopupMenus service;
  return service;
}

// The box owns the keyboard while it is open; no hook is needed.
void* installThreadKeyboardHook() { return nullptr; }
void removeThreadKeyboardHook(void*) {}

}  // namespace platform
