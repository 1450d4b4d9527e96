#pragma once

#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace plugkit {

// A growable array of plain records for the back end's queues and texture
// table. It never throws: a failed growth keeps the old storage and reports
// false, so the caller can drop the one operation that needed the room.
template <typename T>
class VgGl2Array {
  static_assert(std::is_trivially_copyable_v<T>, "elements are moved with realloc");

public:
  VgGl2Array() = default;
  VgGl2Array(const VgGl2Array&) = delete;
  VgGl2Array& operator=(const VgGl2Array&) = delete;
  ~VgGl2Array() { std::free(data_); }

  // Makes room for `more` elements beyond the count. When the capacity is
  // short it grows to max(count + more, minimum) + capacity / 2.
  bool Reserve(int more, int minimum) {
    const int needed = count_ + more;
    if (more < 0 || needed < count_) return false;
    if (needed <= capacity_) return true;
    const int target = (needed > minimum ? needed : minimum) + capacity_ / 2;
    void* grown = std::realloc(data_, sizeof(T) * static_cast<size_t>(target));
    if (!grown) return false;
    data_ = static_cast<T*>(grown);
    capacity_ = target;
    return true;
  }

  // Appends `more` zeroed elements, which Reserve must have made room for;
  // returns the index of the first.
  int Append(int more) {
    const int first = count_;
    if (more <= 0) return first;
    std::memset(static_cast<void*>(data_ + first), 0, sizeof(T) * static_cast<size_t>(more));
    count_ += more;
    return first;
  }

  void Truncate(int count) { count_ = count < count_ ? count : count_; }

  T* Data() { return data_; }
  const T* Data() const { return data_; }
  T& operator[](int i) { return data_[i]; }
  const T& operator[](int i) const { return data_[i]; }
  int Count() const { return count_; }
  int Capacity() const { return capacity_; }

private:
  T* data_ = nullptr;
  int count_ = 0;
  int capacity_ = 0;
};

} // namespace plugkit
