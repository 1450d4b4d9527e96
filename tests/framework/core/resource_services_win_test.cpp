#include "framework/core/resource_services.h"

#include "tests/support/win/files.h"
#include "tests/support/win/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace plugkit {
namespace {

using test::ReadWholeFile;
using test::ScratchFolder;

// The test program embeds Roboto as "Roboto-Regular.ttf" (type TTF) and a
// resource of five bytes as "five.dat" (type DAT), both stored with their
// quotation marks.
TEST(LocateResource, FindsEmbeddedResourcesByNameCaseInsensitivelyThenFiles) {
  const ScratchFolder scratch("locate");
  const std::string file = scratch.Path() + "\\on disk.ttf";
  if (FILE* f = std::fopen(file.c_str(), "wb")) std::fclose(f);

  struct Case {
    const char* name;
    const char* type;
    int expected;
    const char* result;
  };
  const Case cases[] = {
      {"Roboto-Regular.ttf", "TTF", kResourceEmbedded, "\"ROBOTO-REGULAR.TTF\""},
      {"roboto-REGULAR.TTF", "ttf", kResourceEmbedded, "\"ROBOTO-REGULAR.TTF\""},
      {"five.dat", "dat", kResourceEmbedded, "\"FIVE.DAT\""},
      {"Roboto-Regular", "TTF", kResourceNotFound, nullptr},
      {"Roboto-Regular.ttf", "PNG", kResourceNotFound, nullptr},
      {"\xC0\xAF", "TTF", kResourceNotFound, nullptr},
      {"", "TTF", kResourceNotFound, nullptr},
      {nullptr, "TTF", kResourceNotFound, nullptr},
      {file.c_str(), "TTF", kResourceFile, file.c_str()},
  };
  for (const HMODULE module : {GetModuleHandleA(nullptr), HMODULE{}}) {
    for (const Case& c : cases) {
      StringBuffer result;
      result.Set("untouched");
      EXPECT_EQ(LocateResource(c.name, c.type, result, module), c.expected)
          << (c.name ? c.name : "null") << " " << c.type;
      EXPECT_STREQ(result.Get(), c.result ? c.result : "untouched");
    }
  }
}

TEST(LoadWinResource, GivesTheEmbeddedBytesOfResourcesOfEightBytesOrMore) {
  const std::string font = ReadWholeFile(std::string("Z:") + TARVEX_TEST_FONT);
  ASSERT_GT(font.size(), 1000u);
  int size = -1;
  const void* data = LoadWinResource("\"ROBOTO-REGULAR.TTF\"", "ttf", size, nullptr);
  ASSERT_NE(data, nullptr);
  ASSERT_EQ(size, static_cast<int>(font.size()));
  EXPECT_EQ(std::memcmp(data, font.data(), font.size()), 0);

  struct Case {
    const char* name;
    const char* type;
  };
  const Case refused[] = {{"\"FIVE.DAT\"", "DAT"},
                          {"\"MISSING.TTF\"", "TTF"},
                          {"\"ROBOTO-REGULAR.TTF\"", "PNG"},
                          {nullptr, "TTF"},
                          {"\"ROBOTO-REGULAR.TTF\"", nullptr}};
  for (const Case& c : refused) {
    size = 7;
    EXPECT_EQ(LoadWinResource(c.name, c.type, size, nullptr), nullptr);
    EXPECT_EQ(size, 7);
  }
}

} // namespace
} // namespace plugkit
