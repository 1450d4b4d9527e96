#include "framework/app/settings_store.h"

#include <cstdio>

namespace plugkit {

namespace {

struct SettingKey {
  const char* section;
  const char* key;
  // A text key names its field and file default; a number key its field,
  // range, file default and format.
  StringBuffer AppSettings::*text;
  const char* textDefault;
  int32_t AppSettings::*number;
  int32_t min;
  int32_t max;
  int32_t numberDefault;
  bool isUnsigned;
};

constexpr int32_t kMaxDeviceChannel = 256;
constexpr int32_t kMaxMidiChannel = 16;
constexpr int32_t kMinBufferSize = 32;
constexpr int32_t kMaxBufferSize = 8192;
// DirectSound is 0; 1 reads the output device's name for both directions.
constexpr int32_t kMaxDriverType = 1;
// Room for any number a person might write; a value that fills it is taken
// as damaged rather than read cut.
constexpr int kNumberBytes = 64;

SettingKey Text(const char* section, const char* key, StringBuffer AppSettings::*field,
                const char* fileDefault) {
  return {section, key, field, fileDefault, nullptr, 0, 0, 0, false};
}

SettingKey Number(const char* section, const char* key, int32_t AppSettings::*field, int32_t min,
                  int32_t max, int32_t fileDefault, bool isUnsigned) {
  return {section, key, nullptr, nullptr, field, min, max, fileDefault, isUnsigned};
}

// In the order the keys are read and written.
const SettingKey kKeys[] = {
    Number("audio", "driver", &AppSettings::driverType, 0, kMaxDriverType, 0, true),
    Text("audio", "indev", &AppSettings::audioInDevice, "Built-in Input"),
    Text("audio", "outdev", &AppSettings::audioOutDevice, "Built-in Output"),
    Number("audio", "in1", &AppSettings::audioIn1, 1, kMaxDeviceChannel, 1, true),
    Number("audio", "in2", &AppSettings::audioIn2, 1, kMaxDeviceChannel, 2, true),
    Number("audio", "out1", &AppSettings::audioOut1, 1, kMaxDeviceChannel, 1, true),
    Number("audio", "out2", &AppSettings::audioOut2, 1, kMaxDeviceChannel, 2, true),
    Number("audio", "buffer", &AppSettings::bufferSize, kMinBufferSize, kMaxBufferSize, 512, false),
    Number("audio", "sr", &AppSettings::sampleRate, AppSettings::kMinSampleRate,
           AppSettings::kMaxSampleRate, 44100, false),
    Text("midi", "indev", &AppSettings::midiInDevice, "no input"),
    Text("midi", "outdev", &AppSettings::midiOutDevice, "no output"),
    Number("midi", "inchan", &AppSettings::midiInChannel, 0, kMaxMidiChannel, 0, true),
    Number("midi", "outchan", &AppSettings::midiOutChannel, 0, kMaxMidiChannel, 0, true),
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// The length of the UTF-8 sequence a lead byte starts; 1 for anything else.
int SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

} // namespace

int32_t ParseSettingNumber(const char* text, int32_t min, int32_t max, int32_t fallback) {
  if (!text) return fallback;
  while (IsBlank(*text)) ++text;
  if (*text == '+') ++text;
  if (*text < '0' || *text > '9') return fallback;
  int64_t value = 0;
  for (; *text >= '0' && *text <= '9'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > max) return fallback;
  }
  while (IsBlank(*text)) ++text;
  if (*text != 0 || value < min) return fallback;
  return static_cast<int32_t>(value);
}

void CutToUtf8Boundary(StringBuffer& text, int maxBytes) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text.Get());
  int length = text.Length();
  if (length > maxBytes) length = maxBytes < 0 ? 0 : maxBytes;
  // Step back over the continuation bytes of a last character that is cut.
  int start = length;
  while (start > 0 && IsContinuationByte(bytes[start - 1])) --start;
  if (start > 0 && !IsContinuationByte(bytes[start - 1]) && bytes[start - 1] >= 0xC0 &&
      length - (start - 1) < SequenceLength(bytes[start - 1]))
    length = start - 1;
  if (length == 0)
    text.Set("");
  else if (length < text.Length())
    text.Set(text.Get(), length);
}

void ReadAppSettings(const SettingsStore& store, AppSettings& settings) {
  StringBuffer value;
  for (const SettingKey& key : kKeys) {
    if (key.text) {
      StringBuffer& field = settings.*key.text;
      store.Read(key.section, key.key, key.textDefault, field, kSettingsNameBytes);
      CutToUtf8Boundary(field, kSettingsNameBytes - 1);
      continue;
    }
    char fallback[16];
    std::snprintf(fallback, sizeof fallback, "%d", static_cast<int>(key.numberDefault));
    store.Read(key.section, key.key, fallback, value, kNumberBytes);
    const bool complete = value.Length() < kNumberBytes - 1;
    settings.*key.number =
        complete ? ParseSettingNumber(value.Get(), key.min, key.max, key.numberDefault)
                 : key.numberDefault;
  }
}

void WriteAppSettings(SettingsStore& store, const AppSettings& settings) {
  char number[16];
  for (const SettingKey& key : kKeys) {
    if (key.text) {
      store.Write(key.section, key.key, (settings.*key.text).Get());
      continue;
    }
    const int32_t value = settings.*key.number;
    if (key.isUnsigned)
      std::snprintf(number, sizeof number, "%u", static_cast<unsigned int>(value));
    else
      std::snprintf(number, sizeof number, "%i", static_cast<int>(value));
    store.Write(key.section, key.key, number);
  }
}

} // namespace plugkit
