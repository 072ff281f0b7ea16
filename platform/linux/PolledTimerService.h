#pragma once
// Timers without a system message loop: each is due at a point of the steady
// clock, and service() (called from the host's calls into the plug-in on its
// GUI thread) fires the due ones. Like window-message timers, a timer that
// fell behind fires once, not once per missed period.

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/TimerService.h"

namespace platform {

class PolledTimerService final : public TimerService {
 public:
  int add(std::uint32_t intervalMs, Callback callback) override;
  void remove(int id) override;
  void service() override;

  // Milliseconds until the next timer falls due (0 when one is due), or -1
  // when none runs; bounds the wait of a modal event loop. GUI thread.
  int millisecondsUntilNextDue() const;

 private:
  using Clock = std::chrono::steady_clock;
  struct Timer {
    int id;
    Clock::duration interval;
    Clock::time_point due;
    std::shared_ptr<const Callback> callback;
    std::shared_ptr<bool> busy;  // its tick is running (a modal loop inside it)
  };
  std::vector<Timer> timers_;
  int nextId_ = 1;
};

// The process's one instance (the platform default on Linux).
PolledTimerService& polledTimers();

}  // namespace platform
