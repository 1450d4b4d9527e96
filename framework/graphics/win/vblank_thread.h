#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <atomic>
#include <cstdint>

namespace plugkit::igraphics {

// The display-kernel records the vertical-blank wait needs (the toolchain
// ships no header for them).
using KmtHandle = UINT;
using KmtStatus = LONG;

struct KmtOpenAdapterFromHdc {
  HDC dc;
  KmtHandle adapter;
  LUID adapterLuid;
  UINT videoPresentSourceId;
};

struct KmtCloseAdapter {
  KmtHandle adapter;
};

struct KmtWaitForVerticalBlankEvent {
  KmtHandle adapter;
  KmtHandle device;
  UINT videoPresentSourceId;
};

// D3DKMTOpenAdapterFromHdc, D3DKMTCloseAdapter and
// D3DKMTWaitForVerticalBlankEvent; null where the system lacks them.
struct VBlankFunctions {
  KmtStatus(APIENTRY* openAdapterFromHdc)(KmtOpenAdapterFromHdc*) = nullptr;
  KmtStatus(APIENTRY* closeAdapter)(const KmtCloseAdapter*) = nullptr;
  KmtStatus(APIENTRY* waitForVerticalBlankEvent)(const KmtWaitForVerticalBlankEvent*) = nullptr;

  bool Complete() const { return openAdapterFromHdc && closeAdapter && waitForVerticalBlankEvent; }
};

// The three functions from gdi32 (null entries for those it lacks).
VBlankFunctions LoadVBlankFunctions(HMODULE gdi32);

// Whether a posted tick is drawn: only the newest posted tick counts, and a
// paint that overran drops the ticks queued meanwhile (skipUntil, 0 = none).
bool AcceptTick(uint32_t tick, uint32_t current, uint32_t& skipUntil);

// A thread that posts WM_USER+1 (wParam = tick counter) to one window at
// every vertical blank of its display, or every 16 ms where it cannot wait
// for one, unless the tick it posted last has not yet arrived: at most one
// tick waits in the window's queue however long its thread is busy. The
// thread is always stopped and joined before this object (and so before the
// window it posts to) goes away.
class VBlankThread {
public:
  static constexpr DWORD kFallbackMs = 16;
  static constexpr DWORD kAdapterRetryMs = 1000;

  VBlankThread() = default;
  VBlankThread(const VBlankThread&) = delete;
  VBlankThread& operator=(const VBlankThread&) = delete;
  ~VBlankThread() { Stop(); }

  // Starts `start` (which runs Run) with `parameter` for `window`; false when
  // no thread could be made. A running thread is stopped first.
  bool Start(HWND window, LPTHREAD_START_ROUTINE start, void* parameter);
  // Raises the stop flag and waits for the thread to end; the thread ends
  // after its current round.
  void Stop();
  bool Running() const { return thread_ != nullptr; }

  // The thread's body. With `functions` complete it waits for vertical
  // blanks; otherwise it sleeps 16 ms per tick.
  void Run(const VBlankFunctions& functions);

  uint32_t TickCounter() const { return tickCounter_.load(std::memory_order_acquire); }
  // The window's thread has taken the posted tick out of its queue.
  void TickArrived() { tickWaiting_.store(false, std::memory_order_release); }

private:
  void PostTick();
  void RunWithKernel(const VBlankFunctions& functions);

  HANDLE thread_ = nullptr;
  HWND window_ = nullptr;
  std::atomic<bool> stop_{false};
  // Not reset between windows: a late tick of an earlier window is stale.
  std::atomic<uint32_t> tickCounter_{0};
  std::atomic<bool> tickWaiting_{false};
};

} // namespace plugkit::igraphics
