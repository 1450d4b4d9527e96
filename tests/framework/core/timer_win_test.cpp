#include "framework/core/timer_win.h"
#include "framework/core/timer_impl.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <stdexcept>

using plugkit::Timer;
using plugkit::Timer_impl;

namespace {

// Pumps this thread's messages until done() holds or the time is up.
template <typename Done>
void PumpMessages(std::chrono::milliseconds limit, Done done) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (!done()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return;
    const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(remaining.count()),
                              QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

TEST(WinTimer, FireThroughTheMessageLoopAndOneStopsItself) {
  int fastCalls = 0;
  int slowCalls = 0;
  std::unique_ptr<Timer> fast(Timer::Create([&](Timer&) { ++fastCalls; }, 20));
  std::unique_ptr<Timer> slow(Timer::Create(
      [&](Timer& t) {
        ++slowCalls;
        t.Stop();
      },
      50));
  ASSERT_NE(static_cast<Timer_impl*>(fast.get())->Id(), 0u);
  ASSERT_NE(static_cast<Timer_impl*>(slow.get())->Id(), 0u);

  PumpMessages(std::chrono::milliseconds(2000), [&] { return fastCalls >= 3 && slowCalls >= 1; });
  EXPECT_GE(fastCalls, 3);
  EXPECT_EQ(slowCalls, 1);
  EXPECT_EQ(static_cast<Timer_impl*>(slow.get())->Id(), 0u);

  // The stopped timer stays quiet while the other keeps firing.
  const int fastBefore = fastCalls;
  PumpMessages(std::chrono::milliseconds(2000), [&] { return fastCalls >= fastBefore + 4; });
  EXPECT_GE(fastCalls, fastBefore + 4);
  EXPECT_EQ(slowCalls, 1);
}

TEST(WinTimer, ACallbackThatThrowsDoesNotEscapeTheMessageLoop) {
  int calls = 0;
  std::unique_ptr<Timer> timer(Timer::Create(
      [&](Timer&) {
        ++calls;
        throw std::runtime_error("callback failed");
      },
      20));
  PumpMessages(std::chrono::milliseconds(2000), [&] { return calls >= 2; });
  EXPECT_GE(calls, 2);
}

} // namespace
