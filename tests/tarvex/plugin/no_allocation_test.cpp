#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>
#include <vector>

#include "tarvex_rig.h"

// Every allocation of this test program is counted, so the test below sees
// any allocation block processing makes.
namespace {
std::atomic<long> g_allocations{0};

void* CountedAllocate(std::size_t size) {
  g_allocations.fetch_add(1);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
}  // namespace

void* operator new(std::size_t size) { return CountedAllocate(size); }
void* operator new[](std::size_t size) { return CountedAllocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  g_allocations.fetch_add(1);
  return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  g_allocations.fetch_add(1);
  return std::malloc(size ? size : 1);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace tarvex {
namespace {

TEST(TarvexNoAllocation, BlockProcessingNeverAllocates) {
  testing::TestTarvex plug;
  std::vector<float> in0(8192), in1(8192), out0(8192), out1(8192);
  for (int i = 0; i < 8192; ++i) {
    in0[i] = static_cast<float>(0.4 * std::sin(0.07 * i));
    in1[i] = static_cast<float>(0.3 * std::sin(0.19 * i));
  }
  float* ins[2] = {in0.data(), in1.data()};
  float* outs[2] = {out0.data(), out1.data()};
  plug.OnActivate(true);
  ASSERT_EQ(plug.Restore(testing::StateBytes(testing::RichState())), 2708);
  plug.SetInputSilenceFlags(2u);

  const long before = g_allocations.load();
  for (int frames : {0, 1, 513, 8192}) plug.ProcessBlock(ins, outs, frames);
  plug.SetChannelConnections(plugkit::kDirectionOutput, 1, 1, false);
  plug.ProcessBlock(ins, outs, 4096);
  plug.OnActivate(false);
  plug.ProcessBlock(ins, outs, 4096);
  EXPECT_EQ(g_allocations.load(), before);
}

}  // namespace
}  // namespace tarvex
