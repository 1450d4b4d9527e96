#pragma once

#include "framework/core/heap_buffer.h"

#include <atomic>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace plugkit {

// Fixed single-producer, single-consumer ring of N slots (N - 1 usable).
// Push and Pop never allocate or block, so the audio thread can use them;
// a push into a full ring is dropped. Each index is written by one side only
// and published with release ordering, so the element is visible before the
// index that announces it.
template <typename T>
class RingQueue {
  static_assert(std::is_trivially_copyable_v<T>);

public:
  explicit RingQueue(int slots) : buffer_(4096) {
    if (slots > 0) {
      const int64_t bytes = static_cast<int64_t>(slots) * static_cast<int64_t>(sizeof(T));
      if (bytes <= INT32_MAX && buffer_.Resize(static_cast<int>(bytes), false) &&
          buffer_.Size() == bytes)
        slots_ = slots;
    }
  }
  RingQueue(const RingQueue&) = delete;
  RingQueue& operator=(const RingQueue&) = delete;

  int Slots() const { return static_cast<int>(slots_); }

  void Push(const T& element) {
    if (slots_ == 0) return;
    const int64_t write = write_.load(std::memory_order_relaxed);
    const int64_t next = (write + 1) % slots_;
    if (next == read_.load(std::memory_order_acquire)) return;
    std::memcpy(Slot(write), &element, sizeof(T));
    write_.store(next, std::memory_order_release);
  }

  bool Pop(T& element) {
    const int64_t read = read_.load(std::memory_order_relaxed);
    if (read == write_.load(std::memory_order_acquire)) return false;
    std::memcpy(&element, Slot(read), sizeof(T));
    read_.store((read + 1) % slots_, std::memory_order_release);
    return true;
  }

  int ElementsAvailable() const {
    const int64_t write = write_.load(std::memory_order_acquire);
    const int64_t read = read_.load(std::memory_order_acquire);
    return static_cast<int>(write >= read ? write - read : write - read + slots_);
  }

private:
  uint8_t* Slot(int64_t index) { return buffer_.Data() + index * static_cast<int64_t>(sizeof(T)); }

  HeapBuffer buffer_;
  int64_t slots_ = 0;
  std::atomic<int64_t> write_{0};
  std::atomic<int64_t> read_{0};
};

} // namespace plugkit
