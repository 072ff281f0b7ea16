#pragma once
// Window-message timers: each timer owns a hidden message-only window with
// timer 1 on it, so ticks arrive as WM_TIMER through the message loop of the
// thread that started the timer, between that thread's other messages.

#include <map>
#include <memory>

#include "platform/TimerService.h"

namespace platform {

class MessageWindowTimers final : public TimerService {
 public:
  ~MessageWindowTimers() override;
  int add(std::uint32_t intervalMs, Callback callback) override;
  void remove(int id) override;

  struct Timer;

 private:
  std::map<int, std::shared_ptr<Timer>> timers_;
  int nextId_ = 1;
};

}  // namespace platform
