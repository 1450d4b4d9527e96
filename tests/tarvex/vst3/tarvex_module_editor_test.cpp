// The module's editor in real windows: the view attached to a parent window
// of this program, as a host does, through the module loaded from its
// bundle (so its own initialisation and resources are the ones used).
#include "framework/core/win_files.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include "tests/support/win/client_size.h"
#include "tests/support/win/message_pump.h"
#include "tests/support/win/test_parent_window.h"
#include "tests/support/win/thread_count.h"
#include "tests/tarvex/vst3/loaded_bundle.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace tarvex {
namespace {

using namespace Steinberg;
using plugkit::test::ClientSize;
using plugkit::test::CountThreads;
using plugkit::test::PumpMessages;
using plugkit::test::TestParentWindow;

BOOL CALLBACK CountEditorWindow(HWND window, LPARAM count) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (lstrcmpW(name, L"IPluginWndClass") == 0) ++*reinterpret_cast<int*>(count);
  EnumChildWindows(window, CountEditorWindow, count);
  return TRUE;
}

int CountEditorWindows() {
  int count = 0;
  EnumWindows(CountEditorWindow, reinterpret_cast<LPARAM>(&count));
  return count;
}

class ModuleEditor : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(LoadBundle());
    Create(LoadBundle()->getFactory());
  }
  void Create(const VST3::Hosting::PluginFactory& factory) {
    controller = factory.createInstance<Vst::IEditController>(factory.classInfos().front().ID());
    ASSERT_TRUE(controller);
    ASSERT_EQ(controller->initialize(&hostContext), kResultOk);
    ASSERT_NE(parent, nullptr);
  }
  void TearDown() override {
    if (controller) controller->terminate();
  }

  Vst::HostApplication hostContext;
  IPtr<Vst::IEditController> controller;
  const TestParentWindow hostWindow{1300, 900};
  const HWND parent = hostWindow.Get();
};

TEST_F(ModuleEditor, OpensInTheHostsWindowAndClosesWithoutLeaks) {
  const int threadsBefore = CountThreads();
  for (int round = 0; round < 3; ++round) {
    auto view = owned(controller->createView(Vst::ViewType::kEditor));
    ASSERT_TRUE(view);
    ASSERT_EQ(view->attached(parent, kPlatformTypeHWND), kResultOk) << "round " << round;
    HWND editor = FindWindowExW(parent, nullptr, L"IPluginWndClass", nullptr);
    ASSERT_NE(editor, nullptr);
    PumpMessages(200);
    const SIZE client = ClientSize(editor);
    EXPECT_EQ(client.cx, 1180);
    EXPECT_EQ(client.cy, 800);
    EXPECT_EQ(view->attached(parent, kPlatformTypeHWND), kResultFalse) << "already attached";
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_FALSE(IsWindow(editor));
  }
  PumpMessages(100);
  EXPECT_EQ(CountEditorWindows(), 0);
  EXPECT_EQ(CountThreads(), threadsBefore);
}

TEST_F(ModuleEditor, KeysTheEditorLeavesGoBackToTheHost) {
  auto view = owned(controller->createView(Vst::ViewType::kEditor));
  ASSERT_TRUE(view);
  ASSERT_EQ(view->attached(parent, kPlatformTypeHWND), kResultOk);
  // The pointer is nowhere near a control that takes keys.
  SetCursorPos(1900, 1000);
  EXPECT_EQ(view->onKeyDown(u'q', 0, 0), kResultFalse);
  EXPECT_EQ(view->onKeyUp(u'q', 0, 0), kResultFalse);
  EXPECT_EQ(view->removed(), kResultOk);
}

// A host that loads the module's binary itself and never calls the optional
// InitDll.
class ModuleEditorWithoutInitDll : public ModuleEditor {
protected:
  void SetUp() override {
    module = plugkit::Utf8LoadLibrary(TARVEX_VST3_BINARY);
    ASSERT_NE(module, nullptr);
    using GetFactoryFunc = IPluginFactory*(PLUGIN_API*)();
    const auto getFactory = reinterpret_cast<GetFactoryFunc>(
        reinterpret_cast<void*>(GetProcAddress(module, "GetPluginFactory")));
    ASSERT_NE(getFactory, nullptr);
    Create(VST3::Hosting::PluginFactory(owned(getFactory())));
  }

  HMODULE module = nullptr;
};

TEST_F(ModuleEditorWithoutInitDll, TheEditorFindsItsResourcesInTheModule) {
  auto view = owned(controller->createView(Vst::ViewType::kEditor));
  ASSERT_TRUE(view);
  ASSERT_EQ(view->attached(parent, kPlatformTypeHWND), kResultOk);
  HWND editor = FindWindowExW(parent, nullptr, L"IPluginWndClass", nullptr);
  ASSERT_NE(editor, nullptr);
  // The handle the embedded font and logo are loaded from also owns the window.
  EXPECT_EQ(reinterpret_cast<HMODULE>(GetWindowLongPtrW(editor, GWLP_HINSTANCE)), module);
  EXPECT_EQ(view->removed(), kResultOk);
}

} // namespace
} // namespace tarvex
