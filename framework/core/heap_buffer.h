#pragma once

#include <cstdint>

namespace plugkit {

// A growable raw byte block. Growth never throws and never reports failure:
// a failed allocation keeps the old block and size, so callers compare the
// size after Resize with the size they asked for before writing.
class HeapBuffer {
public:
  explicit HeapBuffer(int granularity = 128);
  HeapBuffer(const HeapBuffer& other);
  HeapBuffer& operator=(const HeapBuffer& other);
  ~HeapBuffer();

  // Returns the data pointer, null whenever the size is 0.
  uint8_t* Resize(int newSize, bool allowShrink);
  void CopyFrom(const HeapBuffer& other);
  HeapBuffer& Assign(const HeapBuffer& other);

  uint8_t* Data() { return size_ > 0 ? data_ : nullptr; }
  const uint8_t* Data() const { return size_ > 0 ? data_ : nullptr; }
  int Size() const { return size_; }
  int Capacity() const { return capacity_; }
  int Granularity() const { return granularity_; }

private:
  int CapacityFor(int newSize) const;

  uint8_t* data_ = nullptr;
  int capacity_ = 0;
  int size_ = 0;
  int granularity_;
};

} // namespace plugkit
