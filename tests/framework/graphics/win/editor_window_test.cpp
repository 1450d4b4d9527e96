#include "tests/framework/graphics/win/editor_window_fixture.h"

#include "tests/support/win/client_size.h"
#include "tests/support/win/message_pump.h"
#include "tests/support/win/wide_text.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <string>

namespace plugkit::igraphics {
namespace {

using test::PumpMessages;
using testing::OpenEditor;
using testing::SendMouse;

// A real drop handle: the header, then each path in UTF-16 with its
// terminator, then the closing zero.
HDROP MakeDrop(const std::vector<std::wstring>& paths, POINT at) {
  size_t units = 1;
  for (const std::wstring& p : paths) units += p.size() + 1;
  const HGLOBAL block =
      GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + units * sizeof(wchar_t));
  auto* header = static_cast<DROPFILES*>(GlobalLock(block));
  header->pFiles = sizeof(DROPFILES);
  header->pt = at;
  header->fWide = TRUE;
  auto* out = reinterpret_cast<wchar_t*>(header + 1);
  for (const std::wstring& p : paths) {
    std::memcpy(out, p.c_str(), (p.size() + 1) * sizeof(wchar_t));
    out += p.size() + 1;
  }
  GlobalUnlock(block);
  return static_cast<HDROP>(block);
}

TEST(EditorWindow, OpensAsAChildWithItsGLContextAndPaintsTheControls) {
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  EXPECT_EQ(GetParent(e.window), e.parent.Get());
  EXPECT_TRUE(GetWindowLongW(e.window, GWL_STYLE) & WS_CHILD);
  const SIZE client = test::ClientSize(e.window);
  EXPECT_EQ(client.cx, 400);
  EXPECT_EQ(client.cy, 300);
  EXPECT_STREQ(e.G().GetPlatformAPIName(), "win32");
  ASSERT_NE(e.G().GetDrawContext(), nullptr);
  PumpMessages(200);
  EXPECT_GT(e.delegate.button->draws, 0);
  EXPECT_EQ(testing::ReadEditorPixel(e.G(), 60, 50), 0xFF0000FFu);  // the button
  EXPECT_EQ(testing::ReadEditorPixel(e.G(), 10, 200), 0x000040FFu); // the backdrop
  e.delegate.CloseEditor();
  EXPECT_FALSE(IsWindow(e.window));
  EXPECT_EQ(EditorWindowClass::References(), 0);
}

TEST(EditorWindow, ClickAndDragEditParametersBracketedThroughTheDelegate) {
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  SendMouse(e.window, WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
  SendMouse(e.window, WM_LBUTTONUP, 50, 50);
  ASSERT_EQ(e.delegate.sent.size(), 1u);
  EXPECT_EQ(e.delegate.sent[0].paramIdx, 0);
  EXPECT_EQ(e.delegate.sent[0].normalized, 1.0);

  e.delegate.sent.clear();
  SendMouse(e.window, WM_LBUTTONDOWN, 250, 100, MK_LBUTTON);
  EXPECT_EQ(GetCapture(), e.window);
  SendMouse(e.window, WM_MOUSEMOVE, 250, 100, MK_LBUTTON); // no movement: no drag
  SendMouse(e.window, WM_MOUSEMOVE, 250, 90, MK_LBUTTON);
  SendMouse(e.window, WM_MOUSEMOVE, 250, 70, MK_LBUTTON);
  SendMouse(e.window, WM_LBUTTONUP, 250, 70);
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_EQ(e.delegate.sent.size(), 2u);
  EXPECT_EQ(e.delegate.sent[0].paramIdx, 1);
  EXPECT_GT(e.delegate.sent[1].normalized, e.delegate.sent[0].normalized);
  EXPECT_GT(e.delegate.sent[0].normalized, 0.5);
  EXPECT_EQ(e.delegate.begun, (std::vector<int>{0, 1}));
  EXPECT_EQ(e.delegate.ended, (std::vector<int>{0, 1}));
}

TEST(EditorWindow, ALostMouseEndsTheDragOnceAsAReleaseWould) {
  struct Case {
    const char* name;
    int x, y;
    UINT lostBy;
    std::vector<float> knobUpsY;
  };
  // The knob hides and locks the pointer where it was pressed: a lost mouse
  // is released there.
  const Case cases[] = {
      {"another window takes it", 250, 100, WM_CAPTURECHANGED, {100.f}},
      {"Windows cancels the mode", 250, 100, WM_CANCELMODE, {100.f}},
      {"our own release", 250, 100, WM_LBUTTONUP, {80.f}},
      {"a grip drag", 395, 295, WM_CAPTURECHANGED, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenEditor e([](IGraphicsWin& g) { g.AttachCornerResizer(); });
    ASSERT_NE(e.window, nullptr);
    e.delegate.knob->SetHideCursorOnDrag(true);
    SendMouse(e.window, WM_LBUTTONDOWN, c.x, c.y, MK_LBUTTON);
    SendMouse(e.window, WM_MOUSEMOVE, c.x, c.y - 10, MK_LBUTTON);
    if (c.lostBy == WM_CAPTURECHANGED)
      SetCapture(e.parent.Get());
    else
      SendMouse(e.window, c.lostBy, c.x, c.y - 20);
    ReleaseCapture();
    EXPECT_EQ(e.delegate.knob->upsY, c.knobUpsY);
    EXPECT_EQ(e.delegate.ended, e.delegate.begun);
    EXPECT_FALSE(e.G().IsResizing());
    CURSORINFO cursor{};
    cursor.cbSize = sizeof cursor;
    GetCursorInfo(&cursor);
    EXPECT_TRUE(cursor.flags & CURSOR_SHOWING);
  }
}

TEST(EditorWindow, MiddleButtonReleaseEndsWhatItsPressBegan) {
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  SendMouse(e.window, WM_MBUTTONDOWN, 250, 100, MK_MBUTTON);
  EXPECT_EQ(GetCapture(), e.window);
  EXPECT_EQ(e.delegate.begun, (std::vector<int>{1}));
  SendMouse(e.window, WM_MBUTTONUP, 250, 100);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(e.delegate.ended, (std::vector<int>{1}));
  EXPECT_FALSE(e.G().ControlIsCaptured(e.delegate.knob));
}

TEST(EditorWindow, AWheelTurnDuringADragLeavesTheDragsReferencePoint) {
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  // Away from the screen's origin, so that the wheel's screen coordinates
  // differ from the client coordinates of the same point.
  SetWindowPos(e.parent.Get(), nullptr, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SendMouse(e.window, WM_LBUTTONDOWN, 250, 100, MK_LBUTTON);
  SendMouse(e.window, WM_MOUSEMOVE, 250, 99, MK_LBUTTON);
  const double onePixel = e.delegate.knob->GetValue() - 0.5;
  ASSERT_GT(onePixel, 0.0);
  POINT onKnob{250, 99};
  ClientToScreen(e.window, &onKnob);
  SendMessageW(e.window, WM_MOUSEWHEEL, MAKEWPARAM(MK_LBUTTON, 0), MAKELPARAM(onKnob.x, onKnob.y));
  SendMouse(e.window, WM_MOUSEMOVE, 250, 98, MK_LBUTTON);
  EXPECT_NEAR(e.delegate.knob->GetValue(), 0.5 + 2 * onePixel, 1e-9);
  SendMouse(e.window, WM_LBUTTONUP, 250, 98);
}

TEST(EditorWindow, WheelAndKeysReachTheControlUnderThePointer) {
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  POINT onButton{50, 50};
  ClientToScreen(e.window, &onButton);
  for (const int delta : {120, -240, 60}) {
    SendMessageW(e.window, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)),
                 MAKELPARAM(onButton.x, onButton.y));
  }
  EXPECT_EQ(e.delegate.button->wheels, (std::vector<float>{1.f, -2.f, 0.f}));

  SetCursorPos(onButton.x, onButton.y);
  const LPARAM scanA = static_cast<LPARAM>(MapVirtualKeyW('A', MAPVK_VK_TO_VSC)) << 16;
  EXPECT_EQ(SendMessageW(e.window, WM_KEYDOWN, 'A', scanA), 0);
  EXPECT_EQ(e.delegate.button->keys, (std::vector<int>{'A'}));
}

TEST(EditorWindow, DroppedPathsArriveWholeAndTheDropIsReleased) {
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  // 700 two-byte characters: 1400 bytes of UTF-8, past any fixed buffer.
  std::wstring longPath = L"C:\\";
  longPath.append(700, L'\u00e9');
  longPath += L"\\\u266b take.wav";
  const HDROP one = MakeDrop({longPath}, POINT{50, 50});
  SendMessageW(e.window, WM_DROPFILES, reinterpret_cast<WPARAM>(one), 0);
  ASSERT_EQ(e.delegate.button->drops.size(), 1u);
  EXPECT_EQ(e.delegate.button->drops[0], test::Utf8Of(longPath));
  EXPECT_EQ(GlobalFlags(one), static_cast<UINT>(GMEM_INVALID_HANDLE));

  const HDROP three = MakeDrop({L"C:\\a.wav", L"C:\\b c.wav", L"D:\\\u00fc.aif"}, POINT{60, 40});
  SendMessageW(e.window, WM_DROPFILES, reinterpret_cast<WPARAM>(three), 0);
  ASSERT_EQ(e.delegate.button->multipleDrops.size(), 1u);
  EXPECT_EQ(
      e.delegate.button->multipleDrops[0],
      (std::vector<std::string>{"C:\\a.wav", "C:\\b c.wav", test::Utf8Of(L"D:\\\u00fc.aif")}));
  EXPECT_EQ(GlobalFlags(three), static_cast<UINT>(GMEM_INVALID_HANDLE));
}

UINT WINAPI Dpi144(HWND) { return 144; }

TEST(EditorWindow, DpiChangeRescalesTheEditor) {
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  EXPECT_EQ(GetWindowScale(e.window), 1.f);
  EXPECT_EQ(e.G().GetScreenScale(), 1.f);
  SetDpiForWindowFunction(Dpi144);
  SendMessageW(e.window, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
  SetDpiForWindowFunction(nullptr);
  EXPECT_EQ(e.G().GetScreenScale(), 1.5f);
  const SIZE client = test::ClientSize(e.window);
  EXPECT_EQ(client.cx, 600);
  EXPECT_EQ(client.cy, 450);
  // Coordinates are divided by the total scale: (75, 75) is (50, 50).
  SendMouse(e.window, WM_LBUTTONDOWN, 75, 75, MK_LBUTTON);
  SendMouse(e.window, WM_LBUTTONUP, 75, 75);
  EXPECT_EQ(e.delegate.begun, (std::vector<int>{0}));
}

TEST(EditorWindow, SurvivesCloseWhileATextEntryHasTheFocus) {
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  e.G().CreateTextEntry(*e.delegate.button, ITextStyle(), IRect(20, 20, 120, 50), "0.5");
  const HWND edit = e.G().GetEditWindow();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(GetFocus(), edit);
  EXPECT_EQ(e.G().GetTextEntryState(), TextEntryState::Shown);
  SendMessageW(e.window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(e.G().WindowIsOpen());
  EXPECT_FALSE(IsWindow(e.window));
  EXPECT_FALSE(IsWindow(edit));
  EXPECT_EQ(e.G().GetEditWindow(), nullptr);
  PumpMessages(50);
  // Opening again after such a close gives a working editor.
  e.window = static_cast<HWND>(e.delegate.OpenEditor(e.parent.Get()));
  ASSERT_NE(e.window, nullptr);
  SendMouse(e.window, WM_LBUTTONDOWN, 50, 50, MK_LBUTTON);
  SendMouse(e.window, WM_LBUTTONUP, 50, 50);
  EXPECT_EQ(e.delegate.begun.size(), 1u);
}

} // namespace
} // namespace plugkit::igraphics
