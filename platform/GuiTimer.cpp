#include "platform/GuiTimer.h"

#include <atomic>
#include <utility>

#include "platform/GuiExceptions.h"
#include "platform/PlatformDefaults.h"
#include "platform/TimerService.h"

namespace platform {

namespace {
std::atomic<TimerService*> timerOverride{nullptr};
}

TimerService& systemTimers() {
  if (TimerService* service = timerOverride.load(std::memory_order_acquire)) return *service;
  return platformTimers();
}

void setTimerServiceForTesting(TimerService* service) { timerOverride.store(service, std::memory_order_release); }

void invokeTimerCallback(const TimerService::Callback& callback) noexcept {
  try {
    if (callback) callback();
  } catch (...) {
    reportCurrentException();
  }
}

GuiTimer::~GuiTimer() { stop(); }

bool GuiTimer::start(std::uint32_t intervalMs, Callback callback) {
  stop();
  if (intervalMs == 0 || !callback) return false;
  TimerService& service = systemTimers();
  id_ = service.add(intervalMs, std::move(callback));
  if (id_ == 0) return false;
  service_ = &service;
  return true;
}

void GuiTimer::stop() {
  if (id_ != 0 && service_ != nullptr) service_->remove(id_);
  id_ = 0;
  service_ = nullptr;
}

void serviceGuiTimers() { systemTimers().service(); }

}  // namespace platform
