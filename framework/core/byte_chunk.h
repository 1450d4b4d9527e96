#pragma once

#include "framework/core/heap_buffer.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace plugkit {

// Serialised state: raw little-endian bytes with no header. Writers append;
// readers read at an explicit position and chain the returned positions, so
// one short read makes every later read return -1.
class ByteChunk : public HeapBuffer {
public:
  ByteChunk() : HeapBuffer(4096) {}

  // Appends n bytes; returns the new size (unchanged when it could not grow).
  int PutBytes(const void* bytes, int n);
  // Copies n bytes at pos; returns pos + n, or -1 leaving the bytes untouched.
  int GetBytes(void* bytes, int n, int pos) const;
  int AppendChunk(const ByteChunk& other);

  template <typename T>
  int Put(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    return PutBytes(&value, static_cast<int>(sizeof(T)));
  }

  template <typename T>
  int Get(T& value, int pos) const {
    static_assert(std::is_trivially_copyable_v<T>);
    return GetBytes(&value, static_cast<int>(sizeof(T)), pos);
  }
};

} // namespace plugkit
