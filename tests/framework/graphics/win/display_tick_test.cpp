#include "tests/framework/graphics/win/editor_window_fixture.h"

#include "tests/support/win/client_size.h"
#include "tests/support/win/message_pump.h"

#include <gtest/gtest.h>

#include <atomic>

namespace plugkit::igraphics {
namespace {

using test::PumpMessages;
using test::TestParentWindow;
using testing::WindowTestDelegate;

// Display-kernel stand-ins: an adapter that opens (or not) and a vertical
// blank every few milliseconds; each call checks that the window the
// thread posts to still exists.
struct FakeKernel {
  static inline std::atomic<int> opens{0};
  static inline std::atomic<int> closes{0};
  static inline std::atomic<int> waits{0};
  static inline std::atomic<int> callsWithoutWindow{0};
  static inline std::atomic<bool> openSucceeds{true};
  static inline std::atomic<DWORD> waitMs{5};
  // Known once the editor window has been opened.
  static inline std::atomic<HWND> window{nullptr};

  static void CheckWindow() {
    const HWND w = window;
    if (w && !IsWindow(w)) ++callsWithoutWindow;
  }
  static KmtStatus APIENTRY Open(KmtOpenAdapterFromHdc* open) {
    ++opens;
    CheckWindow();
    if (!openSucceeds || !open->dc) return -1;
    open->adapter = 7;
    open->videoPresentSourceId = 1;
    return 0;
  }
  static KmtStatus APIENTRY Close(const KmtCloseAdapter* close) {
    ++closes;
    return close->adapter == 7 ? 0 : -1;
  }
  static KmtStatus APIENTRY Wait(const KmtWaitForVerticalBlankEvent* wait) {
    ++waits;
    CheckWindow();
    Sleep(waitMs);
    return wait->adapter == 7 && wait->videoPresentSourceId == 1 ? 0 : -1;
  }
  static VBlankFunctions Functions() { return VBlankFunctions{Open, Close, Wait}; }
  // The kernel is shared by every test of the program: each starts afresh.
  static void Reset() {
    opens = 0;
    closes = 0;
    waits = 0;
    callsWithoutWindow = 0;
    openSucceeds = true;
    waitMs = 5;
    window = nullptr;
  }
};

class VBlankThread : public ::testing::Test {
protected:
  void SetUp() override { FakeKernel::Reset(); }
};

struct TickedEditor {
  TestParentWindow parent;
  WindowTestDelegate delegate;
  HWND window = nullptr;

  explicit TickedEditor(const VBlankFunctions& kernel) {
    delegate.configure = [kernel](IGraphicsWin& g) { g.SetVBlankFunctions(kernel); };
    window = static_cast<HWND>(delegate.OpenEditor(parent.Get()));
    FakeKernel::window = window;
  }
  ~TickedEditor() { delegate.CloseEditor(); }
  IGraphicsWin& G() { return *delegate.Graphics(); }
};

TEST_F(VBlankThread, TicksAtEachVerticalBlankAndIsJoinedBeforeTheWindowGoes) {
  FakeKernel::waitMs = 40; // a slow display: the close must wait for the round
  TickedEditor e(FakeKernel::Functions());
  ASSERT_NE(e.window, nullptr);
  ASSERT_TRUE(e.G().UsesVerticalBlank());
  ASSERT_TRUE(e.G().VBlankThreadRunning());
  PumpMessages(300);
  EXPECT_EQ(FakeKernel::opens, 1);
  EXPECT_GE(FakeKernel::waits, 2);
  // Each tick follows a blank; a blank while the last tick still waits posts none.
  const uint32_t ticks = e.G().TickCounter();
  EXPECT_GE(ticks, 2u);
  EXPECT_LE(ticks, static_cast<uint32_t>(FakeKernel::waits));
  e.G().CloseWindow();
  EXPECT_FALSE(e.G().VBlankThreadRunning());
  const int waitsAtClose = FakeKernel::waits;
  const uint32_t ticksAtClose = e.G().TickCounter();
  EXPECT_EQ(FakeKernel::closes, 1); // the open adapter is closed on the way out
  Sleep(150);
  EXPECT_EQ(FakeKernel::waits, waitsAtClose);
  EXPECT_EQ(e.G().TickCounter(), ticksAtClose);
  EXPECT_EQ(FakeKernel::callsWithoutWindow, 0);
}

TEST_F(VBlankThread, AnAdapterThatWillNotOpenIsRetriedOncePerSecondWhileTicksGoOn) {
  FakeKernel::openSucceeds = false;
  TickedEditor e(FakeKernel::Functions());
  ASSERT_NE(e.window, nullptr);
  PumpMessages(1500);
  const uint32_t ticks = e.G().TickCounter();
  e.G().CloseWindow();
  EXPECT_EQ(FakeKernel::opens, 2);
  EXPECT_EQ(FakeKernel::waits, 0);
  EXPECT_GT(ticks, 10u * static_cast<uint32_t>(FakeKernel::opens.load()));
}

TEST_F(VBlankThread, WithoutTheKernelFunctionsItPostsEverySixteenMilliseconds) {
  // Wine's gdi32 lacks D3DKMTWaitForVerticalBlankEvent: this is the path
  // the thread takes there.
  const VBlankFunctions wine = LoadVBlankFunctions(GetModuleHandleW(L"gdi32.dll"));
  EXPECT_FALSE(wine.Complete());
  TickedEditor e(wine);
  ASSERT_NE(e.window, nullptr);
  ASSERT_TRUE(e.G().VBlankThreadRunning());
  PumpMessages(400);
  EXPECT_GT(e.G().TickCounter(), 5u);
  e.G().CloseWindow();
  EXPECT_FALSE(e.G().VBlankThreadRunning());
}

TEST(DisplayTick, TheDirtyGraphIsRedrawnAtTheTicksPaceAndStaleTicksAreDropped) {
  TickedEditor e(VBlankFunctions{});
  ASSERT_NE(e.window, nullptr);
  PumpMessages(100);
  e.delegate.knob->SetDirty(false);
  e.delegate.button->alwaysDirty = true;
  const int drawsBefore = e.delegate.button->draws;
  const uint32_t ticksBefore = e.G().TickCounter();
  PumpMessages(500);
  const int draws = e.delegate.button->draws - drawsBefore;
  const uint32_t ticks = e.G().TickCounter() - ticksBefore;
  EXPECT_GT(draws, 0);
  EXPECT_LE(static_cast<uint32_t>(draws), ticks + 1);

  // A tick that is not the newest paints nothing.
  e.delegate.button->alwaysDirty = false;
  e.delegate.button->SetDirty(false);
  const int drawsNow = e.delegate.button->draws;
  e.G().OnDisplayTick(e.G().TickCounter() - 1);
  EXPECT_EQ(e.delegate.button->draws, drawsNow);
  EXPECT_TRUE(e.delegate.button->IsDirty());
}

TEST(DisplayTick, AtMostOneTickWaitsWhileTheThreadIsBusy) {
  TickedEditor e(VBlankFunctions{});
  ASSERT_NE(e.window, nullptr);
  Sleep(300); // busy for about 18 rounds of the thread
  MSG tick;
  int waiting = 0;
  while (PeekMessageW(&tick, e.window, IGraphicsWin::kDisplayTickMessage,
                      IGraphicsWin::kDisplayTickMessage, PM_REMOVE))
    ++waiting;
  EXPECT_EQ(waiting, 1);
}

TEST(DisplayTick, AScaleTheHostSetHoldsWhileOtherScalesFollowTheMonitor) {
  struct Case {
    const char* name;
    bool byHost;
    float afterTicks;
  };
  for (const Case& c : {Case{"host", true, 1.5f}, Case{"toolkit", false, 1.f}}) {
    SCOPED_TRACE(c.name);
    testing::OpenEditor e;
    ASSERT_NE(e.window, nullptr);
    if (c.byHost)
      e.delegate.SetEditorScreenScale(1.5f);
    else
      e.G().SetScreenScale(1.5f);
    EXPECT_EQ(e.G().GetScreenScale(), 1.5f);
    PumpMessages(300);
    EXPECT_EQ(e.G().GetScreenScale(), c.afterTicks);
    const SIZE client = test::ClientSize(e.window);
    EXPECT_EQ(client.cx, static_cast<LONG>(400 * c.afterTicks));
  }
}

} // namespace
} // namespace plugkit::igraphics
