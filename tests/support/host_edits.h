#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace testsupport {

// One call a plug-in made to tell the host about a parameter.
struct HostEdit {
  char kind; // 'b' begin, 's' value sent, 'e' end
  int index;
  double normalized;
};

// Checks that edits bracket every parameter 0..count-1 in order, each as a
// begin, the value sent and an end, and that each value sent is the one
// expected.
inline void ExpectEveryValueBracketed(const std::vector<HostEdit>& edits, int count,
                                      const std::function<double(int)>& expectedNormalized) {
  ASSERT_EQ(edits.size(), 3u * static_cast<unsigned>(count));
  for (int i = 0; i < count; ++i) {
    SCOPED_TRACE(i);
    const HostEdit& begin = edits[3 * i];
    const HostEdit& value = edits[3 * i + 1];
    const HostEdit& end = edits[3 * i + 2];
    EXPECT_EQ(begin.kind, 'b');
    EXPECT_EQ(value.kind, 's');
    EXPECT_EQ(end.kind, 'e');
    EXPECT_EQ(begin.index, i);
    EXPECT_EQ(value.index, i);
    EXPECT_EQ(end.index, i);
    EXPECT_DOUBLE_EQ(value.normalized, expectedNormalized(i));
  }
}

} // namespace testsupport
