#include "platform/FileDialogService.h"

#include <atomic>

#include "platform/PlatformDefaults.h"

namespace platform {

namespace {
std::atomic<FileDialogService*> fileDialogOverride{nullptr};
}

FileDialogService& systemFileDialogs() {
  if (FileDialogService* service = fileDialogOverride.load(std::memory_order_acquire)) return *service;
  return platformFileDialogs();
}

void setFileDialogServiceForTesting(FileDialogService* service) {
  fileDialogOverride.store(service, std::memory_order_release);
}

}  // namespace platform
