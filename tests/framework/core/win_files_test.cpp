#include "framework/core/win_files.h"

#include "tests/support/win/scratch_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace plugkit {
namespace {

using test::ScratchFolder;

// Creates every folder of `relative` (separated by '/') below `base`.
bool CreateFolders(const std::string& base, const std::string& relative) {
  std::string path = base;
  size_t start = 0;
  while (start < relative.size()) {
    const size_t end = relative.find('/', start);
    path += "/" + relative.substr(start, end - start);
    if (!Utf8CreateDirectory(path.c_str(), nullptr)) return false;
    start = end == std::string::npos ? relative.size() : end + 1;
  }
  return true;
}

TEST(Utf8Files, CreateWriteReadAndStatOnShortLongAndNonAsciiPaths) {
  const ScratchFolder scratch("utf8 files");
  const std::string long60(60, 'L');
  const std::string longUtf8 = "\xE6\x97\xA5\xE6\x9C\xAC" + std::string(54, 'u'); // 60 bytes
  struct Case {
    const char* label;
    std::string folders;
  };
  const Case cases[] = {
      {"ascii", "plain"},
      {"non-ascii", "caf\xC3\xA9 \xE2\x82\xAC \xE6\x97\xA5\xE6\x9C\xAC"},
      {"long ascii", long60 + "/" + long60 + "/" + long60 + "/" + long60 + "/" + long60},
      {"long utf-8", longUtf8 + "/" + longUtf8 + "/" + longUtf8 + "/" + longUtf8 + "/" + longUtf8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ASSERT_TRUE(CreateFolders(scratch.Path(), c.folders));
    const std::string file = scratch.Path() + "/" + c.folders + "/data.bin";
    if (std::string(c.label).rfind("long", 0) == 0) {
      EXPECT_GE(file.size(), 256u);
    }

    FILE* out = Utf8Fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(std::fwrite("payload", 1, 7, out), 7u);
    std::fclose(out);

    struct _stat64 info {};
    ASSERT_EQ(Utf8Stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_size, 7);

    FILE* in = Utf8Fopen(file.c_str(), "rb");
    ASSERT_NE(in, nullptr);
    char back[8] = {};
    EXPECT_EQ(std::fread(back, 1, 8, in), 7u);
    std::fclose(in);
    EXPECT_STREQ(back, "payload");

    const std::string missing = file + ".missing";
    EXPECT_NE(Utf8Stat(missing.c_str(), &info), 0);
    EXPECT_EQ(Utf8Fopen(missing.c_str(), "rb"), nullptr);
  }
}

TEST(Utf8Files, LoadLibraryTakesNarrowAndWideNames) {
  const HMODULE kernel = Utf8LoadLibrary("kernel32.dll");
  EXPECT_NE(kernel, nullptr);
  if (kernel) FreeLibrary(kernel);
  EXPECT_EQ(Utf8LoadLibrary("no such library \xE6\x97\xA5.dll"), nullptr);
}

} // namespace
} // namespace plugkit
