#include "controls/TDIBTimer.h"

#include <utility>

namespace controls {

TDIBTimer::~TDIBTimer() {
  enabled_ = false;
  restart();
}

void TDIBTimer::setEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  restart();
}

void TDIBTimer::setInterval(std::uint32_t interval) {
  if (interval == interval_) return;
  interval_ = interval;
  restart();
}

void TDIBTimer::setOnTimer(TimerHandler handler) {
  onTimer_ = std::move(handler);
  restart();
}

void TDIBTimer::restart() {
  timer_.stop();
  if (interval_ == 0 || !enabled_ || !onTimer_) return;
  // Errors escaping the handler are reported by the platform's timer
  // dispatch and do not stop the ticks.
  if (!timer_.start(interval_, [this] {
        if (onTimer_) onTimer_(*this);
      })) {
    enabled_ = false;
  }
}

}  // namespace controls
