#include "framework/app/command_line.h"

#include <gtest/gtest.h>

namespace plugkit {
namespace {

TEST(CommandLine, ScreenshotTakesTheNextWordAndImpliesNoIO) {
  struct Case {
    std::vector<std::string> words;
    std::string path;
    bool noIO;
  };
  const Case cases[] = {
      {{}, "", false},
      {{"--no-io"}, "", true},
      {{"--screenshot", "shot.png"}, "shot.png", true},
      {{"--screenshot", "--no-io"}, "--no-io", true},
      // A trailing option without its word leaves the program running normally.
      {{"--screenshot"}, "", false},
      {{"extra", "--NO-IO", "--screenshot", "a.png", "--screenshot", "b.png"}, "b.png", true},
      {{"--screenshot", "caf\xC3\xA9 \xE2\x82\xAC.png"}, "caf\xC3\xA9 \xE2\x82\xAC.png", true},
  };
  for (const Case& c : cases) {
    const CommandLineOptions options = ParseCommandLine(c.words);
    EXPECT_EQ(options.screenshotPath, c.path) << testing::PrintToString(c.words);
    EXPECT_EQ(options.noIO, c.noIO) << testing::PrintToString(c.words);
  }
}

} // namespace
} // namespace plugkit
