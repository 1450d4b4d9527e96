#pragma once

#include "framework/core/heap_buffer.h"

#include <cstring>

namespace plugkit {

// A list of pointers in a HeapBuffer. The list does not own its elements
// unless the owner calls DeleteAll.
template <typename T>
class PointerList {
public:
  explicit PointerList(int granularity = 4096) : buffer_(granularity) {}
  PointerList(const PointerList&) = delete;
  PointerList& operator=(const PointerList&) = delete;

  int Count() const { return buffer_.Size() / static_cast<int>(sizeof(T*)); }

  T* Get(int index) const {
    if (index < 0 || index >= Count()) return nullptr;
    return Slots()[index];
  }

  // On allocation failure nothing is appended.
  void Add(T* element) {
    const int count = Count();
    const int wanted = (count + 1) * static_cast<int>(sizeof(T*));
    buffer_.Resize(wanted, false);
    if (buffer_.Size() == wanted) Slots()[count] = element;
  }

  // Replaces the entry at index; an index outside the list changes nothing.
  void Set(int index, T* element) {
    if (index >= 0 && index < Count()) Slots()[index] = element;
  }

  // The entries as one array, for callers that take a pointer array; null
  // when the list is empty.
  T** Data() const { return Slots(); }

  // Removes the entry at index; later entries move up one place.
  void Remove(int index) {
    const int count = Count();
    if (index < 0 || index >= count) return;
    std::memmove(Slots() + index, Slots() + index + 1,
                 sizeof(T*) * static_cast<size_t>(count - index - 1));
    buffer_.Resize((count - 1) * static_cast<int>(sizeof(T*)), false);
  }

  // Deletes the elements from the last to the first, shrinking after each,
  // so a destructor that looks at the list never sees a dangling entry.
  void DeleteAll() {
    for (int i = Count() - 1; i >= 0; --i) {
      T* element = Slots()[i];
      buffer_.Resize(i * static_cast<int>(sizeof(T*)), false);
      delete element;
    }
    buffer_.Resize(0, true);
  }

private:
  T** Slots() const { return reinterpret_cast<T**>(const_cast<uint8_t*>(buffer_.Data())); }

  HeapBuffer buffer_;
};

} // namespace plugkit
