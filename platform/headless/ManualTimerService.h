#pragma once
// Timers on a manual clock, for tests: nothing happens until advance() moves
// the clock, and then every tick that falls due fires in time order, as a
// message loop that keeps up would deliver them.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/TimerService.h"

namespace platform {

class ManualTimerService final : public TimerService {
 public:
  int add(std::uint32_t intervalMs, Callback callback) override;
  void remove(int id) override;

  // Moves the clock forward by `ms`, firing every tick due on the way.
  void advance(std::uint64_t ms);
  std::uint64_t nowMs() const { return now_; }
  // Timers currently running.
  int activeCount() const { return static_cast<int>(timers_.size()); }
  // Makes add() refuse every new timer, as a system out of timers would.
  void setRefuseNewTimers(bool refuse) { refuse_ = refuse; }

 private:
  struct Timer {
    int id;
    std::uint32_t interval;
    std::uint64_t due;
    std::shared_ptr<const Callback> callback;
  };
  std::vector<Timer> timers_;
  std::uint64_t now_ = 0;
  int nextId_ = 1;
  bool refuse_ = false;
};

}  // namespace platform
