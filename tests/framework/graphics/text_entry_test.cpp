#include "framework/core/param_shape.h"
#include "framework/graphics/text_entry_control.h"
#include "tests/support/graphics/null_graphics.h"
#include "tests/support/graphics/test_delegate.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

namespace plugkit::igraphics {
namespace {

using testing::NullGraphics;
using testing::TestDelegate;

// A window with a clipboard and menus that pick nothing.
class ClipboardGraphics : public NullGraphics {
public:
  using NullGraphics::NullGraphics;
  bool GetTextFromClipboard(StringBuffer& text) override {
    text.Set(clipboard.c_str());
    return !clipboard.empty();
  }
  bool SetTextInClipboard(const char* text) override {
    clipboard = text;
    return true;
  }
  std::string clipboard;
};

class Asker : public IControl {
public:
  Asker(const IRect& r, int paramIdx) : IControl(r, paramIdx) {}
  void OnMouseDown(float, float, const IMouseMod&) override { ++clicks; }
  void OnTextEntryCompletion(const char* text, int) override { completed = text; }
  void Draw(IGraphics&) override {}
  int clicks = 0;
  std::string completed;
};

IKeyPress Key(const char* text, int vk, bool ctrl = false, bool shift = false) {
  IKeyPress key;
  std::strncpy(key.utf8, text, sizeof(key.utf8) - 1);
  key.VK = vk;
  key.C = ctrl;
  key.S = shift;
  return key;
}

struct Entry {
  TestDelegate delegate{3, false};
  ClipboardGraphics g{delegate, 300, 100};
  Asker* decimal;
  Asker* whole;
  Asker* free;
  Entry() {
    delegate.GetParam(0)->ConfigureDouble("gain", 0, 0, 10, 0.01, "", 0, "", IParam::ShapeLinear());
    delegate.GetParam(1)->ConfigureInt("count", 0, 0, 100);
    g.AttachControl(new Asker({0, 0, 300, 100}, -1));
    decimal = new Asker({0, 0, 100, 50}, 0);
    whole = new Asker({100, 0, 200, 50}, 1);
    free = new Asker({200, 0, 300, 50}, -1);
    g.AttachControl(decimal);
    g.AttachControl(whole);
    g.AttachControl(free);
    g.AttachTextEntryControl();
  }
  ITextEntryControl& Text() { return *g.GetTextEntryControl(); }
  void Open(Asker& asker, const char* text) {
    g.CreateTextEntry(asker, ITextStyle(), asker.GetRECT(), text, 0);
  }
  // Each character with the virtual-key code its key has on a US keyboard.
  void Type(const char* keys) {
    for (const char* k = keys; *k; ++k) {
      const char text[2] = {*k, 0};
      int vk = *k >= 'a' && *k <= 'z' ? *k - 32 : *k;
      if (*k == '.') vk = 0xBE;
      if (*k == ',') vk = 0xBC;
      if (*k == '-') vk = 0xBD;
      if (*k == '+') vk = 0xBB;
      g.OnKeyDown(10, 10, Key(text, vk));
    }
  }
};

TEST(TextEntry, TypingReplacesTheSelectedValueAndEnterCommits) {
  Entry e;
  e.Open(*e.decimal, "2.5");
  EXPECT_TRUE(e.Text().EditInProgress());
  EXPECT_EQ(e.Text().SelectionStart(), 0);
  EXPECT_EQ(e.Text().SelectionEnd(), 3);
  e.Type("7.25");
  EXPECT_EQ(e.Text().GetTextUTF8(), "7.25");
  e.g.OnKeyDown(10, 10, Key("\r", 13));
  EXPECT_FALSE(e.Text().EditInProgress());
  EXPECT_NEAR(e.delegate.GetParam(0)->Value(), 7.25, 1e-9);
  EXPECT_EQ(e.delegate.begun, std::vector<int>{0});
  EXPECT_EQ(e.delegate.ended, std::vector<int>{0});
  EXPECT_EQ(e.decimal->GetText().size, ITextStyle().size);
}

TEST(TextEntry, EachParameterKindFiltersItsCharacters) {
  struct Case {
    Asker* Entry::*asker;
    const char* typed;
    const char* result;
  } cases[] = {
      {&Entry::decimal, "1.5,", "1.5"},
      {&Entry::whole, "1.5,", "15"},
      {&Entry::whole, "-3+", "-3+"},
      {&Entry::free, "1.5,kHz", "1.5,kHz"},
  };
  for (const Case& c : cases) {
    Entry e;
    e.Open(*(e.*c.asker), "");
    e.Type(c.typed);
    EXPECT_EQ(e.Text().GetTextUTF8(), c.result) << c.typed;
  }
}

TEST(TextEntry, EscapeAndClicksOutside) {
  Entry e;
  e.delegate.GetParam(0)->Set(3.0);
  e.Open(*e.decimal, "3");
  e.Type("9");
  e.g.OnKeyDown(10, 10, Key("\x1b", 27));
  EXPECT_FALSE(e.Text().EditInProgress());
  EXPECT_DOUBLE_EQ(e.delegate.GetParam(0)->Value(), 3.0);
  EXPECT_EQ(e.g.GetControlInTextEntry(), nullptr);
  EXPECT_TRUE(e.delegate.sent.empty());

  e.Open(*e.free, "typed");
  IMouseInfo below;
  below.x = 150;
  below.y = 80;
  below.ms.L = true;
  e.g.OnMouseDown({below});
  e.g.OnMouseUp({below});
  EXPECT_FALSE(e.Text().EditInProgress());
  EXPECT_EQ(e.free->completed, "typed");
  EXPECT_EQ(e.g.GetControl(0)->GetValue(), 0.0);
  EXPECT_EQ(static_cast<Asker*>(e.g.GetControl(0))->clicks, 0);
}

TEST(TextEntry, ClipboardUndoAndRedo) {
  Entry e;
  e.Open(*e.free, "hello world");
  e.g.OnKeyDown(0, 0, Key("c", 'C', true));
  EXPECT_EQ(e.g.clipboard, "hello world");
  e.g.OnKeyDown(0, 0, Key("", 0x24));              // Home
  e.g.OnKeyDown(0, 0, Key("", 0x27, false, true)); // Shift+Right
  e.g.OnKeyDown(0, 0, Key("x", 'X', true));
  EXPECT_EQ(e.g.clipboard, "h");
  EXPECT_EQ(e.Text().GetTextUTF8(), "ello world");

  e.g.clipboard = "PASTED";
  e.g.OnKeyDown(0, 0, Key("", 0x27, false, true)); // select "e"
  e.g.OnKeyDown(0, 0, Key("v", 'V', true));
  EXPECT_EQ(e.Text().GetTextUTF8(), "PASTEDllo world");
  EXPECT_EQ(e.Text().Cursor(), 6);
  e.g.OnKeyDown(0, 0, Key("z", 'Z', true));
  EXPECT_EQ(e.Text().GetTextUTF8(), "ello world");
  e.g.OnKeyDown(0, 0, Key("z", 'Z', true, true));
  EXPECT_EQ(e.Text().GetTextUTF8(), "PASTEDllo world");
  e.g.OnKeyDown(0, 0, Key("a", 'A', true));
  EXPECT_EQ(e.Text().SelectionEnd(), 15);
}

TEST(TextEntry, AnOpenEntryKeepsEveryKeyFromTheHost) {
  Entry e;
  e.Open(*e.free, "");
  // Backspace, Delete, Left, Up, Page Up, F5 and Tab change nothing here.
  for (int vk : {0x08, 0x2E, 0x25, 0x26, 0x21, 0x74, 0x09}) {
    EXPECT_TRUE(e.g.OnKeyDown(10, 10, Key("", vk))) << vk;
    EXPECT_TRUE(e.g.OnKeyUp(10, 10, Key("", vk))) << vk;
  }
  EXPECT_TRUE(e.Text().EditInProgress());
  e.g.OnKeyDown(10, 10, Key("\x1b", 27));
  EXPECT_FALSE(e.g.OnKeyDown(10, 10, Key("", 0x08))) << "closed, keys go to the host again";
}

TEST(TextEntry, CaretBlinksWhileEditingAndStopsAfter) {
  Entry e;
  e.Open(*e.free, "abc");
  EXPECT_TRUE(e.Text().CaretVisible());
  IRectList rects;
  e.g.IsDirty(rects);
  EXPECT_TRUE(e.Text().CaretVisible());
  std::this_thread::sleep_for(std::chrono::milliseconds(600));
  rects.Clear();
  e.g.IsDirty(rects);
  EXPECT_FALSE(e.Text().CaretVisible());
  e.g.OnKeyDown(0, 0, Key("\r", 13));
  std::this_thread::sleep_for(std::chrono::milliseconds(450));
  for (int tick = 0; tick < 3; ++tick) {
    rects.Clear();
    e.g.IsDirty(rects);
    e.g.ClearAllControlsDirty();
  }
  EXPECT_FALSE(e.Text().IsDirty());
}

TEST(PopupMenu, ADismissedMenuReportsNoChoice) {
  TestDelegate delegate;
  NullGraphics g(delegate, 100, 100);
  struct Chooser : IControl {
    Chooser() : IControl({0, 0, 10, 10}, 0) {}
    void OnPopupMenuSelection(IPopupMenu* menu, int) override {
      got = menu;
      ++calls;
    }
    void OnContextSelection(int item) override { context = item; }
    void Draw(IGraphics&) override {}
    IPopupMenu* got = reinterpret_cast<IPopupMenu*>(1);
    int calls = 0;
    int context = 7;
  };
  auto* chooser = new Chooser;
  g.AttachControl(chooser);
  IPopupMenu menu("title", {"a", "b"});
  EXPECT_EQ(menu.NItems(), 2);
  g.CreatePopupMenu(*chooser, menu, {0, 0, 1, 1});
  EXPECT_EQ(chooser->got, nullptr);
  EXPECT_EQ(chooser->calls, 1);
  g.DoCreatePopupMenu(*chooser, menu, {0, 0, 1, 1}, -1, true);
  EXPECT_EQ(chooser->context, -1);
  menu.Clear();
  EXPECT_EQ(menu.NItems(), 0);
}

} // namespace
} // namespace plugkit::igraphics
