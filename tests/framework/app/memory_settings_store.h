#pragma once

#include "framework/app/settings_store.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace plugkit::test {

// Settings kept in memory, read back as a profile file gives them: a missing
// key yields the default, a long value is cut to the buffer.
class MemorySettingsStore : public SettingsStore {
public:
  using Key = std::pair<std::string, std::string>;

  bool HasSettings() const override { return hasSettings; }
  void Read(const char* section, const char* key, const char* defaultValue, StringBuffer& out,
            int maxBytes) const override {
    const auto found = values.find({section, key});
    const std::string value = found == values.end() ? defaultValue : found->second;
    out.Set(value.substr(0, static_cast<size_t>(maxBytes - 1)).c_str());
  }
  void Write(const char* section, const char* key, const char* value) override {
    values[{section, key}] = value;
    writes.push_back(std::string(section) + "/" + key + "=" + value);
    hasSettings = true;
  }

  bool hasSettings = false;
  std::map<Key, std::string> values;
  std::vector<std::string> writes;
};

} // namespace plugkit::test
