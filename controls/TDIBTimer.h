#pragma once
// The display refresh timer: a message-driven interval timer whose ticks run
// on the GUI thread that started it, between that thread's other window
// events. It holds its timer (on Windows a hidden message window) only while
// it runs: Enabled, a non-zero Interval and an OnTimer handler.

#include <cstdint>
#include <functional>

#include "platform/GuiTimer.h"

namespace controls {

class TDIBTimer {
 public:
  using TimerHandler = std::function<void(TDIBTimer& sender)>;

  TDIBTimer() = default;
  // Stops the ticks and frees the timer. GUI thread.
  ~TDIBTimer();
  TDIBTimer(const TDIBTimer&) = delete;
  TDIBTimer& operator=(const TDIBTimer&) = delete;

  bool Enabled() const { return enabled_; }
  // A different value restarts the timer; the same value does nothing.
  // GUI thread.
  void setEnabled(bool enabled);
  std::uint32_t Interval() const { return interval_; }
  // Milliseconds; 0 stops the timer. A different value restarts the period.
  // GUI thread.
  void setInterval(std::uint32_t interval);
  // Every assignment restarts the timer. GUI thread.
  void setOnTimer(TimerHandler handler);

  // Whether the timer runs (the hidden message window exists).
  bool hasMessageWindow() const { return timer_.isRunning(); }

 private:
  // Stops, then starts again when all three conditions hold. A timer the
  // system refuses clears Enabled silently.
  void restart();

  bool enabled_ = false;
  std::uint32_t interval_ = 1000;
  TimerHandler onTimer_;
  platform::GuiTimer timer_;
};

}  // namespace controls
