#pragma once

#include <string>
#include <vector>

namespace plugkit {

// What the standalone program's command line asks for.
struct CommandLineOptions {
  // Screenshot mode when not empty: the window is saved here and closed.
  std::string screenshotPath;
  // No audio or MIDI device is opened; screenshot mode implies it.
  bool noIO = false;
};

// The words after the program's name: "--screenshot" takes the next word as
// its path, "--no-io" stands alone, other words are ignored.
CommandLineOptions ParseCommandLine(const std::vector<std::string>& words);

} // namespace plugkit
