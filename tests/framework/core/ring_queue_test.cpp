#include "framework/core/ring_queue.h"
#include "framework/core/queue_messages.h"

#include <gtest/gtest.h>

namespace plugkit {
namespace {

TEST(RingQueue, HoldsOneLessThanItsSlotsAndDropsWhenFull) {
  RingQueue<MidiMessage> queue(33);
  MidiMessage out;
  EXPECT_FALSE(queue.Pop(out));
  for (int i = 0; i < 33; ++i) queue.Push(MidiMessage{i, 0x90, static_cast<uint8_t>(i), 100});
  EXPECT_EQ(queue.ElementsAvailable(), 32);
  ASSERT_TRUE(queue.Pop(out));
  EXPECT_EQ(out.offset, 0);
  queue.Push(MidiMessage{77, 0x80, 1, 0});
  EXPECT_EQ(queue.ElementsAvailable(), 32);
  for (int i = 1; i < 32; ++i) {
    ASSERT_TRUE(queue.Pop(out));
    EXPECT_EQ(out.offset, i);
  }
  ASSERT_TRUE(queue.Pop(out));
  EXPECT_EQ(out.offset, 77);
  EXPECT_FALSE(queue.Pop(out));
  EXPECT_EQ(out.offset, 77);
}

TEST(RingQueue, CountsAcrossTheWrap) {
  RingQueue<ParamChange> queue(5);
  ParamChange out;
  for (int round = 0; round < 10; ++round) {
    queue.Push(ParamChange{round, 0.5});
    queue.Push(ParamChange{round + 100, 0.25});
    EXPECT_EQ(queue.ElementsAvailable(), 2);
    ASSERT_TRUE(queue.Pop(out));
    EXPECT_EQ(out.paramIdx, round);
    ASSERT_TRUE(queue.Pop(out));
    EXPECT_EQ(out.paramIdx, round + 100);
    EXPECT_EQ(queue.ElementsAvailable(), 0);
  }
}

TEST(RingQueue, MessageRecordsHaveTheirWireSizes) {
  EXPECT_EQ(sizeof(MidiMessage), 8u);
  EXPECT_EQ(sizeof(SysExRecord), 520u);
}

} // namespace
} // namespace plugkit
