#include "platform/headless/ManualTimerService.h"

#include <algorithm>
#include <utility>

namespace platform {

int ManualTimerService::add(std::uint32_t intervalMs, Callback callback) {
  if (refuse_ || intervalMs == 0) return 0;
  const int id = nextId_++;
  timers_.push_back({id, intervalMs, now_ + intervalMs, std::make_shared<const Callback>(std::move(callback))});
  return id;
}

void ManualTimerService::remove(int id) {
  std::erase_if(timers_, [id](const Timer& timer) { return timer.id == id; });
}

void ManualTimerService::advance(std::uint64_t ms) {
  const std::uint64_t target = now_ + ms;
  for (;;) {
    auto next = std::min_element(timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) {
      return a.due != b.due ? a.due < b.due : a.id < b.id;
    });
    if (next == timers_.end() || next->due > target) break;
    now_ = next->due;
    next->due += next->interval;
    // The callback may stop or restart timers, which invalidates `next`.
    const std::shared_ptr<const Callback> callback = next->callback;
    invokeTimerCallback(*callback);
  }
  now_ = target;
}

}  // namespace platform
