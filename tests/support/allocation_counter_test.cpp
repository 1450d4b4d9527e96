#include "tests/support/allocation_counter.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

// Every program that links the counter checks that it really counts, so an
// allocation-free result can never come from a counter that was not linked.
TEST(AllocationCounter, SeesEveryAllocation) {
  const long before = testsupport::AllocationCount();
  auto probe = std::make_unique<int>(7);
  EXPECT_EQ(testsupport::AllocationCount(), before + 1);
  EXPECT_EQ(*probe, 7);
#if defined(_WIN32)
  // The Windows build counts the C allocator as well; the call goes through
  // a pointer the compiler cannot see through.
  void* (*volatile allocate)(std::size_t) = std::malloc;
  void* bytes = allocate(8);
  EXPECT_EQ(testsupport::AllocationCount(), before + 2);
  std::free(bytes);
#endif
}

} // namespace
