#pragma once

namespace testsupport {

// Number of allocations made through operator new by this program so far.
// Linking allocation_counter.cpp replaces the global operator new, so a test
// sees every allocation the code under test makes.
long AllocationCount();

} // namespace testsupport
