#pragma once

#include <string>

namespace plugkit::test {

// The UTF-8 of a wide text, converted by the system rather than by the code
// under test.
std::string Utf8Of(const std::wstring& wide);

} // namespace plugkit::test
