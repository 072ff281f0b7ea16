#include "platform/InputBoxService.h"

#include <atomic>

#include "platform/PlatformDefaults.h"

namespace platform {

namespace {
std::atomic<InputBoxService*> inputBoxOverride{nullptr};
}

InputBoxService& systemInputBoxes() {
  if (InputBoxService* service = inputBoxOverride.load(std::memory_order_acquire)) return *service;
  return platformInputBoxes();
}

void setInputBoxServiceForTesting(InputBoxService* service) {
  inputBoxOverride.store(service, std::memory_order_release);
}

std::string inputBox(std::string_view caption, std::string_view prompt, std::string_view defaultText) {
  return systemInputBoxes().query(caption, prompt, defaultText).value_or(std::string(defaultText));
}

}  // namespace platform
