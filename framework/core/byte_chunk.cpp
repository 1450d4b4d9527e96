#include "framework/core/byte_chunk.h"

#include <cstdint>

namespace plugkit {

int ByteChunk::PutBytes(const void* bytes, int n) {
  const int oldSize = Size();
  if (n <= 0) return oldSize;
  const int64_t wanted = static_cast<int64_t>(oldSize) + n;
  if (wanted > INT32_MAX) return oldSize;
  Resize(static_cast<int>(wanted), false);
  if (Size() != wanted) return Size();
  std::memcpy(Data() + oldSize, bytes, static_cast<size_t>(n));
  return Size();
}

int ByteChunk::GetBytes(void* bytes, int n, int pos) const {
  if (pos < 0 || n < 0 || static_cast<int64_t>(pos) + n > Size()) return -1;
  if (n > 0) std::memcpy(bytes, Data() + pos, static_cast<size_t>(n));
  return pos + n;
}

int ByteChunk::AppendChunk(const ByteChunk& other) {
  const int oldSize = Size();
  const int n = other.Size();
  const int64_t wanted = static_cast<int64_t>(oldSize) + n;
  if (n == 0 || wanted > INT32_MAX) return oldSize;
  Resize(static_cast<int>(wanted), true);
  if (Size() != wanted) return Size();
  // other may be this chunk, whose block the resize may have moved.
  std::memmove(Data() + oldSize, other.Data(), static_cast<size_t>(n));
  return Size();
}

} // namespace plugkit
