// The plug-in's editor view in real windows, in this program: the Tarvex
// class the module is built from, opened in a parent window of ours as a
// host opens it.
#include "framework/graphics/win/window_dc.h"
#include "tarvex/vst3/tarvex_vst3.h"
#include "tests/support/win/message_pump.h"
#include "tests/support/win/test_parent_window.h"

#include "pluginterfaces/gui/iplugview.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace tarvex {
namespace {

using namespace Steinberg;
using plugkit::igraphics::CountWindowDCs;
using plugkit::test::PumpMessages;
using plugkit::test::TestParentWindow;

long DCsOut() {
  const auto count = CountWindowDCs();
  return count.taken - count.givenBack;
}

TEST(TarvexView, DeviceContextsBalanceOverReopeningAHostResizedEditor) {
  Vst::HostApplication host;
  IPtr<TarvexVST3> plug = owned(new TarvexVST3(TarvexInstanceInfo{}));
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  const TestParentWindow hostWindow(1300, 900);
  const HWND parent = hostWindow.Get();
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
  plug->terminate();
}

} // namespace
} // namespace tarvex
