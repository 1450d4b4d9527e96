#include "framework/core/timer_native.h"
#include "framework/core/timer_backend.h"
#include "framework/core/timer_impl.h"

#include <gtest/gtest.h>

#include <memory>

using plugkit::Timer;
using plugkit::Timer_impl;
namespace native = plugkit::timer_native;

namespace {

TEST(NativeTimer, RefusedTimerExistsButNeverFiresOrKills) {
  native::SetRefuseNewTimers(true);
  int calls = 0;
  std::unique_ptr<Timer> timer(Timer::Create([&](Timer&) { ++calls; }, 20));
  native::SetRefuseNewTimers(false);
  ASSERT_TRUE(timer);
  EXPECT_EQ(static_cast<Timer_impl*>(timer.get())->Id(), 0u);
  const int killsBefore = plugkit::timer_backend::SystemKillCount();
  timer->Stop();
  timer.reset();
  EXPECT_EQ(plugkit::timer_backend::SystemKillCount(), killsBefore);
  EXPECT_EQ(calls, 0);
}

TEST(NativeTimer, StopKillsTheSystemTimerWithItsOwnId) {
  std::unique_ptr<Timer> first(Timer::Create([](Timer&) {}, 20));
  std::unique_ptr<Timer> second(Timer::Create([](Timer&) {}, 20));
  const uintptr_t firstId = static_cast<Timer_impl*>(first.get())->Id();
  const uintptr_t secondId = static_cast<Timer_impl*>(second.get())->Id();
  EXPECT_TRUE(native::IsSystemTimerRunning(firstId));
  first->Stop();
  EXPECT_FALSE(native::IsSystemTimerRunning(firstId));
  EXPECT_TRUE(native::IsSystemTimerRunning(secondId));
  second.reset();
  EXPECT_FALSE(native::IsSystemTimerRunning(secondId));
}

} // namespace
