#include "framework/app/command_line.h"

namespace plugkit {

CommandLineOptions ParseCommandLine(const std::vector<std::string>& words) {
  CommandLineOptions options;
  for (size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "--screenshot" && i + 1 < words.size())
      options.screenshotPath = words[++i];
    else if (words[i] == "--no-io")
      options.noIO = true;
  }
  if (!options.screenshotPath.empty()) options.noIO = true;
  return options;
}

} // namespace plugkit
