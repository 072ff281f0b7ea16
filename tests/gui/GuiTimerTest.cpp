#include <gtest/gtest.h>

#include <stdexcept>
#include <vector>

#include "platform/GuiTimer.h"
#include "platform/TimerService.h"
#include "platform/headless/ManualTimerService.h"
#include "platform/headless/ScriptedMessageBoxes.h"

namespace {

class GuiTimerTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::setTimerServiceForTesting(&clock); }
  void TearDown() override { platform::setTimerServiceForTesting(nullptr); }
  platform::ManualTimerService clock;
};

TEST_F(GuiTimerTest, TicksOncePerIntervalFromTheStart) {
  platform::GuiTimer timer;
  int ticks = 0;
  ASSERT_TRUE(timer.start(100, [&] { ++ticks; }));
  EXPECT_TRUE(timer.isRunning());
  clock.advance(99);
  EXPECT_EQ(ticks, 0);
  clock.advance(1);
  EXPECT_EQ(ticks, 1);
  clock.advance(250);
  EXPECT_EQ(ticks, 3);
}

TEST_F(GuiTimerTest, RestartBeginsTheIntervalAgain) {
  platform::GuiTimer timer;
  int ticks = 0;
  timer.start(100, [&] { ++ticks; });
  clock.advance(90);
  timer.start(100, [&] { ++ticks; });
  clock.advance(90);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(clock.activeCount(), 1);
  clock.advance(10);
  EXPECT_EQ(ticks, 1);
}

TEST_F(GuiTimerTest, ZeroIntervalOrNoCallbackOnlyStops) {
  platform::GuiTimer timer;
  int ticks = 0;
  timer.start(10, [&] { ++ticks; });
  EXPECT_FALSE(timer.start(0, [&] { ++ticks; }));
  EXPECT_FALSE(timer.isRunning());
  timer.start(10, [&] { ++ticks; });
  EXPECT_FALSE(timer.start(10, nullptr));
  clock.advance(100);
  EXPECT_EQ(ticks, 0);
  EXPECT_EQ(clock.activeCount(), 0);
}

TEST_F(GuiTimerTest, RefusedTimerStaysStopped) {
  platform::GuiTimer timer;
  clock.setRefuseNewTimers(true);
  EXPECT_FALSE(timer.start(10, [] {}));
  EXPECT_FALSE(timer.isRunning());
}

TEST_F(GuiTimerTest, DestructionStopsTheTicks) {
  int ticks = 0;
  {
    platform::GuiTimer timer;
    timer.start(10, [&] { ++ticks; });
  }
  EXPECT_EQ(clock.activeCount(), 0);
  clock.advance(100);
  EXPECT_EQ(ticks, 0);
}

TEST_F(GuiTimerTest, ATickMayStopItsOwnTimerAndOthersGoOn) {
  platform::GuiTimer first;
  platform::GuiTimer second;
  std::vector<char> order;
  first.start(10, [&] {
    order.push_back('a');
    first.stop();
  });
  second.start(10, [&] { order.push_back('b'); });
  clock.advance(30);
  EXPECT_EQ(order, (std::vector<char>{'a', 'b', 'b', 'b'}));
}

TEST_F(GuiTimerTest, AFailingTickIsReportedAndTheTimerGoesOn) {
  platform::ScriptedMessageBoxes boxes;
  platform::ScopedMessageBoxOverride use(boxes);
  platform::GuiTimer timer;
  int ticks = 0;
  timer.start(10, [&] {
    ++ticks;
    throw std::runtime_error("tick failed");
  });
  clock.advance(20);
  EXPECT_EQ(ticks, 2);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].text, "tick failed");
  EXPECT_EQ(boxes.shown()[0].icon, platform::MessageIcon::error);
}

TEST_F(GuiTimerTest, TimersKeepTheServiceTheyStartedWith) {
  platform::GuiTimer timer;
  timer.start(10, [] {});
  platform::ManualTimerService other;
  platform::setTimerServiceForTesting(&other);
  timer.stop();
  EXPECT_EQ(clock.activeCount(), 0);
  platform::setTimerServiceForTesting(&clock);
}

}  // namespace
