#pragma once
// A periodic timer on the GUI thread that started it. Its ticks run between
// the window's other events and never overlap one another.

#include <cstdint>
#include <functional>

namespace platform {

class TimerService;

class GuiTimer {
 public:
  using Callback = std::function<void()>;

  GuiTimer() = default;
  ~GuiTimer();
  GuiTimer(const GuiTimer&) = delete;
  GuiTimer& operator=(const GuiTimer&) = delete;

  // (Re)starts the timer: the first tick comes `intervalMs` after this call.
  // An interval of 0 or an empty callback only stops it. False when the
  // system refused the timer (it then stays stopped). GUI thread.
  bool start(std::uint32_t intervalMs, Callback callback);
  // GUI thread.
  void stop();
  bool isRunning() const { return id_ != 0; }

 private:
  TimerService* service_ = nullptr;
  int id_ = 0;
};

// Fires every due timer. Where no system message loop dispatches timers
// (Linux), the plug-ins call this from their dispatcher and the editor's idle.
// Harmless elsewhere. GUI thread.
void serviceGuiTimers();

}  // namespace platform
