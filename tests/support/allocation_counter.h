#pragma once

namespace testsupport {

// Number of allocations made through operator new by this program so far,
// and in the Windows build through malloc, calloc and realloc as well.
// Linking allocation_counter.cpp replaces the global operator new (and wraps
// the C allocator), so a test sees every allocation the code under test
// makes.
long AllocationCount();

} // namespace testsupport
