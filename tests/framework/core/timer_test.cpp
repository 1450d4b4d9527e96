#include "framework/core/timer_backend.h"
#include "framework/core/timer_impl.h"
#include "tests/framework/core/timer_delivery.h"

#include <gtest/gtest.h>

#include <memory>

using plugkit::Timer;
using plugkit::Timer_impl;
using plugkit::timer_backend::SystemKillCount;

namespace {

std::unique_ptr<Timer_impl> MakeTimer(Timer::Callback callback, int periodMs) {
  return std::unique_ptr<Timer_impl>(
      static_cast<Timer_impl*>(Timer::Create(std::move(callback), periodMs)));
}

TEST(Timer, StopTwiceAndDestroyingAStoppedTimerKillOnce) {
  auto timer = MakeTimer([](Timer&) {}, 20);
  ASSERT_NE(timer->Id(), 0u);
  const int killsBefore = SystemKillCount();
  timer->Stop();
  EXPECT_EQ(timer->Id(), 0u);
  timer->Stop();
  timer.reset();
  EXPECT_EQ(SystemKillCount(), killsBefore + 1);

  auto running = MakeTimer([](Timer&) {}, 20);
  const int killsBeforeDestroy = SystemKillCount();
  running.reset();
  EXPECT_EQ(SystemKillCount(), killsBeforeDestroy + 1);
}

TEST(Timer, MessageForAnIdNoLongerRunningDoesNothing) {
  int calls = 0;
  auto timer = MakeTimer([&](Timer&) { ++calls; }, 20);
  const uintptr_t id = timer->Id();
  DeliverTimerMessageForTest(id);
  EXPECT_EQ(calls, 1);
  timer->Stop();
  DeliverTimerMessageForTest(id);
  DeliverTimerMessageForTest(0);
  EXPECT_EQ(calls, 1);
}

TEST(Timer, TwoTimersEachRunOnlyTheirOwnCallback) {
  int fastCalls = 0;
  int slowCalls = 0;
  Timer* seenByFast = nullptr;
  auto fast = MakeTimer(
      [&](Timer& t) {
        ++fastCalls;
        seenByFast = &t;
      },
      20);
  auto slow = MakeTimer([&](Timer&) { ++slowCalls; }, 50);
  ASSERT_NE(fast->Id(), slow->Id());
  EXPECT_EQ(fast->PeriodMs(), 20);
  EXPECT_EQ(slow->PeriodMs(), 50);

  DeliverTimerMessageForTest(fast->Id());
  DeliverTimerMessageForTest(fast->Id());
  DeliverTimerMessageForTest(slow->Id());
  EXPECT_EQ(fastCalls, 2);
  EXPECT_EQ(slowCalls, 1);
  EXPECT_EQ(seenByFast, fast.get());

  fast->Stop();
  DeliverTimerMessageForTest(slow->Id());
  EXPECT_EQ(fastCalls, 2);
  EXPECT_EQ(slowCalls, 2);
}

TEST(Timer, StoppedInsideItsOwnCallback) {
  int calls = 0;
  auto timer = MakeTimer(
      [&](Timer& t) {
        ++calls;
        t.Stop();
      },
      20);
  const uintptr_t id = timer->Id();
  const int killsBefore = SystemKillCount();
  DeliverTimerMessageForTest(id);
  EXPECT_EQ(timer->Id(), 0u);
  EXPECT_EQ(SystemKillCount(), killsBefore + 1);
  DeliverTimerMessageForTest(id);
  EXPECT_EQ(calls, 1);
}

TEST(Timer, CreatedInsideACallbackRunsOnItsOwn) {
  std::unique_ptr<Timer_impl> child;
  int childCalls = 0;
  auto parent = MakeTimer(
      [&](Timer&) {
        if (!child) child = MakeTimer([&](Timer&) { ++childCalls; }, 50);
      },
      20);
  DeliverTimerMessageForTest(parent->Id());
  ASSERT_TRUE(child);
  ASSERT_NE(child->Id(), 0u);
  EXPECT_EQ(childCalls, 0);
  DeliverTimerMessageForTest(child->Id());
  EXPECT_EQ(childCalls, 1);
}

TEST(Timer, ACallbackMayStopAnotherTimerThatWouldRunLater) {
  int otherCalls = 0;
  auto other = MakeTimer([&](Timer&) { ++otherCalls; }, 50);
  const uintptr_t otherId = other->Id();
  auto stopper = MakeTimer([&](Timer&) { other->Stop(); }, 20);
  DeliverTimerMessageForTest(stopper->Id());
  EXPECT_EQ(other->Id(), 0u);
  DeliverTimerMessageForTest(otherId);
  EXPECT_EQ(otherCalls, 0);
}

} // namespace
