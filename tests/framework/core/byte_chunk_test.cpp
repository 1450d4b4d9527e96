#include "framework/core/byte_chunk.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace plugkit {
namespace {

TEST(ByteChunk, PutAndChainedGet) {
  ByteChunk chunk;
  EXPECT_EQ(chunk.Put(int32_t{0x424B5458}), 4);
  EXPECT_EQ(chunk.Put(1.5), 12);
  EXPECT_EQ(chunk.Put(2.5f), 16);
  // Little-endian bytes, no header.
  EXPECT_EQ(chunk.Data()[0], 'X');
  EXPECT_EQ(chunk.Data()[3], 'B');

  int32_t magic = 0;
  double d = 0;
  float f = 0;
  int pos = chunk.Get(magic, 0);
  pos = chunk.Get(d, pos);
  pos = chunk.Get(f, pos);
  EXPECT_EQ(pos, 16);
  EXPECT_EQ(magic, 0x424B5458);
  EXPECT_EQ(d, 1.5);
  EXPECT_EQ(f, 2.5f);
}

TEST(ByteChunk, ShortReadsGiveMinusOneAndChainStops) {
  ByteChunk chunk;
  chunk.Put(int32_t{1});
  chunk.Put(int32_t{2});
  int32_t value = 99;
  EXPECT_EQ(chunk.Get(value, chunk.Size() - 3), -1);
  EXPECT_EQ(value, 99);
  EXPECT_EQ(chunk.Get(value, -1), -1);
  EXPECT_EQ(chunk.Get(value, chunk.Get(value, chunk.Size())), -1);
  EXPECT_EQ(value, 99);
  EXPECT_EQ(chunk.Get(value, 4), 8);
  EXPECT_EQ(value, 2);
}

TEST(ByteChunk, PositionsNearIntMaxDoNotOverflow) {
  ByteChunk chunk;
  chunk.Put(int64_t{7});
  int64_t value = 5;
  EXPECT_EQ(chunk.Get(value, INT_MAX), -1);
  EXPECT_EQ(chunk.Get(value, INT_MAX - 4), -1);
  EXPECT_EQ(chunk.Get(value, INT_MAX - 8), -1);
  EXPECT_EQ(chunk.GetBytes(&value, INT_MAX, 1), -1);
  EXPECT_EQ(value, 5);
}

TEST(ByteChunk, AppendChunkIncludingItself) {
  ByteChunk a;
  ByteChunk b;
  a.Put(int32_t{1});
  b.Put(int32_t{2});
  b.Put(int32_t{3});
  EXPECT_EQ(a.AppendChunk(b), 12);
  EXPECT_EQ(a.AppendChunk(a), 24);
  int32_t values[6] = {};
  ASSERT_EQ(a.GetBytes(values, sizeof(values), 0), 24);
  const int32_t expected[6] = {1, 2, 3, 1, 2, 3};
  EXPECT_EQ(std::memcmp(values, expected, sizeof(values)), 0);
}

} // namespace
} // namespace plugkit
