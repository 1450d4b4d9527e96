#pragma once

#include "framework/app/app_settings.h"
#include "framework/core/string_buffer.h"

#include <cstdint>

namespace plugkit {

// Where the settings live: sections of keys with text values, as in a
// Windows profile file.
class SettingsStore {
public:
  virtual ~SettingsStore() = default;

  // False when there is nothing stored to read yet.
  virtual bool HasSettings() const = 0;
  // out := the key's value, or defaultValue when the key is missing; at most
  // maxBytes - 1 bytes.
  virtual void Read(const char* section, const char* key, const char* defaultValue,
                    StringBuffer& out, int maxBytes) const = 0;
  // Failures are not reported: the program runs on with what it holds.
  virtual void Write(const char* section, const char* key, const char* value) = 0;
};

// Stored names are read into this many bytes, terminator included.
constexpr int kSettingsNameBytes = 100;

// Reads every key into settings. A missing key gives its file default; a
// number that is not a plain decimal within its key's range gives the same
// default, so a damaged file cannot set a rate, size or channel that nothing
// can use.
void ReadAppSettings(const SettingsStore& store, AppSettings& settings);
// Writes every key of settings.
void WriteAppSettings(SettingsStore& store, const AppSettings& settings);

// The number that text holds when it is a decimal (an optional '+' and
// digits, blanks around it) within min to max; fallback otherwise.
int32_t ParseSettingNumber(const char* text, int32_t min, int32_t max, int32_t fallback);

// Shortens text, at most maxBytes long, so it neither exceeds maxBytes nor
// ends inside a multi-byte UTF-8 character.
void CutToUtf8Boundary(StringBuffer& text, int maxBytes);

} // namespace plugkit
