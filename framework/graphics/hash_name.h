#pragma once

#include <cstddef>
#include <cstdint>

namespace plugkit::igraphics {

// The 64-bit FNV-1a hash that keys the resource caches.
uint64_t HashBytes(const void* bytes, size_t size);
uint64_t HashName(const char* text);

} // namespace plugkit::igraphics
