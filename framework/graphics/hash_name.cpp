#include "framework/graphics/hash_name.h"

#include <cstring>

namespace plugkit::igraphics {

uint64_t HashBytes(const void* bytes, size_t size) {
  uint64_t hash = 0xcbf29ce484222325ull;
  const auto* p = static_cast<const unsigned char*>(bytes);
  for (size_t i = 0; i < size; ++i) {
    hash ^= p[i];
    hash *= 0x100000001b3ull;
  }
  return hash;
}

uint64_t HashName(const char* text) { return HashBytes(text, std::strlen(text)); }

} // namespace plugkit::igraphics
