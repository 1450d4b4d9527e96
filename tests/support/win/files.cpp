#include "tests/support/win/files.h"

#include "framework/core/win_files.h"

#include <cstdio>

namespace plugkit::test {

bool FileExists(const std::string& path) {
  struct _stat64 info {};
  return Utf8Stat(path.c_str(), &info) == 0;
}

std::string ReadWholeFile(const std::string& path) {
  std::string bytes;
  if (FILE* file = Utf8Fopen(path.c_str(), "rb")) {
    char chunk[65536];
    for (size_t n; (n = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, n);
    std::fclose(file);
  }
  return bytes;
}

} // namespace plugkit::test
