// The one translation unit that compiles the vendored SVG parser.
#define NANOSVG_IMPLEMENTATION
#include "third_party/nanosvg/nanosvg.h"
