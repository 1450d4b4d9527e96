#include "tests/support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> g_allocations{0};

void* CountedAllocate(std::size_t size) {
  g_allocations.fetch_add(1);
  return std::malloc(size ? size : 1);
}

void* CountedAllocateOrThrow(std::size_t size) {
  if (void* p = CountedAllocate(size)) return p;
  throw std::bad_alloc();
}

} // namespace

namespace testsupport {

long AllocationCount() { return g_allocations.load(); }

} // namespace testsupport

void* operator new(std::size_t size) { return CountedAllocateOrThrow(size); }
void* operator new[](std::size_t size) { return CountedAllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return CountedAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return CountedAllocate(size);
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
