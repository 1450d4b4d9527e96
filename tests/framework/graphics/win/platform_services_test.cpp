#include "tests/framework/graphics/win/editor_window_fixture.h"

#include "framework/graphics/win/drag_and_drop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace plugkit::igraphics {
namespace {

using testing::OpenEditor;
using testing::WindowTestDelegate;

TEST(Clipboard, TextMakesTheRoundTripAndAnEmptyTextEmptiesIt) {
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  const char* texts[] = {"-12.5 dB", "Fr\xC3\xA9quence \xE2\x99\xAB 1 kHz", "a\r\nb"};
  for (const char* text : texts) {
    ASSERT_TRUE(e.G().SetTextInClipboard(text));
    StringBuffer back;
    EXPECT_TRUE(e.G().GetTextFromClipboard(back));
    EXPECT_STREQ(back.Get(), text);
  }
  EXPECT_TRUE(e.G().SetTextInClipboard(""));
  StringBuffer back;
  back.Set("stale", 0);
  EXPECT_FALSE(e.G().GetTextFromClipboard(back));
  EXPECT_STREQ(back.Get(), "");

  ASSERT_TRUE(e.G().SetFilePathInClipboard("C:\\Takes\\a b.wav"));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP));
  EXPECT_FALSE(e.G().GetTextFromClipboard(back));
}

std::atomic<bool> dialogCancelled{false};

// Cancels the first dialog this process shows, as a user pressing Cancel.
void CancelTheDialogWhenItShows() {
  std::thread([] {
    const DWORD process = GetCurrentProcessId();
    for (int i = 0; i < 1000; ++i) {
      HWND dialog = nullptr;
      while ((dialog = FindWindowExW(nullptr, dialog, L"#32770", nullptr))) {
        DWORD owner = 0;
        GetWindowThreadProcessId(dialog, &owner);
        if (owner == process && IsWindowVisible(dialog)) {
          Sleep(100);
          PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
          dialogCancelled = true;
          return;
        }
      }
      Sleep(10);
    }
  }).detach();
}

TEST(Dialogs, FileChooserCancelledEmptiesTheNameAndKeepsTheDirectory) {
  const testing::Watchdog watchdog(30000);
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  StringBuffer file;
  file.Set("take.wav", 0);
  StringBuffer directory;
  directory.Set("C:\\", 0);
  int completions = 0;
  CancelTheDialogWhenItShows();
  e.G().PromptForFile(file, directory, 0, "wav aif",
                      [&](const StringBuffer&, const StringBuffer&) { ++completions; });
  EXPECT_STREQ(file.Get(), "");
  EXPECT_STREQ(directory.Get(), "C:\\");
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(dialogCancelled);
}

TEST(Dialogs, FolderChooserCancelledEmptiesTheDirectoryAndStillCompletes) {
  const testing::Watchdog watchdog(30000);
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  StringBuffer directory;
  directory.Set("C:\\", 0);
  int completions = 0;
  CancelTheDialogWhenItShows();
  e.G().PromptForDirectory(directory, [&](const StringBuffer&, const StringBuffer& dir) {
    ++completions;
    EXPECT_STREQ(dir.Get(), "");
  });
  EXPECT_STREQ(directory.Get(), "");
  EXPECT_EQ(completions, 1);
  EXPECT_TRUE(dialogCancelled);
}

TEST(Dialogs, ColourChooserCancelledReportsFalseAndKeepsTheColour) {
  const testing::Watchdog watchdog(30000);
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  IColor color(200, 10, 20, 30);
  int completions = 0;
  CancelTheDialogWhenItShows();
  EXPECT_FALSE(e.G().PromptForColor(color, "Slot colour", [&](const IColor&) { ++completions; }));
  EXPECT_EQ(color, IColor(200, 10, 20, 30));
  EXPECT_EQ(completions, 0);
  EXPECT_TRUE(dialogCancelled);
}

TEST(Dialogs, WithoutAWindowTheChoosersDoNothing) {
  WindowTestDelegate delegate;
  IGraphicsWin g(delegate, 400, 300);
  StringBuffer file;
  file.Set("take.wav", 0);
  StringBuffer directory;
  g.PromptForFile(file, directory, 1, "wav");
  EXPECT_STREQ(file.Get(), "");
  IColor color;
  EXPECT_FALSE(g.PromptForColor(color, "x"));
  EXPECT_FALSE(g.RevealPathInExplorer("", true));
  EXPECT_FALSE(g.RevealPathInExplorer("C:\\a\"b", true));
  EXPECT_FALSE(g.OpenURL("C:\\Windows\\system32\\calc.exe"));
}

TEST(DragAndDrop, ADragNoTargetTakesReportsFalse) {
  const testing::Watchdog watchdog(30000);
  OpenEditor e;
  ASSERT_NE(e.window, nullptr);
  // No button is held: the drag ends at once over nothing that accepts it.
  EXPECT_FALSE(e.G().InitiateExternalFileDragDrop("C:\\Takes\\a b.wav"));
}

TEST(DragAndDrop, EveryObjectAnswersForItsIdentity) {
  using namespace DragAndDropHelpers;
  IUnknown* const objects[] = {new DataObject(FileDropFormat(), ""), new DropSource,
                               new EnumFORMATETC(FileDropFormat(), 0)};
  for (IUnknown* object : objects) {
    void* identity = nullptr;
    EXPECT_EQ(object->QueryInterface(IID_IUnknown, &identity), S_OK);
    EXPECT_EQ(identity, object);
    if (identity) object->Release();
    object->Release();
  }
}

} // namespace
} // namespace plugkit::igraphics
