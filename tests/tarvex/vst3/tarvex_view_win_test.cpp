// The plug-in's editor view in real windows, in this program: the Tarvex
// class the module is built from, opened in a parent window of ours as a
// host opens it.
#include "framework/graphics/win/window_dc.h"
#include "tarvex/vst3/tarvex_vst3.h"

#include "pluginterfaces/gui/iplugview.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tarvex {
namespace {

using namespace Steinberg;
using plugkit::igraphics::CountWindowDCs;

void PumpMessages(DWORD forMs) {
  const DWORD end = GetTickCount() + forMs;
  MSG msg;
  while (GetTickCount() < end) {
    if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
      DispatchMessageW(&msg);
    else
      Sleep(5);
  }
}

long DCsOut() {
  const auto count = CountWindowDCs();
  return count.taken - count.givenBack;
}

TEST(TarvexView, DeviceContextsBalanceOverReopeningAHostResizedEditor) {
  Vst::HostApplication host;
  IPtr<TarvexVST3> plug = owned(new TarvexVST3(TarvexInstanceInfo{}));
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  const HWND parent =
      CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1300, 900,
                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(parent, nullptr);
  for (int round = 0; round < 3; ++round) {
    SCOPED_TRACE(round);
    const long before = DCsOut();
    const long takenBefore = CountWindowDCs().taken;
    auto view = owned(plug->createView(Vst::ViewType::kEditor));
    ASSERT_TRUE(view);
    ASSERT_EQ(view->attached(parent, kPlatformTypeHWND), kResultOk);
    PumpMessages(100);
    ViewRect size(0, 0, 900, 610);
    EXPECT_EQ(view->onSize(&size), kResultOk);
    PumpMessages(100);
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_GT(CountWindowDCs().taken, takenBefore);
    EXPECT_EQ(DCsOut(), before);
  }
  DestroyWindow(parent);
  plug->terminate();
}

} // namespace
} // namespace tarvex
