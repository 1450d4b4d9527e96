#pragma once

#include <string>

namespace plugkit::igraphics {

// The parameters that make explorer.exe show `path` (UTF-8), with the item
// selected when `select`: the path in one pair of double quotes. Trailing
// separators are dropped, since a backslash before the closing quote would
// escape it. False for an empty path, one that is not strict UTF-8, and one
// holding a double quote (no Windows path can).
bool BuildRevealParameters(const char* path, bool select, std::wstring& parameters);

// Whether an address may be handed to the shell to open: web pages and mail
// links only, never a program or a file that the shell would run.
bool IsOpenableLink(const char* url);

} // namespace plugkit::igraphics
