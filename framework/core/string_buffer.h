#pragma once

#include "framework/core/heap_buffer.h"

#include <cstdarg>

namespace plugkit {

// One NUL-terminated UTF-8 text in a HeapBuffer; the size counts the
// terminator, and an empty buffer reads as the empty text, never null.
class StringBuffer : public HeapBuffer {
public:
  explicit StringBuffer(int granularity = 128) : HeapBuffer(granularity) {}

  const char* Get() const;
  // Copies at most maxLen bytes of text; maxLen 0 or less copies it whole.
  void Set(const char* text, int maxLen = 0);
  void SetFormatted(int maxLen, const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 3, 4)))
#endif
      ;
  void AppendFormatted(int maxLen, const char* format, ...)
#if defined(__GNUC__)
      __attribute__((format(printf, 3, 4)))
#endif
      ;
  void FormatV(bool append, int maxLen, const char* format, va_list args);
  // The text becomes bytes 0..pos-1, len bytes of text, then the tailLen
  // bytes that stood at pos, then a terminator.
  void InsertRaw(int pos, const char* text, int len, int tailLen);
  int Length() const;

private:
  // Grows to at least newSize, keeping `text` valid when it pointed into the
  // old block; returns false when the buffer could not grow.
  bool GrowKeeping(int newSize, const char*& text);
};

void CopyToStringBuffer(StringBuffer& out, const StringBuffer* source);

} // namespace plugkit
