#include "framework/core/param.h"
#include "framework/core/param_shape.h"
#include "framework/graphics/win/cursors.h"
#include "framework/graphics/win/drag_and_drop.h"
#include "framework/graphics/win/file_dialogs.h"
#include "framework/graphics/win/file_list_block.h"
#include "framework/graphics/win/native_menu.h"
#include "framework/graphics/win/shell_commands.h"
#include "framework/graphics/win/text_entry_filter.h"
#include "framework/graphics/win/vblank_thread.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>

namespace plugkit::igraphics {
namespace {

TEST(DisplayTick, OnlyTheNewestTickCountsAndAnOverrunSkipsTheQueuedOnes) {
  struct Case {
    uint32_t tick, current, skipBefore;
    bool accepted;
    uint32_t skipAfter;
  };
  const Case cases[] = {
      {5, 7, 0, false, 0},
      {6, 7, 0, false, 0},
      {7, 7, 0, true, 0},
      // A paint during tick 7 lasted until the counter reached 9: skip to 10.
      {8, 9, 10, false, 10},
      {9, 9, 10, false, 10},
      {10, 10, 10, true, 0},
      {11, 11, 10, true, 0},
  };
  for (const Case& c : cases) {
    uint32_t skip = c.skipBefore;
    EXPECT_EQ(AcceptTick(c.tick, c.current, skip), c.accepted) << c.tick << " at " << c.current;
    EXPECT_EQ(skip, c.skipAfter) << c.tick;
  }
}

TEST(NativeTextEntry, CharactersAreFilteredByTheParameterType) {
  IParam doubleParam;
  doubleParam.ConfigureDouble("d", 0.5, 0.0, 1.0, 0.01, "", 0, "", IParam::ShapeLinear());
  IParam intParam;
  intParam.ConfigureInt("i", 1, 0, 10);
  auto typed = [](const IParam* p, const wchar_t* keys) {
    std::wstring kept;
    for (const wchar_t* k = keys; *k; ++k)
      if (TextEntryAllowsChar(p, *k)) kept += *k;
    return kept;
  };
  EXPECT_EQ(typed(&doubleParam, L"1.5e3"), L"1.53");
  EXPECT_EQ(typed(&intParam, L"1.5e3"), L"153");
  EXPECT_EQ(typed(&intParam, L"-+9x"), L"-+9");
  EXPECT_EQ(typed(nullptr, L"a b.1"), L"a b.1");
  EXPECT_TRUE(TextEntryAllowsChar(&intParam, L'\b'));
}

TEST(Cursors, TypesMapToSystemCursorsAndUnknownOnesToTheArrow) {
  EXPECT_EQ(SystemCursorFor(0), MAKEINTRESOURCEW(32512));
  EXPECT_EQ(SystemCursorFor(11), MAKEINTRESOURCEW(32649)); // hand
  EXPECT_EQ(SystemCursorFor(13), MAKEINTRESOURCEW(32651)); // help
  EXPECT_EQ(SystemCursorFor(42), MAKEINTRESOURCEW(32512));
  EXPECT_EQ(SystemCursorFor(-1), MAKEINTRESOURCEW(32512));
}

TEST(ShellCommands, RevealQuotesThePathSoThatNoBackslashEscapesTheQuote) {
  struct Case {
    const char* path;
    bool select;
    bool ok;
    const wchar_t* parameters;
  };
  const Case cases[] = {
      {"C:\\My Takes\\a b.wav", true, true, L"/select,\"C:\\My Takes\\a b.wav\""},
      {"C:\\My Takes\\", false, true, L"\"C:\\My Takes\""},
      {"C:\\", false, true, L"\"C:\""},
      {"C:\\a\"b.wav", true, false, L""},
      {"", true, false, L""},
      {"C:\\\xC3", false, false, L""}, // cut inside a character
  };
  for (const Case& c : cases) {
    std::wstring parameters;
    EXPECT_EQ(BuildRevealParameters(c.path, c.select, parameters), c.ok) << c.path;
    EXPECT_EQ(parameters, c.parameters) << c.path;
  }
  std::wstring parameters;
  EXPECT_FALSE(BuildRevealParameters(nullptr, false, parameters));
}

TEST(ShellCommands, OnlyWebAndMailLinksAreOpened) {
  EXPECT_TRUE(IsOpenableLink("https://example.com/tarvex"));
  EXPECT_TRUE(IsOpenableLink("HTTP://example.com"));
  EXPECT_TRUE(IsOpenableLink("mailto:support@example.com"));
  EXPECT_FALSE(IsOpenableLink("https://"));
  EXPECT_FALSE(IsOpenableLink("C:\\Windows\\system32\\calc.exe"));
  EXPECT_FALSE(IsOpenableLink("file:///C:/x.bat"));
  EXPECT_FALSE(IsOpenableLink(""));
  EXPECT_FALSE(IsOpenableLink(nullptr));
}

TEST(FileDialogs, FilterAndDefaultExtensionFromTheExtensions) {
  const FileFilter f = BuildFileFilter("wav aif");
  EXPECT_EQ(f.pattern, L"*.wav;*.aif");
  EXPECT_EQ(f.filter, std::wstring(L"*.wav;*.aif\0*.wav;*.aif\0\0", 25));
  EXPECT_EQ(f.defaultExtension, L"wav");
  EXPECT_EQ(BuildFileFilter("wav  aif").pattern, L"*.wav;*.;*.aif");
  EXPECT_TRUE(BuildFileFilter("").filter.empty());
  // A pattern too long keeps the whole extensions that fit.
  std::string many;
  for (int i = 0; i < 40; ++i) many += "ext ";
  const FileFilter cut = BuildFileFilter(many.c_str());
  EXPECT_LE(cut.pattern.size(), FileFilter::kMaxPatternUnits);
  EXPECT_EQ(cut.pattern.size() % 6, 5u); // "*.ext" then ";*.ext" each
  EXPECT_TRUE(BuildFileFilter("averyveryverylongextension wav").defaultExtension.empty());
}

TEST(FileListBlock, SizesAndContentOnTheClipboardAndInADrag) {
  struct Case {
    FileListUse use;
    SIZE_T bytes;
    BOOL nonClient;
  };
  for (const Case c :
       {Case{FileListUse::Clipboard, 40, TRUE}, Case{FileListUse::Drag, 42, FALSE}}) {
    const HGLOBAL block = MakeFileListBlock("C:\\a.wav", c.use);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), c.bytes);
    const auto* header = static_cast<const DROPFILES*>(GlobalLock(block));
    EXPECT_EQ(header->pFiles, 20u);
    EXPECT_EQ(header->fNC, c.nonClient);
    EXPECT_TRUE(header->fWide);
    EXPECT_STREQ(reinterpret_cast<const wchar_t*>(header + 1), L"C:\\a.wav");
    GlobalUnlock(block);
    GlobalFree(block);
  }
  EXPECT_EQ(MakeFileListBlock("C:\\\xE2\x99", FileListUse::Drag), nullptr);
}

namespace dnd = DragAndDropHelpers;

TEST(DragAndDrop, DropSourceDropsCancelsOrContinues) {
  auto* source = new dnd::DropSource();
  EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_LBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source->QueryContinueDrag(TRUE, 0), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON), S_OK);
  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ(source->QueryInterface(IID_IDataObject, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(source->Release(), 0u);
}

TEST(DragAndDrop, OnlyADropATargetTookCountsAsDelivered) {
  EXPECT_TRUE(dnd::DragDropDelivered(DRAGDROP_S_DROP, DROPEFFECT_COPY));
  EXPECT_FALSE(dnd::DragDropDelivered(DRAGDROP_S_DROP, DROPEFFECT_NONE));
  EXPECT_FALSE(dnd::DragDropDelivered(DRAGDROP_S_CANCEL, DROPEFFECT_NONE));
  EXPECT_FALSE(dnd::DragDropDelivered(E_OUTOFMEMORY, DROPEFFECT_COPY));
}

TEST(DragAndDrop, DataObjectOffersTheFileAsHdropOnly) {
  FORMATETC format = dnd::FileDropFormat();
  auto* data = new dnd::DataObject(format, "C:\\a.wav");
  EXPECT_EQ(data->QueryGetData(&format), S_OK);
  EXPECT_EQ(data->QueryGetData(nullptr), E_INVALIDARG);
  FORMATETC text = format;
  text.cfFormat = CF_UNICODETEXT;
  EXPECT_EQ(data->QueryGetData(&text), DV_E_FORMATETC);
  FORMATETC stream = format;
  stream.tymed = TYMED_ISTREAM;
  STGMEDIUM medium{};
  EXPECT_EQ(data->GetData(&stream, &medium), DV_E_FORMATETC);
  ASSERT_EQ(data->GetData(&format, &medium), S_OK);
  EXPECT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(GlobalSize(medium.hGlobal), 42u);
  ReleaseStgMedium(&medium);

  IEnumFORMATETC* formats = nullptr;
  EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
  EXPECT_EQ(formats, nullptr);
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
  FORMATETC got{};
  ULONG fetched = 9;
  EXPECT_EQ(formats->Next(1, &got, &fetched), S_OK);
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(got.cfFormat, CF_HDROP);
  EXPECT_EQ(formats->Next(1, &got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  IEnumFORMATETC* clone = nullptr;
  ASSERT_EQ(formats->Clone(&clone), S_OK);
  EXPECT_EQ(clone->Next(1, &got, nullptr), S_FALSE); // the clone keeps the position
  EXPECT_EQ(clone->Reset(), S_OK);
  EXPECT_EQ(clone->Next(1, &got, nullptr), S_OK);
  EXPECT_EQ(clone->Release(), 0u);
  EXPECT_EQ(formats->Release(), 0u);

  IUnknown* unknown = nullptr;
  ASSERT_EQ(data->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown->Release(), 1u);
  EXPECT_EQ(data->Release(), 0u);
}

TEST(NativeMenu, ItemTextsArePrefixedAndShowTheirAmpersands) {
  IPopupMenu menu("", {"one", "two", "three", "Drums & Bass"});
  struct Case {
    int mode;
    int item;
    const char* text;
  };
  const Case cases[] = {
      {0, 3, "Drums && Bass"}, {1, 0, "1: one"}, {2, 3, "04: Drums && Bass"}, {3, 1, "002: two"}};
  for (const Case& c : cases) {
    menu.SetPrefixMode(c.mode);
    EXPECT_EQ(NativeMenuItemText(menu, c.item), c.text);
  }
}

} // namespace
} // namespace plugkit::igraphics
