#include "framework/core/heap_buffer.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace plugkit {

namespace {
constexpr int64_t kPage = 4096;
constexpr int64_t kPageSlack = 96;
constexpr int64_t kMaxExtra = 4194304;
} // namespace

HeapBuffer::HeapBuffer(int granularity) : granularity_(granularity > 0 ? granularity : 1) {}

HeapBuffer::HeapBuffer(const HeapBuffer& other) : granularity_(other.granularity_) {
  CopyFrom(other);
}

HeapBuffer& HeapBuffer::operator=(const HeapBuffer& other) { return Assign(other); }

HeapBuffer::~HeapBuffer() { std::free(data_); }

// Capacity for a new block, or -1 when it cannot be represented.
int HeapBuffer::CapacityFor(int newSize) const {
  if (newSize == 0) return 0;
  const int64_t n = newSize;
  int64_t extra = std::max<int64_t>(n / 2, granularity_);
  int64_t capacity;
  if (granularity_ < 4096) {
    capacity = n + extra;
  } else {
    extra = std::clamp<int64_t>(extra / kPage * kPage, kPage, kMaxExtra);
    capacity = (n + extra + kPageSlack) / kPage * kPage - kPageSlack;
  }
  return capacity > INT_MAX ? -1 : static_cast<int>(capacity);
}

uint8_t* HeapBuffer::Resize(int newSize, bool allowShrink) {
  newSize = std::max(newSize, 0);
  if (newSize == size_) return Data();

  int threshold = 0;
  if (allowShrink && newSize < size_) {
    threshold = std::max(1, std::min(capacity_ / 2, capacity_ - 4 * granularity_));
  }
  if (newSize > capacity_ || newSize < threshold) {
    const int capacity = CapacityFor(newSize);
    if (capacity < 0) return Data();
    if (capacity != capacity_) {
      if (capacity == 0) {
        std::free(data_);
        data_ = nullptr;
        capacity_ = 0;
        size_ = 0;
        return nullptr;
      }
      auto* grown = static_cast<uint8_t*>(std::realloc(data_, static_cast<size_t>(capacity)));
      if (!grown) {
        grown = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(capacity)));
        if (!grown) return Data();
        if (data_) std::memcpy(grown, data_, static_cast<size_t>(std::min(newSize, size_)));
        std::free(data_);
      }
      data_ = grown;
      capacity_ = capacity;
    }
  }
  size_ = newSize;
  return Data();
}

void HeapBuffer::CopyFrom(const HeapBuffer& other) {
  if (&other == this) return;
  Resize(other.size_, true);
  if (size_ == other.size_) {
    if (size_ > 0) std::memcpy(data_, other.data_, static_cast<size_t>(size_));
  } else {
    Resize(0, true);
  }
}

HeapBuffer& HeapBuffer::Assign(const HeapBuffer& other) {
  CopyFrom(other);
  return *this;
}

} // namespace plugkit
