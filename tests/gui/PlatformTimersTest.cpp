// The platform's own GUI timers (window-message timers on Windows, polled
// timers on Linux), ticking through the thread's event handling.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "controls/TDIBTimer.h"
#include "platform/GuiTimer.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// What a host's GUI thread does while it waits: dispatch window messages
// (Windows) or call into the plug-in, which services due timers (Linux).
void runEventsFor(std::chrono::milliseconds span) {
  const auto end = std::chrono::steady_clock::now() + span;
  while (std::chrono::steady_clock::now() < end) {
#if defined(_WIN32)
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
#endif
    platform::serviceGuiTimers();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

TEST(PlatformTimers, TicksArriveThroughTheEventLoopAndStopWhenStopped) {
  platform::GuiTimer timer;
  int ticks = 0;
  ASSERT_TRUE(timer.start(20, [&] { ++ticks; }));
  runEventsFor(std::chrono::milliseconds(300));
  // 15 periods at most; scheduling slack may lose a few, never all.
  EXPECT_GE(ticks, 3);
  EXPECT_LE(ticks, 16);
  timer.stop();
  const int stopped = ticks;
  runEventsFor(std::chrono::milliseconds(100));
  EXPECT_EQ(ticks, stopped);
}

TEST(PlatformTimers, DisplayRefreshTimerRunsOnTheRealTimers) {
  controls::TDIBTimer refresh;
  int ticks = 0;
  refresh.setOnTimer([&](controls::TDIBTimer&) { ++ticks; });
  refresh.setInterval(25);
  refresh.setEnabled(true);
  EXPECT_TRUE(refresh.hasMessageWindow());
  runEventsFor(std::chrono::milliseconds(250));
  EXPECT_GE(ticks, 2);
  refresh.setEnabled(false);
  EXPECT_FALSE(refresh.hasMessageWindow());
}

}  // namespace
