#pragma once

#include "framework/core/heap_buffer.h"
#include "framework/core/string_buffer.h"

#include <windows.h>

#include <string>

namespace plugkit {

// Strict UTF-8 to UTF-16 into `out` (byte buffer of wchar_t units): always at
// least a terminator, an empty text when the text is not strict UTF-8.
// Returns whether the conversion succeeded.
bool Utf8ToWide(HeapBuffer& out, const char* utf8);

// The same into a wide string: empty for null and for a text that is not
// strict UTF-8. Returns whether the conversion succeeded.
bool Utf8ToWide(std::wstring& out, const char* utf8);

// UTF-16 to UTF-8 into `out`; an empty text for null or when `out` cannot
// grow. An unpaired surrogate becomes U+FFFD.
void WideToUtf8(StringBuffer& out, const wchar_t* wide);

// Text in the system's code page (the narrow calls' text) as UTF-16; `size`
// bytes, no terminator needed.
std::wstring CodePageToWide(const char* text, int size);

// Long paths (256 characters or more) get the prefix that lifts the path
// length limit of wide calls: "\\?\" before a drive path, "\\?\UNC\" in place
// of the two backslashes of a network path; their slashes become
// backslashes. Other paths stay as they are. The buffer needs room for six
// more units.
void AddLongPathPrefix(wchar_t* path);

// A UTF-8 argument of a wide call, converted strictly: on the stack when it
// needs fewer than StackLimit units, else on the heap, always with room for
// the long-path prefix. Null stays null; a text that is not strict UTF-8
// leaves Ok() false, and the caller makes the narrow call instead.
template <int StackUnits, int StackLimit>
class WideArg {
  static_assert(StackLimit + 8 <= StackUnits, "the stack buffer must hold the prefix");

public:
  explicit WideArg(const char* utf8);
  WideArg(const WideArg&) = delete;
  WideArg& operator=(const WideArg&) = delete;

  bool Ok() const { return ok_; }
  wchar_t* Get() { return text_; }

private:
  wchar_t stack_[StackUnits];
  HeapBuffer heap_{4096};
  wchar_t* text_ = nullptr;
  bool ok_ = true;
};

using WidePath = WideArg<1024, 1000>;
using WideName = WideArg<256, 248>;

// Whether a UTF-8 path needs the wide call: it holds multi-byte text, or it
// is long enough to need the long-path prefix.
bool PathNeedsWide(const char* path);

extern template class WideArg<1024, 1000>;
extern template class WideArg<256, 248>;

} // namespace plugkit
