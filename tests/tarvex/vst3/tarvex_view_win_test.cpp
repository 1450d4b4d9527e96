// The plug-in's editor view in real windows, in this program: the Tarvex
// class the module is built from, opened in a parent window of ours as a
// host opens it.
#include "framework/graphics/igraphics.h"
#include "framework/graphics/win/window_dc.h"
#include "tarvex/vst3/tarvex_vst3.h"
#include "tests/support/recording_frame.h"
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
using plugkit::test::RecordingFrame;
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

TEST(TarvexView, ACheckedSizeIsTheSizeTheEditorTakesAndKeeps) {
  Vst::HostApplication host;
  IPtr<TarvexVST3> plug = owned(new TarvexVST3(TarvexInstanceInfo{}));
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  const TestParentWindow hostWindow(1300, 900);
  RecordingFrame frame;
  auto view = owned(plug->createView(Vst::ViewType::kEditor));
  ASSERT_TRUE(view);
  view->setFrame(&frame);
  ASSERT_EQ(view->attached(hostWindow.Get(), kPlatformTypeHWND), kResultOk);
  struct Case {
    ViewRect wanted;
    int width, height;
  } cases[] = {{ViewRect(0, 0, 590, 400), 1003, 680},     // below the scale range
               {ViewRect(0, 0, 1416, 1000), 1416, 960},   // the layout's aspect
               {ViewRect(0, 0, 3000, 2000), 1770, 1200}}; // above the scale range
  for (Case& c : cases) {
    SCOPED_TRACE(c.width);
    EXPECT_EQ(view->checkSizeConstraint(&c.wanted), kResultTrue);
    EXPECT_EQ(c.wanted.getWidth(), c.width);
    EXPECT_EQ(c.wanted.getHeight(), c.height);
    frame.requests.clear();
    EXPECT_EQ(view->onSize(&c.wanted), kResultOk);
    EXPECT_TRUE(frame.requests.empty()) << "the frame is asked for no other size";
    EXPECT_EQ(plug->GetUI()->WindowWidth(), c.width);
    EXPECT_EQ(plug->GetUI()->WindowHeight(), c.height);
  }
  EXPECT_EQ(view->removed(), kResultOk);
  plug->terminate();
}

} // namespace
} // namespace tarvex
