#include "platform/PopupMenuService.h"

#include <atomic>

#include "platform/PlatformDefaults.h"

namespace platform {

namespace {
std::atomic<PopupMenuService*> popupMenuOverride{nullptr};
}

PopupMenuService& systemPopupMenus() {
  if (PopupMenuService* service = popupMenuOverride.load(std::memory_order_acquire)) return *service;
  return platformPopupMenus();
}

void setPopupMenuServiceForTesting(PopupMenuService* service) {
  popupMenuOverride.store(service, std::memory_order_release);
}

}  // namespace platform
