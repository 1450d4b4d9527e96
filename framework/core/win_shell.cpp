#include "framework/core/win_shell.h"

#include "framework/core/utf_codec.h"
#include "framework/core/utf_replacing.h"
#include "framework/core/utf_strict.h"
#include "framework/core/win_text.h"

#include <shlobj.h>

#include <cstring>
#include <cwchar>

namespace plugkit {

namespace {

constexpr int kMaxOut = 0x7FFFFFFE;
constexpr int kPieceUnits = 256;
constexpr int kPieceBytes = 3 * kPieceUnits;

// Length of the conversion ("%Y", "%#d") at `p`, or 0 when there is none the
// C runtime knows (an unknown one would stop it with an invalid parameter).
int ConversionLength(const char* p) {
  if (p[0] != '%') return 0;
  const int flag = p[1] == '#' ? 1 : 0;
  const char letter = p[1 + flag];
  if (letter == 0 || !std::strchr("aAbBcdHIjmMpSUwWxXyYzZ%", letter)) return 0;
  return 2 + flag;
}

} // namespace

int Utf8MessageBox(HWND window, const char* text, const char* caption, UINT type) {
  if (Utf8Classify(text) != 0 || Utf8Classify(caption) != 0) {
    WidePath wideText(text);
    WidePath wideCaption(caption);
    if (wideText.Ok() && wideCaption.Ok())
      return MessageBoxW(window, wideText.Get(), wideCaption.Get(), type);
  }
  return MessageBoxA(window, text, caption, type);
}

bool Utf8GetSpecialFolderPath(HWND window, char* out, int size, int folder, bool create) {
  if (!out || size <= 0) return false;
  wchar_t wide[MAX_PATH + 1] = {};
  if (SHGetSpecialFolderPathW(window, wide, folder, create)) {
    const int count = static_cast<int>(std::wcslen(wide));
    if (Utf16ToUtf8Replacing(wide, count, nullptr, 0) < size) {
      Utf16ToUtf8ReplacingWithin(wide, count, out, size);
      return true;
    }
  }
  // The narrow call writes up to MAX_PATH bytes, whatever the caller's size.
  char narrow[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathA(window, narrow, folder, create)) return false;
  const size_t length = std::strlen(narrow);
  if (length >= static_cast<size_t>(size)) return false;
  std::memcpy(out, narrow, length + 1);
  return true;
}

size_t Utf8Strftime(char* out, size_t size, const char* format, const struct tm* time) {
  if (!out || size == 0) return 0;
  out[0] = 0;
  if (!format || !time) return 0;
  if (Utf8ToUtf16Strict<wchar_t>(format, nullptr, 0) < 0)
    return std::strftime(out, size, format, time);
  // The wide strftime of the C runtime passes literal text through the
  // code page of the locale, which garbles characters outside it: only the
  // conversions go through it, the text between them is copied as it is.
  const int capacity = size > static_cast<size_t>(kMaxOut) ? kMaxOut : static_cast<int>(size) - 1;
  int length = 0;
  for (const char* p = format; *p;) {
    char piece[kPieceBytes];
    int pieceLength = 0;
    const int specLength = ConversionLength(p);
    if (specLength > 0) {
      wchar_t conversion[4] = {};
      for (int i = 0; i < specLength; ++i) conversion[i] = static_cast<unsigned char>(p[i]);
      wchar_t wide[kPieceUnits];
      const size_t units = std::wcsftime(wide, kPieceUnits, conversion, time);
      pieceLength = Utf16ToUtf8Replacing(wide, static_cast<int>(units), piece, kPieceBytes);
      p += specLength;
    } else {
      char32_t c = 0;
      pieceLength = *p == '%' ? 1 : DecodeUtf8Char(p, c);
      std::memcpy(piece, p, static_cast<size_t>(pieceLength));
      p += pieceLength;
    }
    if (length + pieceLength > capacity) {
      // Cut between characters, the conversions' included.
      const int room = capacity - length;
      int taken = 0;
      while (taken < pieceLength) {
        int next = taken + 1;
        while (next < pieceLength && (static_cast<unsigned char>(piece[next]) & 0xC0) == 0x80)
          ++next;
        if (next > room) break;
        taken = next;
      }
      std::memcpy(out + length, piece, static_cast<size_t>(taken));
      length += taken;
      break;
    }
    std::memcpy(out + length, piece, static_cast<size_t>(pieceLength));
    length += pieceLength;
  }
  out[length] = 0;
  return static_cast<size_t>(length);
}

} // namespace plugkit
