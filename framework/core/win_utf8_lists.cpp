#include "framework/core/win_utf8_lists.h"

#include "framework/core/heap_buffer.h"
#include "framework/core/utf_codec.h"
#include "framework/core/utf_replacing.h"
#include "framework/core/win_text.h"

#include <cstring>

namespace plugkit {

namespace {

const char kOldProc[] = "UTF8OldProc";
const char kOldProcW[] = "UTF8OldProcW";

WNDPROC OldProc(HWND window) { return reinterpret_cast<WNDPROC>(GetPropA(window, kOldProc)); }
WNDPROC OldProcW(HWND window) { return reinterpret_cast<WNDPROC>(GetPropA(window, kOldProcW)); }

void Subclass(HWND window, WNDPROC proc) {
  if (!window || GetPropA(window, kOldProc)) return;
  const LONG_PTR narrow = GetWindowLongPtrA(window, GWLP_WNDPROC);
  const LONG_PTR wide = GetWindowLongPtrW(window, GWLP_WNDPROC);
  SetPropA(window, kOldProc, reinterpret_cast<HANDLE>(narrow));
  SetPropA(window, kOldProcW, reinterpret_cast<HANDLE>(wide));
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

LRESULT Unsubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const WNDPROC old = OldProc(window);
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
  RemovePropA(window, kOldProc);
  RemovePropA(window, kOldProcW);
  return CallWindowProcA(old, window, message, wParam, lParam);
}

// Owner-drawn lists without strings pass item data, not text, in lParam.
bool HoldsStrings(HWND window, bool comboMessage) {
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  if (comboMessage)
    return !(style & (CBS_OWNERDRAWFIXED | CBS_OWNERDRAWVARIABLE)) || (style & CBS_HASSTRINGS);
  return !(style & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) || (style & LBS_HASSTRINGS);
}

// A text that holds non-ASCII bytes and mostly reads as UTF-8: the bytes of
// well-formed sequences are at least five times the broken ones, or at least
// three quarters of the text.
bool MostlyUtf8(const char* text) {
  if (Utf8Classify(text) == 0) return false;
  int good = 0;
  int broken = 0;
  int total = 0;
  for (const char* p = text; *p;) {
    if (static_cast<unsigned char>(*p) < 0x80) {
      ++p;
      ++total;
      continue;
    }
    const int len = Utf8SequenceLength(p);
    if (len > 0) {
      good += len;
      total += len;
      p += len;
    } else {
      ++broken;
      ++total;
      ++p;
    }
  }
  return good >= 5 * broken || 4 * good >= 3 * total;
}

bool ToWideReplacing(const char* text, HeapBuffer& out) {
  const int units = Utf8ToUtf16ReplacingEachByte<wchar_t>(text, nullptr, 0);
  const int bytes = (units + 1) * static_cast<int>(sizeof(wchar_t));
  if (!out.Resize(bytes, false) || out.Size() != bytes) return false;
  auto* wide = reinterpret_cast<wchar_t*>(out.Data());
  Utf8ToUtf16ReplacingEachByte(text, wide, units);
  wide[units] = 0;
  return true;
}

// The item's UTF-16 text through the previous wide procedure; -1 when the
// index is not an item.
int FetchWideItem(HWND window, UINT lengthMessage, UINT textMessage, WPARAM index,
                  HeapBuffer& out) {
  const WNDPROC wide = OldProcW(window);
  const LRESULT length = CallWindowProcW(wide, window, lengthMessage, index, 0);
  if (length < 0) return -1;
  const int bytes = (static_cast<int>(length) + 1) * static_cast<int>(sizeof(wchar_t));
  if (!out.Resize(bytes, false) || out.Size() != bytes) return -1;
  auto* text = reinterpret_cast<wchar_t*>(out.Data());
  const LRESULT units =
      CallWindowProcW(wide, window, textMessage, index, reinterpret_cast<LPARAM>(text));
  if (units < 0) return -1;
  const int count = units < length ? static_cast<int>(units) : static_cast<int>(length);
  text[count] = 0;
  return count;
}

LRESULT CALLBACK ComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case CB_ADDSTRING:
    case CB_INSERTSTRING:
    case CB_FINDSTRING:
    case CB_FINDSTRINGEXACT:
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      const auto* text = reinterpret_cast<const char*>(lParam);
      const bool combo = message != LB_ADDSTRING && message != LB_INSERTSTRING;
      HeapBuffer wide(4096);
      if (text && HoldsStrings(window, combo) && MostlyUtf8(text) && ToWideReplacing(text, wide))
        return CallWindowProcW(OldProcW(window), window, message, wParam,
                               reinterpret_cast<LPARAM>(wide.Data()));
      break;
    }
    case CB_GETLBTEXTLEN:
    case LB_GETTEXTLEN: {
      const bool combo = message == CB_GETLBTEXTLEN;
      if (!HoldsStrings(window, combo)) break;
      HeapBuffer wide(4096);
      const int units =
          FetchWideItem(window, message, combo ? CB_GETLBTEXT : LB_GETTEXT, wParam, wide);
      if (units < 0) return combo ? CB_ERR : LB_ERR;
      return Utf16ToUtf8Replacing(reinterpret_cast<const wchar_t*>(wide.Data()), units, nullptr, 0);
    }
    case CB_GETLBTEXT:
    case LB_GETTEXT: {
      const bool combo = message == CB_GETLBTEXT;
      if (!lParam || !HoldsStrings(window, combo)) break;
      HeapBuffer wide(4096);
      const int units =
          FetchWideItem(window, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, message, wParam, wide);
      if (units < 0) return combo ? CB_ERR : LB_ERR;
      // The caller sized its buffer by the UTF-8 length reported above.
      const auto* text = reinterpret_cast<const wchar_t*>(wide.Data());
      auto* out = reinterpret_cast<char*>(lParam);
      const int bytes =
          Utf16ToUtf8Replacing(text, units, out, Utf16ToUtf8Replacing(text, units, nullptr, 0));
      out[bytes] = 0;
      return bytes;
    }
    case WM_NCDESTROY:
      return Unsubclass(window, message, wParam, lParam);
    default:
      break;
  }
  return CallWindowProcA(OldProc(window), window, message, wParam, lParam);
}

// Whether the UTF-8 item text is what the narrow text being set shows: the
// same characters, where one of 128 or more may have become a question mark.
bool ShowsItem(const char* item, const char* shown) {
  while (*item) {
    char32_t c = 0;
    int len = DecodeUtf8Char(item, c);
    if (len == 0) return false;
    if (std::strncmp(item, shown, static_cast<size_t>(len)) == 0) {
      shown += len;
    } else if (c >= 128 && *shown == '?') {
      ++shown;
    } else {
      return false;
    }
    item += len;
  }
  return *shown == 0;
}

LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCDESTROY) return Unsubclass(window, message, wParam, lParam);
  const auto* shown = reinterpret_cast<const char*>(lParam);
  if (message == WM_SETTEXT && shown && *shown) {
    const HWND combo = GetParent(window);
    const WNDPROC comboWide = combo ? OldProcW(combo) : nullptr;
    const LRESULT selected =
        comboWide ? CallWindowProcW(comboWide, combo, CB_GETCURSEL, 0, 0) : CB_ERR;
    HeapBuffer wide(4096);
    if (selected >= 0 && FetchWideItem(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT,
                                       static_cast<WPARAM>(selected), wide) >= 0) {
      StringBuffer item;
      WideToUtf8(item, reinterpret_cast<const wchar_t*>(wide.Data()));
      if (Utf8Classify(item.Get()) == 1 && ShowsItem(item.Get(), shown))
        return CallWindowProcW(OldProcW(window), window, message, wParam,
                               reinterpret_cast<LPARAM>(wide.Data()));
    }
  }
  return CallWindowProcA(OldProc(window), window, message, wParam, lParam);
}

} // namespace

void Utf8SubclassEditControls(HWND comboBox) {
  if (!comboBox) return;
  Subclass(comboBox, ComboProc);
  Subclass(FindWindowExA(comboBox, nullptr, "Edit", nullptr), EditProc);
}

} // namespace plugkit
