#include "framework/core/resource_services.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace plugkit {
namespace {

// A file in the working folder that lives as long as the test.
class ScratchFile {
public:
  explicit ScratchFile(std::string path) : path_(std::move(path)) {
    if (FILE* f = std::fopen(path_.c_str(), "wb")) {
      std::fputs("font bytes", f);
      std::fclose(f);
    }
  }
  ~ScratchFile() { std::remove(path_.c_str()); }
  const char* Path() const { return path_.c_str(); }

private:
  std::string path_;
};

TEST(LocateResource, FindsExistingFilesOnly) {
  const ScratchFile file("resource_services_test_font.ttf");
  struct Case {
    const char* name;
    int expected;
  };
  const Case cases[] = {
      {nullptr, kResourceNotFound},
      {"", kResourceNotFound},
      {"no_such_resource_services_file.ttf", kResourceNotFound},
      {".", kResourceNotFound}, // a folder is not a file
      {file.Path(), kResourceFile},
  };
  for (const Case& c : cases) {
    StringBuffer result;
    result.Set("untouched");
    EXPECT_EQ(LocateResource(c.name, "TTF", result, nullptr), c.expected)
        << (c.name ? c.name : "null");
    EXPECT_STREQ(result.Get(), c.expected == kResourceFile ? c.name : "untouched");
  }
}

#if !defined(_WIN32)
TEST(LoadWinResource, NativeBuildsHaveNoEmbeddedResources) {
  int size = 7;
  EXPECT_EQ(LoadWinResource("Roboto-Regular.ttf", "TTF", size, nullptr), nullptr);
  EXPECT_EQ(size, 7);
}
#endif

} // namespace
} // namespace plugkit
