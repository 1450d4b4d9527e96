#include "framework/core/queue_messages.h"
#include "framework/core/ring_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace plugkit {
namespace {

// One producer and one consumer thread with no flow control: elements
// pushed while the ring is full are dropped, but whatever arrives arrives
// once and in order.
TEST(RingQueueConcurrency, ProducerConsumerNeverDuplicatesOrReorders) {
  constexpr int kCount = 200000;
  RingQueue<ParamChange> queue(513);
  std::atomic<bool> done{false};
  std::vector<int> received;
  received.reserve(kCount);
  std::thread consumer([&] {
    ParamChange change;
    while (!done.load() || queue.ElementsAvailable() > 0) {
      while (queue.Pop(change)) {
        received.push_back(change.paramIdx);
        ASSERT_EQ(change.value, static_cast<double>(change.paramIdx));
      }
    }
  });
  for (int i = 0; i < kCount; ++i) queue.Push(ParamChange{i, static_cast<double>(i)});
  done.store(true);
  consumer.join();
  ASSERT_FALSE(received.empty());
  EXPECT_LE(received.size(), static_cast<size_t>(kCount));
  for (size_t i = 1; i < received.size(); ++i) ASSERT_LT(received[i - 1], received[i]);
}

TEST(RingQueueConcurrency, FullRingDropsButDeliversAllWhenConsumerKeepsUp) {
  constexpr int kCount = 100000;
  RingQueue<MidiMessage> queue(33);
  std::atomic<bool> done{false};
  std::vector<int> received;
  received.reserve(kCount);
  std::thread consumer([&] {
    MidiMessage message;
    while (!done.load() || queue.ElementsAvailable() > 0) {
      while (queue.Pop(message)) received.push_back(message.offset);
    }
  });
  for (int i = 0; i < kCount; ++i) {
    while (queue.ElementsAvailable() >= 32) std::this_thread::yield();
    queue.Push(MidiMessage{i, 0xB0, 1, 2});
  }
  done.store(true);
  consumer.join();
  ASSERT_EQ(received.size(), static_cast<size_t>(kCount));
  for (int i = 0; i < kCount; ++i) ASSERT_EQ(received[i], i);
}

} // namespace
} // namespace plugkit
