#include "tests/framework/graphics/win/editor_window_fixture.h"

#include "framework/graphics/win/native_menu.h"
#include "tests/support/win/message_pump.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>
#include <thread>
#include <vector>

namespace plugkit::igraphics {
namespace {

using test::PumpMessages;
using testing::OpenEditor;
using testing::SendMouse;

// The editor with its tooltips on.
struct TooltipEditor : OpenEditor {
  TooltipEditor() : OpenEditor([](IGraphicsWin& g) { g.EnableTooltips(true); }) {}

  HWND StartEntryOnKnob() {
    G().CreateTextEntry(*delegate.knob, ITextStyle(), IRect(200, 20, 300, 50), "0.5");
    return G().GetEditWindow();
  }
};

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

void Type(HWND edit, const wchar_t* keys) {
  for (const wchar_t* k = keys; *k; ++k) SendMessageW(edit, WM_CHAR, *k, 1);
}

TEST(NativeTextEntry, EnterCommitsTheTypedValueThroughTheDelegate) {
  const testing::Watchdog watchdog(30000);
  TooltipEditor e;
  const HWND edit = e.StartEntryOnKnob();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(GetParent(edit), e.window);
  EXPECT_EQ(GetDlgCtrlID(edit), IGraphicsWin::kTextEntryId);
  EXPECT_EQ(TextOf(edit), L"0.5");
  Type(edit, L"0.2e5"); // the whole text was selected, and "e" is no digit
  EXPECT_EQ(TextOf(edit), L"0.25");
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
  EXPECT_EQ(e.G().GetTextEntryState(), TextEntryState::CommitRequested);
  PumpMessages(150);
  EXPECT_EQ(e.G().GetEditWindow(), nullptr);
  EXPECT_FALSE(IsWindow(edit));
  ASSERT_EQ(e.delegate.sent.size(), 1u);
  EXPECT_EQ(e.delegate.sent[0].paramIdx, 1);
  EXPECT_NEAR(e.delegate.sent[0].normalized, 0.25, 1e-9);
  EXPECT_EQ(e.delegate.begun, (std::vector<int>{1}));
  EXPECT_EQ(e.delegate.ended, (std::vector<int>{1}));
}

TEST(NativeTextEntry, EscapeOrAClickOnTheEditorCancelsWithoutAValue) {
  const testing::Watchdog watchdog(30000);
  TooltipEditor e;
  for (const bool byClick : {false, true}) {
    const HWND edit = e.StartEntryOnKnob();
    ASSERT_NE(edit, nullptr);
    Type(edit, L"0.75");
    if (byClick)
      SendMouse(e.window, WM_LBUTTONDOWN, 50, 50, MK_LBUTTON); // over the button
    else
      SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 1);
    EXPECT_EQ(e.G().GetTextEntryState(), TextEntryState::CancelRequested);
    PumpMessages(150);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(e.G().GetControlInTextEntry(), nullptr);
  }
  EXPECT_TRUE(e.delegate.sent.empty());
  EXPECT_TRUE(e.delegate.begun.empty());
}

TEST(NativeTextEntry, ThePressThatOpenedItEndsAndTheNextClickGoesWhereItLands) {
  const testing::Watchdog watchdog(30000);
  TooltipEditor e;
  SendMouse(e.window, WM_LBUTTONDOWN, 250, 100, MK_LBUTTON); // the entry opens while pressed
  const HWND edit = e.StartEntryOnKnob();
  SendMouse(e.window, WM_LBUTTONUP, 250, 100);
  EXPECT_EQ(GetCapture(), nullptr); // a click into the entry reaches the entry
  Type(edit, L"0.25");
  SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 1);
  PumpMessages(150);
  SendMouse(e.window, WM_LBUTTONDOWN, 50, 50, MK_LBUTTON); // on the button
  SendMouse(e.window, WM_LBUTTONUP, 50, 50);
  EXPECT_EQ(e.delegate.begun, (std::vector<int>{1, 1, 0})); // press, commit, click
  EXPECT_EQ(e.delegate.ended, e.delegate.begun);
}

// Waits for the menu to show, then picks its second item with keys.
void ChooseSecondItemWhenTheMenuShows() {
  std::thread([] {
    for (int i = 0; i < 500; ++i) {
      const HWND menu = FindWindowW(L"#32768", nullptr);
      if (menu && IsWindowVisible(menu)) {
        for (const WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
          PostMessageW(menu, WM_KEYDOWN, key, 0);
          Sleep(30);
        }
        return;
      }
      Sleep(10);
    }
  }).detach();
}

TEST(NativePopupMenu, TheChoiceReachesTheControl) {
  const testing::Watchdog watchdog(30000);
  TooltipEditor e;
  ASSERT_NE(e.window, nullptr);
  int called = 0;
  IPopupMenu menu("", {"Low", "Mid", "High"}, [&called](IPopupMenu*) { ++called; });
  ChooseSecondItemWhenTheMenuShows();
  e.G().CreatePopupMenu(*e.delegate.button, menu, IRect(20, 20, 120, 80));
  EXPECT_EQ(e.delegate.button->chosenItem, 1);
  EXPECT_EQ(menu.GetChosenItemIdx(), 1);
  EXPECT_EQ(called, 1);
}

TEST(NativePopupMenu, IdsAreHandedOutDepthFirstAndColumnsBreak) {
  IPopupMenu menu("", {"a"});
  auto* withSub = menu.AddItem("b");
  withSub->SetSubmenu(new IPopupMenu("", {"b1", "b2", "b3"}));
  menu.AddItem("c", IPopupMenu::Item::kChecked);
  menu.AddItem("d", IPopupMenu::Item::kGreyed);
  int runningId = 0;
  const MenuHandle native(BuildNativeMenu(menu, runningId));
  ASSERT_NE(native, nullptr);
  EXPECT_EQ(runningId, 7);
  EXPECT_EQ(GetMenuItemID(native.get(), 0), 0u);
  EXPECT_EQ(GetMenuItemID(native.get(), 2), 2u);
  EXPECT_EQ(GetMenuItemID(native.get(), 3), 3u);
  const HMENU sub = GetSubMenu(native.get(), 1);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(GetMenuItemID(sub, 0), 4u);
  EXPECT_EQ(GetMenuItemID(sub, 2), 6u);
  EXPECT_TRUE(GetMenuState(native.get(), 2, MF_BYPOSITION) & MF_CHECKED);
  EXPECT_TRUE(GetMenuState(native.get(), 3, MF_BYPOSITION) & MF_GRAYED);
  for (const int id : {0, 3, 5, 6}) {
    int index = -1;
    runningId = 0;
    IPopupMenu* found = FindMenuItem(id, index, runningId, menu);
    EXPECT_EQ(found, id < 4 ? &menu : withSub->GetSubmenu()) << id;
    EXPECT_EQ(index, id < 4 ? id : id - 4) << id;
  }
  int index = -1;
  runningId = 0;
  EXPECT_EQ(FindMenuItem(7, index, runningId, menu), nullptr);

  for (const int count : {30, kMaxColumnMenuItems}) {
    IPopupMenu columns;
    columns.SetItemsPerColumn(10);
    for (int i = 0; i < count; ++i) columns.AddItem("x");
    runningId = 0;
    const MenuHandle built(BuildNativeMenu(columns, runningId));
    for (const int item : {1, 10, 20}) {
      const bool breaks = GetMenuState(built.get(), item, MF_BYPOSITION) & MF_MENUBARBREAK;
      EXPECT_EQ(breaks, count < kMaxColumnMenuItems && item % 10 == 0) << count << " " << item;
    }
  }
}

std::wstring TooltipText(HWND tooltip, HWND owner) {
  wchar_t text[256] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = owner;
  tool.uId = reinterpret_cast<UINT_PTR>(owner);
  tool.lpszText = text;
  SendMessageW(tooltip, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  return text;
}

TEST(Tooltips, FollowTheControlUnderThePointer) {
  TooltipEditor e;
  ASSERT_NE(e.window, nullptr);
  const HWND tooltip = e.G().GetTooltipWindow();
  ASSERT_NE(tooltip, nullptr);
  e.delegate.button->SetTooltip("Learn");
  SendMouse(e.window, WM_MOUSEMOVE, 50, 50);
  SendMessageW(e.window, WM_MOUSEHOVER, 0, MAKELPARAM(50, 50));
  EXPECT_EQ(TooltipText(tooltip, e.window), L"Learn");
  SendMouse(e.window, WM_MOUSEMOVE, 250, 50); // onto the knob: the tip goes
  EXPECT_EQ(TooltipText(tooltip, e.window), L"");
  SendMessageW(e.window, WM_MOUSEHOVER, 0, MAKELPARAM(250, 50));
  EXPECT_EQ(TooltipText(tooltip, e.window), L""); // the knob has none
  SendMouse(e.window, WM_MOUSEMOVE, 50, 50);
  SendMessageW(e.window, WM_MOUSEHOVER, 0, MAKELPARAM(50, 50));
  SendMouse(e.window, WM_MOUSEMOVE, 10, 200); // across the backdrop, which takes no mouse
  EXPECT_EQ(TooltipText(tooltip, e.window), L"");
  SendMouse(e.window, WM_MOUSEMOVE, 50, 50);
  SendMessageW(e.window, WM_MOUSEHOVER, 0, MAKELPARAM(50, 50));
  EXPECT_EQ(TooltipText(tooltip, e.window), L"Learn");
  SendMouse(e.window, WM_LBUTTONDOWN, 50, 50, MK_LBUTTON); // a press hides it
  EXPECT_EQ(TooltipText(tooltip, e.window), L"");
  SendMouse(e.window, WM_LBUTTONUP, 50, 50);
}

// The sizes of the tool records the editor sends its tooltip, as the
// tooltip window receives them.
std::vector<UINT> toolRecordSizes;

LRESULT CALLBACK NoteToolRecords(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && (sent->message == TTM_ADDTOOLW || sent->message == TTM_UPDATETIPTEXTW))
    toolRecordSizes.push_back(reinterpret_cast<const TTTOOLINFOW*>(sent->lParam)->cbSize);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Tooltips, ToolRecordsHaveTheSizeCommonControlsBeforeVersionSixAccept) {
  // Neither the plug-in nor the standalone carries a manifest, so on
  // Windows they get the older common controls, which refuse the larger
  // record of version 6: the tool would never be added.
  toolRecordSizes.clear();
  const HHOOK hook =
      SetWindowsHookExW(WH_CALLWNDPROC, NoteToolRecords, nullptr, GetCurrentThreadId());
  ASSERT_NE(hook, nullptr);
  {
    TooltipEditor e;
    ASSERT_NE(e.window, nullptr);
    e.G().SetTooltipText("Learn");
    EXPECT_EQ(SendMessageW(e.G().GetTooltipWindow(), TTM_GETTOOLCOUNT, 0, 0), 1);
  }
  UnhookWindowsHookEx(hook);
  ASSERT_EQ(toolRecordSizes.size(), 2u);
  for (const UINT size : toolRecordSizes) EXPECT_EQ(size, 64u);
}

TEST(Cursors, FollowTheControlUnderThePointer) {
  TooltipEditor e;
  ASSERT_NE(e.window, nullptr);
  e.delegate.button->cursorType = 11;
  const HCURSOR hand = LoadCursorW(nullptr, MAKEINTRESOURCEW(32649));
  const HCURSOR arrow = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  SendMouse(e.window, WM_MOUSEMOVE, 50, 50);
  EXPECT_EQ(GetCursor(), hand);
  SetCursor(arrow);
  SendMessageW(e.window, WM_SETCURSOR, reinterpret_cast<WPARAM>(e.window), HTCLIENT);
  EXPECT_EQ(GetCursor(), hand); // the stored type is applied again
  SendMouse(e.window, WM_MOUSEMOVE, 250, 50);
  EXPECT_EQ(GetCursor(), arrow);
  EXPECT_EQ(e.G().SetMouseCursor(42), 0);
  EXPECT_EQ(GetCursor(), arrow);
}

} // namespace
} // namespace plugkit::igraphics
