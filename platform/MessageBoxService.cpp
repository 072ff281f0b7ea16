#include "platform/MessageBoxService.h"

#include <atomic>

#include "platform/PlatformDefaults.h"

namespace platform {

namespace {
std::atomic<MessageBoxService*> messageBoxOverride{nullptr};
}

MessageBoxService& systemMessageBoxes() {
  if (MessageBoxService* service = messageBoxOverride.load(std::memory_order_acquire)) return *service;
  return platformMessageBoxes();
}

void setMessageBoxServiceForTesting(MessageBoxService* service) {
  messageBoxOverride.store(service, std::memory_order_release);
}

MessageResult dismissedAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::ok: return MessageResult::ok;
    case MessageButtons::yesNo: return MessageResult::no;
    case MessageButtons::okCancel:
    case MessageButtons::yesNoCancel: return MessageResult::cancel;
  }
  return MessageResult::cancel;
}

}  // namespace platform
