#include "tests/support/allocation_counter.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// Every program that links the counter checks that it really counts, so an
// allocation-free result can never come from a counter that was not linked.
TEST(AllocationCounter, SeesEveryAllocation) {
  const long before = testsupport::AllocationCount();
  auto probe = std::make_unique<int>(7);
  EXPECT_EQ(testsupport::AllocationCount(), before + 1);
  EXPECT_EQ(*probe, 7);
}

} // namespace
