#include "framework/core/heap_buffer.h"
#include "framework/core/pointer_list.h"

#include <gtest/gtest.h>

#include <cstring>

namespace plugkit {
namespace {

// Growing one byte at a time, as writers of texts and chunks do, keeps the
// block wherever the new size fits and grows it rarely, with room to spare
// but never more than 4 MiB of it.
TEST(HeapBuffer, GrowthKeepsTheBlockWhileItFitsAndMovesRarely) {
  for (int granularity : {128, 4096}) {
    SCOPED_TRACE(granularity);
    HeapBuffer buffer(granularity);
    int growths = 0;
    for (int size = 1; size <= 100000; ++size) {
      const int capacity = buffer.Capacity();
      const uint8_t* data = buffer.Data();
      buffer.Resize(size, false);
      ASSERT_EQ(buffer.Size(), size);
      ASSERT_GE(buffer.Capacity(), size);
      if (size <= capacity)
        ASSERT_EQ(buffer.Data(), data) << size;
      else
        ++growths;
    }
    EXPECT_LE(growths, 32);
  }

  HeapBuffer chunk(4096);
  chunk.Resize(20000000, false);
  EXPECT_EQ(chunk.Size(), 20000000);
  EXPECT_GE(chunk.Capacity(), chunk.Size());
  EXPECT_LE(chunk.Capacity() - chunk.Size(), 4194304);
}

TEST(HeapBuffer, NegativeSizeFreesAndSameSizeChangesNothing) {
  HeapBuffer buffer(128);
  std::memset(buffer.Resize(300, false), 7, 300);
  const uint8_t* data = buffer.Data();
  EXPECT_EQ(buffer.Resize(300, true), data);
  EXPECT_EQ(buffer.Resize(300, false), data);
  EXPECT_EQ(buffer.Data()[299], 7);

  EXPECT_EQ(buffer.Resize(-5, true), nullptr);
  EXPECT_EQ(buffer.Size(), 0);
  EXPECT_EQ(buffer.Capacity(), 0);
  EXPECT_EQ(buffer.Data(), nullptr);
}

// A small shrink keeps the block; a large one gives most of it back and
// keeps what still fits.
TEST(HeapBuffer, ShrinkGivesMemoryBackOnlyWhenMuchIsUnused) {
  HeapBuffer buffer(128);
  std::memset(buffer.Resize(5334, false), 7, 5334);
  const int capacity = buffer.Capacity();
  const uint8_t* data = buffer.Data();
  EXPECT_EQ(buffer.Resize(5000, true), data);
  EXPECT_EQ(buffer.Capacity(), capacity);
  buffer.Resize(10, true);
  EXPECT_EQ(buffer.Size(), 10);
  EXPECT_GE(buffer.Capacity(), 10);
  EXPECT_LT(buffer.Capacity(), capacity / 2);
  EXPECT_EQ(buffer.Data()[9], 7);

  // Without allowShrink only the size drops.
  buffer.Resize(5334, false);
  const int grown = buffer.Capacity();
  buffer.Resize(0, false);
  EXPECT_EQ(buffer.Size(), 0);
  EXPECT_EQ(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.Capacity(), grown);
}

TEST(HeapBuffer, KeepsContentsWhenGrowingAndCopies) {
  HeapBuffer buffer(128);
  for (int i = 0; i < 100; ++i) {
    buffer.Resize(i + 1, false);
    buffer.Data()[i] = static_cast<uint8_t>(i);
  }
  for (int i = 0; i < 100; ++i) ASSERT_EQ(buffer.Data()[i], i);

  HeapBuffer copy(4096);
  copy.Assign(buffer);
  ASSERT_EQ(copy.Size(), 100);
  EXPECT_EQ(std::memcmp(copy.Data(), buffer.Data(), 100), 0);

  HeapBuffer empty;
  copy.CopyFrom(empty);
  EXPECT_EQ(copy.Size(), 0);
  EXPECT_EQ(copy.Data(), nullptr);
}

TEST(HeapBuffer, ImpossibleSizeKeepsOldBlock) {
  HeapBuffer buffer(4096);
  buffer.Resize(10, false);
  buffer.Data()[9] = 42;
  buffer.Resize(INT32_MAX, false);
  EXPECT_EQ(buffer.Size(), 10);
  EXPECT_EQ(buffer.Data()[9], 42);
}

struct Counted {
  explicit Counted(int& deletions) : deletions_(deletions) {}
  ~Counted() { ++deletions_; }
  int& deletions_;
};

TEST(PointerList, AddGetRemoveAndDeleteAll) {
  int deletions = 0;
  PointerList<Counted> list;
  EXPECT_EQ(list.Get(0), nullptr);
  auto* a = new Counted(deletions);
  auto* b = new Counted(deletions);
  auto* c = new Counted(deletions);
  list.Add(a);
  list.Add(b);
  list.Add(c);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.Get(1), b);
  EXPECT_EQ(list.Get(3), nullptr);
  EXPECT_EQ(list.Get(-1), nullptr);

  list.Remove(1);
  delete b;
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list.Get(1), c);

  list.DeleteAll();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(deletions, 3);
}

TEST(PointerList, SetAndDataWorkOnTheEntriesInPlace) {
  PointerList<double> list;
  EXPECT_EQ(list.Data(), nullptr);
  double x = 1.0;
  double y = 2.0;
  list.Add(nullptr);
  list.Add(nullptr);
  list.Set(1, &y);
  list.Set(2, &x);
  list.Set(-1, &x);
  EXPECT_EQ(list.Count(), 2);
  double** entries = list.Data();
  EXPECT_EQ(entries[0], nullptr);
  EXPECT_EQ(entries[1], &y);
}

} // namespace
} // namespace plugkit
