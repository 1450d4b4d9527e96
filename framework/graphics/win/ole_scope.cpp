#include "framework/graphics/win/ole_scope.h"

#include <ole2.h>

namespace plugkit::igraphics {

OleScope::OleScope() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}

OleScope::~OleScope() {
  if (initialised_) OleUninitialize();
}

} // namespace plugkit::igraphics
