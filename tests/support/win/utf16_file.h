#pragma once

#include "framework/core/heap_buffer.h"
#include "framework/core/string_buffer.h"
#include "framework/core/win_files.h"
#include "framework/core/win_text.h"
#include "tests/support/win/files.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace plugkit::test {

// A file's raw bytes as UTF-8, read as UTF-16 after its byte order mark, so
// a test sees what is stored rather than what the profile calls return.
// Anything else is reported as not UTF-16, with its bytes.
inline std::string ReadUtf16File(const std::string& path) {
  const std::string bytes = ReadWholeFile(path);
  if (bytes.compare(0, 2, "\xFF\xFE") != 0) return "not UTF-16: " + bytes;
  std::wstring wide((bytes.size() - 2) / 2, L'\0');
  std::memcpy(wide.data(), bytes.data() + 2, wide.size() * 2);
  StringBuffer text;
  WideToUtf8(text, wide.c_str());
  return text.Get();
}

// Writes UTF-8 text as a UTF-16 file with a byte order mark, as a person's
// editor saves it; false when it could not.
inline bool WriteUtf16File(const std::string& path, const char* text) {
  HeapBuffer wide(4096);
  if (!Utf8ToWide(wide, text)) return false;
  FILE* file = Utf8Fopen(path.c_str(), "wb");
  if (!file) return false;
  const size_t bytes = static_cast<size_t>(wide.Size()) - sizeof(wchar_t);
  const bool written =
      std::fwrite("\xFF\xFE", 1, 2, file) == 2 && std::fwrite(wide.Data(), 1, bytes, file) == bytes;
  return std::fclose(file) == 0 && written;
}

} // namespace plugkit::test
