// The system's own message box, owned by the window the user is working in.

#include <windows.h>

#include <string>

#include "platform/MessageBoxService.h"
#include "platform/PlatformDefaults.h"
#include "platform/win32/WideText.h"

namespace platform {

namespace {

class SystemMessageBoxes final : public MessageBoxService {
 public:
  // The system's box is modal: its own loop keeps the host's windows alive,
  // and the answer is there when it returns.
  Answer<MessageResult> show(std::string_view text, std::string_view caption, MessageButtons buttons,
                             MessageIcon icon) override {
    return Answer<MessageResult>::now(showModal(text, caption, buttons, icon));
  }

 private:
  static MessageResult showModal(std::string_view text, std::string_view caption, MessageButtons buttons,
                                 MessageIcon icon) {
    UINT flags = MB_TASKMODAL;
    switch (buttons) {
      case MessageButtons::ok: flags |= MB_OK; break;
      case MessageButtons::okCancel: flags |= MB_OKCANCEL; break;
      case MessageButtons::yesNo: flags |= MB_YESNO; break;
      case MessageButtons::yesNoCancel: flags |= MB_YESNOCANCEL; break;
    }
    switch (icon) {
      case MessageIcon::none: break;
      case MessageIcon::information: flags |= MB_ICONINFORMATION; break;
      case MessageIcon::warning: flags |= MB_ICONWARNING; break;
      case MessageIcon::error: flags |= MB_ICONERROR; break;
      case MessageIcon::question: flags |= MB_ICONQUESTION; break;
    }
    const std::wstring wideText = toWide(text);
    const std::wstring wideCaption = toWide(caption);
    switch (MessageBoxW(GetActiveWindow(), wideText.c_str(), wideCaption.c_str(), flags)) {
      case IDOK: return MessageResult::ok;
      case IDYES: return MessageResult::yes;
      case IDNO: return MessageResult::no;
      case IDCANCEL: return MessageResult::cancel;
      default: return dismissedAnswer(buttons);  // the box could not be shown
    }
  }
};

}  // namespace

MessageBoxService& platformMessageBoxes() {
  static SystemMessageBoxes service;
  return service;
}

}  // namespace platform
