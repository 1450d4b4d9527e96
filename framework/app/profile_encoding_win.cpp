#include "framework/app/profile_encoding_win.h"

#include "framework/core/utf_codec.h"
#include "framework/core/win_files.h"
#include "framework/core/win_text.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string>

namespace plugkit {

namespace {

constexpr char kUtf16LittleEndian[] = "\xFF\xFE";
constexpr char kUtf16BigEndian[] = "\xFE\xFF";
constexpr wchar_t kByteOrderMark = 0xFEFF;

// The file's bytes; empty for a missing file, nothing when it exists but
// cannot be read.
std::optional<std::string> ReadBytes(const char* path) {
  FILE* file = Utf8Fopen(path, "rb");
  if (!file) {
    struct _stat64 info;
    if (Utf8Stat(path, &info) == 0) return std::nullopt;
    return std::string();
  }
  std::string bytes;
  char block[4096];
  for (size_t read; (read = std::fread(block, 1, sizeof block, file)) > 0;)
    bytes.append(block, read);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) return std::nullopt;
  return bytes;
}

bool WriteBytes(const char* path, const std::string& bytes) {
  FILE* file = Utf8Fopen(path, "wb");
  if (!file) return false;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && written;
}

// Strict UTF-8 (the bytes are followed by the string's zero), or nothing.
std::optional<std::wstring> DecodeUtf8(const std::string& bytes) {
  const char* end = bytes.data() + bytes.size();
  const int units =
      Utf8ToUtf16Units(bytes.data(), end, static_cast<wchar_t*>(nullptr), 0, DecodeUtf8Char);
  if (units < 0) return std::nullopt;
  std::wstring text(static_cast<size_t>(units), L'\0');
  Utf8ToUtf16Units(bytes.data(), end, text.data(), units, DecodeUtf8Char);
  if (!text.empty() && text.front() == kByteOrderMark) text.erase(0, 1);
  return text;
}

std::wstring DecodeUtf16BigEndian(const std::string& bytes) {
  std::wstring text;
  for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    text.push_back(static_cast<wchar_t>((static_cast<unsigned char>(bytes[i]) << 8) |
                                        static_cast<unsigned char>(bytes[i + 1])));
  return text;
}

} // namespace

void ConvertProfileToUtf16(const char* path) {
  const std::optional<std::string> bytes = ReadBytes(path);
  if (!bytes || bytes->compare(0, 2, kUtf16LittleEndian) == 0) return;
  std::wstring text;
  if (bytes->compare(0, 2, kUtf16BigEndian) == 0) {
    text = DecodeUtf16BigEndian(*bytes);
  } else {
    const std::optional<std::wstring> utf8 = DecodeUtf8(*bytes);
    text = utf8 ? *utf8 : CodePageToWide(bytes->data(), static_cast<int>(bytes->size()));
  }
  std::string converted(kUtf16LittleEndian);
  converted.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  // A file left cut would lose every setting in it: the old bytes go back.
  if (!WriteBytes(path, converted)) WriteBytes(path, *bytes);
}

} // namespace plugkit
