#pragma once

#include <windows.h>

namespace plugkit::igraphics {

// A GDI font of the UTF-8 family, or null. With `mustBeInstalled` the family
// must be listed by the system; in any case a face that GDI reports under
// another name (a substitute, or the same name in another case) is refused.
HFONT FindSystemFont(const char* family, int weight, bool italic, bool underline, BYTE quality,
                     bool mustBeInstalled);

} // namespace plugkit::igraphics
