#include <gtest/gtest.h>

#include <stdexcept>

#include "controls/TDIBTimer.h"
#include "platform/TimerService.h"
#include "platform/headless/ManualTimerService.h"
#include "platform/headless/ScriptedMessageBoxes.h"

namespace {

using controls::TDIBTimer;

class TDIBTimerTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::setTimerServiceForTesting(&clock); }
  void TearDown() override { platform::setTimerServiceForTesting(nullptr); }
  platform::ManualTimerService clock;
  int ticks = 0;
  TDIBTimer::TimerHandler counter = [this](TDIBTimer&) { ++ticks; };
};

TEST_F(TDIBTimerTest, StartsStoppedWithItsDefaults) {
  TDIBTimer timer;
  EXPECT_FALSE(timer.Enabled());
  EXPECT_EQ(timer.Interval(), 1000u);
  EXPECT_FALSE(timer.hasMessageWindow());
}

TEST_F(TDIBTimerTest, DoesNotTickUntilEnabled) {
  TDIBTimer timer;
  timer.setInterval(100);
  timer.setOnTimer(counter);
  clock.advance(1000);
  EXPECT_EQ(ticks, 0);
  EXPECT_FALSE(timer.hasMessageWindow());
  timer.setEnabled(true);
  clock.advance(1000);
  EXPECT_EQ(ticks, 10);
}

TEST_F(TDIBTimerTest, NeedsAHandlerToRun) {
  TDIBTimer timer;
  timer.setEnabled(true);
  EXPECT_FALSE(timer.hasMessageWindow());
  timer.setOnTimer(counter);
  EXPECT_TRUE(timer.hasMessageWindow());
}

TEST_F(TDIBTimerTest, ZeroIntervalStopsAndANewIntervalResumes) {
  TDIBTimer timer;
  timer.setOnTimer(counter);
  timer.setInterval(100);
  timer.setEnabled(true);
  clock.advance(250);
  EXPECT_EQ(ticks, 2);
  timer.setInterval(0);
  EXPECT_FALSE(timer.hasMessageWindow());
  clock.advance(1000);
  EXPECT_EQ(ticks, 2);
  timer.setInterval(100);
  clock.advance(100);
  EXPECT_EQ(ticks, 3);
}

TEST_F(TDIBTimerTest, EnablingTwiceRestartsOnlyOnce) {
  TDIBTimer timer;
  timer.setOnTimer(counter);
  timer.setInterval(100);
  timer.setEnabled(true);
  clock.advance(60);
  timer.setEnabled(true);  // the same value: the period runs on
  clock.advance(40);
  EXPECT_EQ(ticks, 1);
}

TEST_F(TDIBTimerTest, AssigningTheHandlerAgainRestartsThePeriod) {
  TDIBTimer timer;
  timer.setOnTimer(counter);
  timer.setInterval(100);
  timer.setEnabled(true);
  clock.advance(60);
  timer.setOnTimer(counter);
  clock.advance(60);
  EXPECT_EQ(ticks, 0);
  clock.advance(40);
  EXPECT_EQ(ticks, 1);
  // So does a new interval.
  clock.advance(50);
  timer.setInterval(80);
  clock.advance(79);
  EXPECT_EQ(ticks, 1);
  clock.advance(1);
  EXPECT_EQ(ticks, 2);
}

TEST_F(TDIBTimerTest, DestroyingARunningTimerLeavesNothingBehind) {
  {
    TDIBTimer timer;
    timer.setOnTimer(counter);
    timer.setInterval(100);
    timer.setEnabled(true);
    EXPECT_EQ(clock.activeCount(), 1);
  }
  EXPECT_EQ(clock.activeCount(), 0);
  clock.advance(1000);
  EXPECT_EQ(ticks, 0);
}

TEST_F(TDIBTimerTest, RefusedTimerDisablesItselfSilently) {
  platform::ScriptedMessageBoxes boxes;
  platform::ScopedMessageBoxOverride use(boxes);
  clock.setRefuseNewTimers(true);
  TDIBTimer timer;
  timer.setOnTimer(counter);
  timer.setEnabled(true);
  EXPECT_FALSE(timer.Enabled());
  EXPECT_FALSE(timer.hasMessageWindow());
  EXPECT_TRUE(boxes.shown().empty());
}

TEST_F(TDIBTimerTest, FailingHandlerIsReportedAndTheNextTickStillComes) {
  platform::ScriptedMessageBoxes boxes;
  platform::ScopedMessageBoxOverride use(boxes);
  TDIBTimer timer;
  TDIBTimer* seenSender = nullptr;
  timer.setOnTimer([&](TDIBTimer& sender) {
    seenSender = &sender;
    ++ticks;
    throw std::runtime_error("refresh failed");
  });
  timer.setInterval(100);
  timer.setEnabled(true);
  clock.advance(200);
  EXPECT_EQ(ticks, 2);
  EXPECT_EQ(seenSender, &timer);
  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].text, "refresh failed");
  EXPECT_TRUE(timer.Enabled());
}

}  // namespace
