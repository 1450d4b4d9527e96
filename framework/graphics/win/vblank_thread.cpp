#include "framework/graphics/win/vblank_thread.h"

namespace plugkit::igraphics {

bool AcceptTick(uint32_t tick, uint32_t current, uint32_t& skipUntil) {
  if (skipUntil != 0 && skipUntil > current) return false;
  skipUntil = 0;
  return tick == current;
}

bool VBlankThread::Start(HWND window, LPTHREAD_START_ROUTINE start, void* parameter) {
  Stop();
  window_ = window;
  stop_.store(false, std::memory_order_release);
  // A tick still waiting went with the window it was posted to.
  tickWaiting_.store(false, std::memory_order_release);
  thread_ = CreateThread(nullptr, 0, start, parameter, 0, nullptr);
  return thread_ != nullptr;
}

void VBlankThread::Stop() {
  if (!thread_) return;
  stop_.store(true, std::memory_order_release);
  // Unbounded: a thread left running would post to, and read the flags of, a
  // window and an object that no longer exist. Each round ends within one
  // vertical blank or 16 ms.
  WaitForSingleObject(thread_, INFINITE);
  CloseHandle(thread_);
  thread_ = nullptr;
  window_ = nullptr;
}

void VBlankThread::PostTick() {
  if (tickWaiting_.exchange(true, std::memory_order_acq_rel)) return;
  const uint32_t tick = tickCounter_.fetch_add(1, std::memory_order_acq_rel) + 1;
  if (!PostMessageW(window_, WM_USER + 1, tick, 0))
    tickWaiting_.store(false, std::memory_order_release);
}

void VBlankThread::RunWithKernel(const VBlankFunctions& functions) {
  bool adapterOpen = false;
  DWORD lastFailure = 0;
  KmtWaitForVerticalBlankEvent wait{};
  do {
    if (!adapterOpen) {
      if (lastFailure != 0 && lastFailure >= GetTickCount() - kAdapterRetryMs) {
        Sleep(kFallbackMs);
        PostTick();
        continue;
      }
      const HDC dc = GetDC(window_);
      KmtOpenAdapterFromHdc open{};
      open.dc = dc;
      const bool opened = dc && functions.openAdapterFromHdc(&open) == 0;
      if (dc) ReleaseDC(window_, dc);
      if (!opened) {
        // 0 means "no failure yet", so a failure at tick 0 counts as 1.
        lastFailure = GetTickCount() | 1u;
        Sleep(kFallbackMs);
        PostTick();
        continue;
      }
      wait.adapter = open.adapter;
      wait.device = 0;
      wait.videoPresentSourceId = open.videoPresentSourceId;
      lastFailure = 0;
      adapterOpen = true;
    }
    if (functions.waitForVerticalBlankEvent(&wait) != 0) {
      const KmtCloseAdapter close{wait.adapter};
      functions.closeAdapter(&close);
      adapterOpen = false;
      Sleep(kFallbackMs);
    }
    PostTick();
  } while (!stop_.load(std::memory_order_acquire));
  if (adapterOpen) {
    const KmtCloseAdapter close{wait.adapter};
    functions.closeAdapter(&close);
  }
}

VBlankFunctions LoadVBlankFunctions(HMODULE gdi32) {
  VBlankFunctions functions;
  if (!gdi32) return functions;
  functions.openAdapterFromHdc = reinterpret_cast<decltype(functions.openAdapterFromHdc)>(
      reinterpret_cast<void*>(GetProcAddress(gdi32, "D3DKMTOpenAdapterFromHdc")));
  functions.closeAdapter = reinterpret_cast<decltype(functions.closeAdapter)>(
      reinterpret_cast<void*>(GetProcAddress(gdi32, "D3DKMTCloseAdapter")));
  functions.waitForVerticalBlankEvent =
      reinterpret_cast<decltype(functions.waitForVerticalBlankEvent)>(
          reinterpret_cast<void*>(GetProcAddress(gdi32, "D3DKMTWaitForVerticalBlankEvent")));
  return functions;
}

void VBlankThread::Run(const VBlankFunctions& functions) {
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  if (functions.Complete()) {
    RunWithKernel(functions);
    return;
  }
  while (!stop_.load(std::memory_order_acquire)) {
    Sleep(kFallbackMs);
    PostTick();
  }
}

} // namespace plugkit::igraphics
