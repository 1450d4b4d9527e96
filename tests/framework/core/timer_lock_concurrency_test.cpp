#include "framework/core/timer_impl.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <thread>

using plugkit::Timer;
using plugkit::Timer_impl;

namespace {

bool LockFreeForAnotherThread() {
  bool locked = false;
  std::thread other([&] {
    locked = Timer_impl::Lock().try_lock();
    if (locked) Timer_impl::Lock().unlock();
  });
  other.join();
  return locked;
}

TEST(TimerLock, HeldWhileACallbackRunsAndReleasedAfterAThrow) {
  bool freeDuringCallback = true;
  std::unique_ptr<Timer> quiet(
      Timer::Create([&](Timer&) { freeDuringCallback = LockFreeForAnotherThread(); }, 20));
  std::unique_ptr<Timer> throwing(
      Timer::Create([](Timer&) { throw std::runtime_error("callback failed"); }, 20));

  Timer_impl::Dispatch(static_cast<Timer_impl*>(quiet.get())->Id());
  EXPECT_FALSE(freeDuringCallback);
  EXPECT_TRUE(LockFreeForAnotherThread());

  EXPECT_THROW(Timer_impl::Dispatch(static_cast<Timer_impl*>(throwing.get())->Id()),
               std::runtime_error);
  EXPECT_TRUE(LockFreeForAnotherThread());
}

} // namespace
