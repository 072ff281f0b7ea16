#pragma once
// The platform's periodic GUI timers behind GuiTimer: window-message timers
// on Windows, timers serviced from the host's calls elsewhere, a manual clock
// in tests.

#include <cstdint>
#include <functional>

namespace platform {

class TimerService {
 public:
  using Callback = std::function<void()>;
  virtual ~TimerService() = default;

  // Starts a timer that calls `callback` every `intervalMs` (> 0) on the GUI
  // thread. Answers its id (> 0), or 0 when the system refuses a timer.
  // GUI thread.
  virtual int add(std::uint32_t intervalMs, Callback callback) = 0;
  // Stops a timer; unknown ids are ignored. A callback may remove its own
  // timer. GUI thread.
  virtual void remove(int id) = 0;
  // Fires every due timer (where the system does not dispatch them itself).
  // GUI thread.
  virtual void service() {}
};

// The service in force: the override when one is set, else the platform's.
// GUI thread.
TimerService& systemTimers();

// Replaces the service process-wide; nullptr restores the platform's. Timers
// keep the service they were started with. GUI thread.
void setTimerServiceForTesting(TimerService* service);

// Calls a timer callback, reporting (not propagating) what it throws: a failing
// tick must neither stop the timer nor unwind through the system's dispatch.
void invokeTimerCallback(const TimerService::Callback& callback) noexcept;

}  // namespace platform
