#include "framework/core/win_utf8_lists.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace plugkit {
namespace {

struct WindowCloser {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, WindowCloser>;

// Item texts whose UTF-8 is longer than their narrow (code-page) form.
const char* const kItems[] = {
    "plain",
    "caf\xC3\xA9",
    "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE9\x95\xB7\xE3\x81\x84\xE9\xA0\x85\xE7\x9B"
    "\xAE",
    "\xF0\x9F\x8E\xA4 mic \xE2\x86\x92 \xF0\x9F\x94\x8A",
};

struct ListKind {
  const char* className;
  DWORD style;
  UINT add, find, length, text; // find: 0 where UTF-8 search texts are not taken
};

const ListKind kKinds[] = {
    {"ComboBox", CBS_DROPDOWN | CBS_HASSTRINGS, CB_ADDSTRING, CB_FINDSTRINGEXACT, CB_GETLBTEXTLEN,
     CB_GETLBTEXT},
    {"ListBox", LBS_HASSTRINGS, LB_ADDSTRING, 0, LB_GETTEXTLEN, LB_GETTEXT},
};

// A caller sizes its buffer by the length message and must get the text
// whole, with nothing written past the buffer.
TEST(Utf8SubclassEditControls, ItemTextsFitTheBufferSizedByTheirLength) {
  for (const ListKind& kind : kKinds) {
    SCOPED_TRACE(kind.className);
    Window list(CreateWindowExA(0, kind.className, "", WS_POPUP | kind.style, 0, 0, 200, 200,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    ASSERT_TRUE(list);
    Utf8SubclassEditControls(list.get());
    Utf8SubclassEditControls(list.get()); // a second call changes nothing
    for (const char* item : kItems)
      SendMessageA(list.get(), kind.add, 0, reinterpret_cast<LPARAM>(item));

    for (int i = 0; i < static_cast<int>(std::size(kItems)); ++i) {
      const LRESULT length = SendMessageA(list.get(), kind.length, i, 0);
      ASSERT_EQ(length, static_cast<LRESULT>(std::strlen(kItems[i]))) << i;
      std::string buffer(static_cast<size_t>(length) + 1 + 16, '#');
      EXPECT_EQ(SendMessageA(list.get(), kind.text, i, reinterpret_cast<LPARAM>(buffer.data())),
                length);
      EXPECT_STREQ(buffer.c_str(), kItems[i]);
      EXPECT_EQ(buffer.substr(static_cast<size_t>(length) + 1), std::string(16, '#'));
      if (kind.find) {
        EXPECT_EQ(SendMessageA(list.get(), kind.find, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(kItems[i])),
                  i);
      }
    }
    EXPECT_LT(SendMessageA(list.get(), kind.length, 99, 0), 0);
  }
}

TEST(Utf8SubclassEditControls, EditShowsTheSelectedItemInUtf16) {
  Window combo(CreateWindowExA(0, "ComboBox", "", WS_POPUP | CBS_DROPDOWN | CBS_HASSTRINGS, 0, 0,
                               200, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
  ASSERT_TRUE(combo);
  const HWND edit = FindWindowExA(combo.get(), nullptr, "Edit", nullptr);
  ASSERT_NE(edit, nullptr);
  Utf8SubclassEditControls(combo.get());
  for (const char* item : kItems)
    SendMessageA(combo.get(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));

  // The edit keeps its text in UTF-16; narrow reads of it still go through
  // the code page, so it is read through its own wide procedure.
  const auto editWide = reinterpret_cast<WNDPROC>(GetPropA(edit, "UTF8OldProcW"));
  ASSERT_NE(editWide, nullptr);
  wchar_t shown[64] = {};
  SendMessageA(combo.get(), CB_SETCURSEL, 2, 0);
  CallWindowProcW(editWide, edit, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
  EXPECT_STREQ(shown, L"\u65E5\u672C\u8A9E\u306E\u9577\u3044\u9805\u76EE");

  // A text that is not the selected item passes unchanged.
  SetWindowTextA(edit, "typed");
  CallWindowProcW(editWide, edit, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(shown));
  EXPECT_STREQ(shown, L"typed");

  // Destruction removes the subclass from both windows.
  combo.reset();
  EXPECT_FALSE(IsWindow(edit));
}

} // namespace
} // namespace plugkit
