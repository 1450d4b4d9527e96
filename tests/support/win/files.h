#pragma once

#include <string>

namespace plugkit::test {

// Whether anything (a file or a folder) stands at the UTF-8 path.
bool FileExists(const std::string& path);

// All bytes of the file at the UTF-8 path; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

} // namespace plugkit::test
