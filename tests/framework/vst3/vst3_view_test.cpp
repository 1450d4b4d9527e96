#include "tests/framework/vst3/vst3_editor_host.h"

#include "framework/vst3/plugin_vst3_view.h"
#include "framework/vst3/vst3_key_press.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace plugkit::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using igraphics::IKeyPress;

std::string Text(const ViewRect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

TEST(Vst3View, ViewOnlyForTheEditorOfAPlugInWithOne) {
  auto plug = owned(new EditorPlugin());
  auto noEditor = owned(new EditorPlugin(EditorPlugin::Config(false)));
  struct Case {
    EditorPlugin* plug;
    const char* name;
    bool view;
  } cases[] = {{plug, ViewType::kEditor, true},
               {plug, "other", false},
               {plug, nullptr, false},
               {noEditor, ViewType::kEditor, false}};
  for (const Case& c : cases) {
    auto view = owned(c.plug->CreateEditorView(c.name));
    EXPECT_EQ(view != nullptr, c.view) << (c.name ? c.name : "null");
  }
#if defined(_WIN32)
  EXPECT_TRUE(owned(plug->createView(ViewType::kEditor)));
#else
  EXPECT_EQ(plug->createView(ViewType::kEditor), nullptr) << "no editor windows here";
#endif
}

TEST(Vst3View, WindowTypeAndSizes) {
  auto plug = owned(new EditorPlugin());
  auto fixed = owned(new EditorPlugin(EditorPlugin::Config(true, false)));
  auto view = owned(plug->CreateEditorView(ViewType::kEditor));
  auto fixedView = owned(fixed->CreateEditorView(ViewType::kEditor));
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(nullptr), kResultFalse);

  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(Text(size), "0,0,400,300");
  EXPECT_EQ(view->canResize(), kResultTrue);
  EXPECT_EQ(fixedView->canResize(), kResultFalse);

  // Limits 200..800 x 100..600.
  struct Constraint {
    ViewRect wanted;
    ViewRect got;
  } constraints[] = {{ViewRect(0, 0, 500, 400), ViewRect(0, 0, 500, 400)},
                     {ViewRect(10, 20, 1000, 50), ViewRect(10, 20, 810, 120)},
                     {ViewRect(0, 0, 100, 5000), ViewRect(0, 0, 200, 600)}};
  for (Constraint& c : constraints) {
    EXPECT_EQ(view->checkSizeConstraint(&c.wanted), kResultTrue);
    EXPECT_EQ(Text(c.wanted), Text(c.got));
  }
  EXPECT_EQ(view->checkSizeConstraint(nullptr), kInvalidArgument);

  ViewRect hostSize(0, 0, 600, 450);
  EXPECT_EQ(fixedView->onSize(&hostSize), kResultFalse);
  EXPECT_EQ(view->onSize(nullptr), kResultFalse);
  EXPECT_EQ(view->onSize(&hostSize), kResultOk);
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(Text(size), Text(hostSize)) << "the view reports the size its frame has now";
}

TEST(Vst3View, AttachedOpensTheEditorAndReportsWhenItCannot) {
  auto plug = owned(new EditorPlugin());
  auto view = owned(plug->CreateEditorView(ViewType::kEditor));
  int parent = 0;
  EXPECT_EQ(view->attached(&parent, kPlatformTypeX11EmbedWindowID), kResultFalse);
  EXPECT_EQ(plug->GetUI(), nullptr);

  plug->windowOpens = false;
  EXPECT_EQ(view->attached(&parent, kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(plug->GetUI(), nullptr) << "an editor that did not open is closed again";

  plug->windowOpens = true;
  ASSERT_EQ(view->attached(&parent, kPlatformTypeHWND), kResultOk);
  ASSERT_NE(plug->GetUI(), nullptr);
  EXPECT_EQ(plug->GetUI()->NControls(), 2);

  auto second = owned(plug->CreateEditorView(ViewType::kEditor));
  int otherParent = 0;
  EXPECT_EQ(second->attached(&otherParent, kPlatformTypeHWND), kResultFalse)
      << "the editor stays with the view that opened it";
  EXPECT_EQ(second->removed(), kResultOk);
  EXPECT_NE(plug->GetUI(), nullptr);
  EXPECT_EQ(plug->GetUI()->GetWindow(), &parent);

  EXPECT_EQ(view->removed(), kResultOk);
  EXPECT_EQ(plug->GetUI(), nullptr);
}

TEST(Vst3View, ScaleFromTheHostReachesTheEditor) {
  EditorSession session;
  FUnknownPtr<IPlugViewContentScaleSupport> scale(session.view);
  ASSERT_TRUE(scale);
  EXPECT_EQ(scale->setContentScaleFactor(1.5f), kResultOk);
  EXPECT_FLOAT_EQ(session.plug->GetUI()->GetScreenScale(), 1.5f);
}

TEST(Vst3View, EditorResizeAsksTheFrameAndReportsItsAnswer) {
  for (const tresult answer : {kResultTrue, kResultFalse}) {
    EditorSession session;
    session.frame.answer = answer;
    session.plug->GetUI()->Resize(500, 350, 1.f, true);
    ASSERT_EQ(session.frame.requests.size(), 1u);
    EXPECT_EQ(Text(session.frame.requests[0]), "0,0,500,350");
    EXPECT_EQ(session.plug->ResizeEditorWindow(520, 360), answer == kResultTrue);
    EXPECT_TRUE(session.plug->ResizeEditorWindow(520, 360)) << "already that size";
    EXPECT_EQ(session.frame.requests.size(), 2u);
  }
  auto plug = owned(new EditorPlugin());
  EXPECT_FALSE(plug->ResizeEditorWindow(500, 350)) << "no frame to ask";
}

TEST(Vst3View, OtherViewsComingAndGoingLeaveTheOpenEditorItsFrame) {
  EditorSession session;
  for (const bool released : {false, true}) {
    auto other = owned(session.plug->CreateEditorView(ViewType::kEditor));
    if (released) other = nullptr;
    session.frame.requests.clear();
    session.plug->GetUI()->Resize(released ? 500 : 520, 350, 1.f, true);
    EXPECT_EQ(session.frame.requests.size(), 1u) << released;
    session.handler.menus.clear();
    session.RightClick(10.f, 20.f);
    EXPECT_EQ(session.handler.menus.size(), 1u) << released;
  }
}

TEST(Vst3View, KeysReachTheControlUnderThePointerAndUnusedOnesGoBack) {
  EditorSession session;
  KeyControl* keys = session.plug->Keys();
  EXPECT_EQ(session.view->onKeyDown(u'a', 0, 1), kResultTrue);
  EXPECT_EQ(session.view->onKeyUp(u'a', 0, 1), kResultTrue);
  ASSERT_EQ(keys->pressed.size(), 2u);
  EXPECT_STREQ(keys->pressed[0].utf8, "a");
  EXPECT_TRUE(keys->pressed[0].S);
  EXPECT_EQ(session.view->onKeyDown(u'z', 0, 0), kResultFalse) << "the control leaves z";

  session.plug->pointerX = 350.f;
  EXPECT_EQ(session.view->onKeyDown(u'a', 0, 0), kResultFalse) << "only the backdrop there";
  EXPECT_EQ(keys->pressed.size(), 3u);
}

TEST(Vst3View, ReaperPassesOnlyTheSpaceBar) {
  EditorSession session(u"REAPER");
  KeyControl* keys = session.plug->Keys();
  EXPECT_EQ(session.view->onKeyDown(u'a', 0, 0), kResultFalse);
  EXPECT_TRUE(keys->pressed.empty());
  EXPECT_EQ(session.view->onKeyDown(0, 7, 4), kResultTrue);
  ASSERT_EQ(keys->pressed.size(), 1u);
  EXPECT_EQ(keys->pressed[0].VK, 32);
  EXPECT_STREQ(keys->pressed[0].utf8, " ");
  EXPECT_TRUE(keys->pressed[0].C);
}

TEST(Vst3View, KeyConversion) {
  struct Case {
    char16_t key;
    int32_t code;
    const char* text;
    int32_t vk;
  } cases[] = {{0, 130, "2", 50}, {0, 7, " ", 32},    {0, 40, "", 112},
               {0, 51, "", 123},  {0, 15, "", 33},    {0, 16, "", 34},
               {0, 19, "", 13},   {0, 24, "", 96},    {0, 56, "", 18},
               {0, 58, "", 0},    {0, 200, "x", 120}, {u'\u00e9', 1, "\xc3\xa9", 8},
               {0xD800, 2, "", 9}};
  for (const Case& c : cases) {
    const IKeyPress press = KeyPressFromVST3(c.key, c.code, 0);
    EXPECT_STREQ(press.utf8, c.text) << c.code;
    EXPECT_EQ(press.VK, c.vk) << c.code;
  }
  const IKeyPress mods = KeyPressFromVST3(u'q', 0, 1 | 2 | 4);
  EXPECT_TRUE(mods.S && mods.A && mods.C);
  EXPECT_EQ(mods.VK, VirtualKeyForCharacter('q')) << "a character key asks the layout";
}

TEST(Vst3View, HostChangesShowAndEditorEditsReachTheHostBalanced) {
  EditorSession session;
  KeyControl* control = session.plug->Keys();
  ASSERT_EQ(session.plug->setParamNormalized(0, 0.25), kResultOk);
  EXPECT_DOUBLE_EQ(control->GetValue(), 0.25);

  session.Drag(control, 0.75);
  EXPECT_EQ(session.handler.Log(), "begin 0|perform 0|end 0|");
  EXPECT_DOUBLE_EQ(session.plug->getParamNormalized(0), 0.75);
}

TEST(Vst3View, RightClickShowsTheHostMenuWithTheControlsItems) {
  EditorSession session;
  session.plug->GetUI()->SetScreenScale(1.5f);
  session.RightClick(10.f, 20.f);
  ASSERT_EQ(session.handler.menus.size(), 1u);
  RecordingMenu& menu = *session.handler.menus[0];
  EXPECT_EQ(menu.paramId, 0u);
  EXPECT_EQ(menu.Items(), "Host item:-1:0|Reset:0:0|More:1:10|Deep:2:4|More:3:17|Gone:4:2|-:5:1|");
  EXPECT_EQ(menu.popupX, 15) << "editor units times draw and screen scale";
  EXPECT_EQ(menu.popupY, 30);
  EXPECT_EQ(session.plug->popupsShown, 0) << "the editor's own menu stays closed";

  ASSERT_EQ(menu.Execute(2), kResultOk);
  EXPECT_EQ(session.plug->Keys()->chosen, std::vector<int>{2});
}

TEST(Vst3View, MenuTargetsKeptByTheHostReachNothingOnceTheEditorCloses) {
  EditorSession session;
  session.RightClick(10.f, 20.f);
  ASSERT_EQ(session.handler.menus.size(), 1u);
  IPtr<RecordingMenu> menu = session.handler.menus[0];
  std::vector<int>& chosen = session.plug->Keys()->chosen;
  ASSERT_EQ(menu->Execute(0), kResultOk);
  EXPECT_EQ(chosen.size(), 1u);
  session.Close();
  EXPECT_EQ(menu->Execute(0), kResultFalse);
}

TEST(Vst3View, RightClickWithoutHostMenusShowsNothing) {
  for (const bool withHandler3 : {false, true}) {
    EditorSession session(u"Test Host",
                          withHandler3 ? EditorSession::kNoMenus : EditorSession::kNoHandler3);
    session.RightClick(10.f, 20.f);
    EXPECT_TRUE(session.handler.menus.empty());
    EXPECT_EQ(session.plug->popupsShown, 0);
    EXPECT_TRUE(session.plug->Keys()->chosen.empty());
  }
}

} // namespace
} // namespace plugkit::test
