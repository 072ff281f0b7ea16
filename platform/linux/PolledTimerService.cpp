#include "platform/linux/PolledTimerService.h"

#include <algorithm>
#include <utility>

#include "platform/PlatformDefaults.h"

namespace platform {

int PolledTimerService::add(std::uint32_t intervalMs, Callback callback) {
  if (intervalMs == 0) return 0;
  const int id = nextId_++;
  const auto interval = std::chrono::milliseconds(intervalMs);
  timers_.push_back({id, interval, Clock::now() + interval, std::make_shared<const Callback>(std::move(callback)),
                     std::make_shared<bool>(false)});
  return id;
}

void PolledTimerService::remove(int id) {
  std::erase_if(timers_, [id](const Timer& timer) { return timer.id == id; });
}

void PolledTimerService::service() {
  // A tick that opens a modal loop services timers from inside it, so other
  // timers keep running; a timer whose own tick is still running waits.
  const Clock::time_point now = Clock::now();
  std::vector<int> due;
  for (const Timer& timer : timers_) {
    if (timer.due <= now) due.push_back(timer.id);
  }
  for (int id : due) {
    auto timer = std::find_if(timers_.begin(), timers_.end(), [id](const Timer& t) { return t.id == id; });
    if (timer == timers_.end() || *timer->busy) continue;  // stopped by an earlier tick, or running
    timer->due = now + timer->interval;
    const std::shared_ptr<const Callback> callback = timer->callback;
    const std::shared_ptr<bool> busy = timer->busy;
    *busy = true;
    invokeTimerCallback(*callback);
    *busy = false;
  }
}

int PolledTimerService::millisecondsUntilNextDue() const {
  if (timers_.empty()) return -1;
  Clock::time_point next = timers_.front().due;
  for (const Timer& timer : timers_) next = std::min(next, timer.due);
  const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - Clock::now()).count();
  return wait <= 0 ? 0 : static_cast<int>(std::min<long long>(wait, 1 << 30));
}

PolledTimerService& polledTimers() {
  static PolledTimerService service;
  return service;
}

TimerService& platformTimers() { return polledTimers(); }

}  // namespace platform
