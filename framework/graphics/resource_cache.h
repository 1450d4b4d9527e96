#pragma once

#include "framework/graphics/hash_name.h"

#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace plugkit::igraphics {

// A process-wide cache of owned objects keyed by name and scale, with a
// re-entrant lock and a count of the contexts that use it. Every operation
// other than Lock expects the caller to hold the lock.
template <typename T, typename Deleter = std::default_delete<T>>
class ResourceCache {
public:
  using Owned = std::unique_ptr<T, Deleter>;

  std::unique_lock<std::recursive_mutex> Lock() {
    return std::unique_lock<std::recursive_mutex>(mutex_);
  }

  // The first entry added for this name and scale, or null.
  T* Find(const char* name, double scale) const {
    const uint64_t hash = HashName(KeyText(name, scale).c_str());
    for (const auto& entry : entries_) {
      if (entry->hash == hash && entry->scale == scale && entry->name == name)
        return entry->data.get();
    }
    return nullptr;
  }

  // Appends without looking for an entry with the same key.
  void Add(Owned data, const char* name, double scale) {
    auto entry = std::make_unique<Entry>();
    entry->hash = HashName(KeyText(name, scale).c_str());
    entry->name = name;
    entry->scale = scale;
    entry->data = std::move(data);
    entries_.push_back(std::move(entry));
  }

  // Deletes the entry holding `data`; false when none holds it.
  bool Remove(const T* data) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
      if ((*it)->data.get() == data) {
        entries_.erase(it);
        return true;
      }
    }
    return false;
  }

  // Deletes the entries from the last to the first.
  void Clear() {
    while (!entries_.empty()) entries_.pop_back();
  }

  int Size() const { return static_cast<int>(entries_.size()); }

  void Retain() { ++users_; }
  // Clears the cache when the last user lets go.
  void Release() {
    if (users_ > 0 && --users_ == 0) Clear();
  }
  int Users() const { return users_; }

private:
  struct Entry {
    uint64_t hash = 0;
    std::string name;
    double scale = 1.0;
    Owned data;
  };

  static std::string KeyText(const char* name, double scale) {
    char suffix[48];
    std::snprintf(suffix, sizeof(suffix), "-%.1fx", scale);
    return std::string(name) + suffix;
  }

  std::recursive_mutex mutex_;
  std::vector<std::unique_ptr<Entry>> entries_;
  int users_ = 0;
};

} // namespace plugkit::igraphics
