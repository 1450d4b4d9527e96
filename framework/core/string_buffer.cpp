#include "framework/core/string_buffer.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace plugkit {

namespace {
const char kEmptyText[] = "";
} // namespace

const char* StringBuffer::Get() const {
  return Size() > 0 ? reinterpret_cast<const char*>(Data()) : kEmptyText;
}

int StringBuffer::Length() const { return static_cast<int>(std::strlen(Get())); }

bool StringBuffer::GrowKeeping(int newSize, const char*& text) {
  const auto* old = reinterpret_cast<const char*>(Data());
  const bool inside = old && text >= old && text < old + Size();
  const auto offset = inside ? text - old : 0;
  Resize(newSize, false);
  if (inside) text = reinterpret_cast<const char*>(Data()) + offset;
  return Size() >= newSize;
}

void StringBuffer::Set(const char* text, int maxLen) {
  int len = 0;
  if (text) {
    if (maxLen <= 0) {
      len = static_cast<int>(std::strlen(text));
    } else {
      const void* nul = std::memchr(text, 0, static_cast<size_t>(maxLen));
      len = nul ? static_cast<int>(static_cast<const char*>(nul) - text) : maxLen;
    }
  }
  if (len == 0) {
    if (Resize(1, false)) Data()[0] = 0;
    return;
  }
  const int oldSize = Size();
  if (len + 1 > oldSize && !GrowKeeping(len + 1, text)) return;
  auto* data = reinterpret_cast<char*>(Data());
  std::memmove(data, text, static_cast<size_t>(len));
  data[len] = 0;
  if (oldSize > len + 1) Resize(len + 1, false);
}

void StringBuffer::SetFormatted(int maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(false, maxLen, format, args);
  va_end(args);
}

void StringBuffer::AppendFormatted(int maxLen, const char* format, ...) {
  va_list args;
  va_start(args, format);
  FormatV(true, maxLen, format, args);
  va_end(args);
}

void StringBuffer::FormatV(bool append, int maxLen, const char* format, va_list args) {
  if (maxLen < 0) return;
  const int pos = append && Size() > 0 ? Length() : 0;
  // A size beyond the int range cannot be asked for; the text stays.
  if (int64_t{pos} + maxLen + 1 > INT_MAX) return;
  const int wanted = pos + maxLen + 1;
  if (Resize(wanted, false) == nullptr || Size() != wanted) return;
  auto* at = reinterpret_cast<char*>(Data()) + pos;
  const int written = std::vsnprintf(at, static_cast<size_t>(maxLen) + 1, format, args);
  int kept = written;
  if (written < 0 || written >= maxLen) {
    kept = at[0] != 0 ? maxLen : 0;
    at[kept] = 0;
  }
  Resize(pos + kept + 1, false);
}

void StringBuffer::InsertRaw(int pos, const char* text, int len, int tailLen) {
  if (len == 0) {
    if (pos == 0 && tailLen == 0 && Resize(1, false)) Data()[0] = 0;
    return;
  }
  // The tail must lie within the present bytes; anything else would read
  // outside the block.
  if (len < 0 || pos < 0 || tailLen < 0 || !text || pos + tailLen > Size()) return;
  const int oldSize = Size();
  const int newSize = pos + len + tailLen + 1;
  if (newSize > oldSize && !GrowKeeping(newSize, text)) return;
  auto* data = reinterpret_cast<char*>(Data());
  std::memmove(data + pos + len, data + pos, static_cast<size_t>(tailLen));
  std::memmove(data + pos, text, static_cast<size_t>(len));
  data[pos + len + tailLen] = 0;
  if (newSize < oldSize) Resize(newSize, false);
}

void CopyToStringBuffer(StringBuffer& out, const StringBuffer* source) {
  out.Set(source ? source->Get() : nullptr);
}

} // namespace plugkit
