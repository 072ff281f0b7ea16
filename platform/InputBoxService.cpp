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

Answer<std::string> inputBox(std::string_view caption, std::string_view prompt, std::string_view defaultText) {
  std::string fallback(defaultText);
  const std::optional<std::string> typed = co_await systemInputBoxes().query(caption, prompt, defaultText);
  co_return typed.value_or(fallback);
}

}  // namespace platform
