#include "tests/support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<long> g_allocations{0};

void* CountedAllocate(std::size_t size) {
#if !defined(_WIN32)
  // The Windows build counts this in its malloc below.
  g_allocations.fetch_add(1);
#endif
  return std::malloc(size ? size : 1);
}

void* CountedAllocateOrThrow(std::size_t size) {
  if (void* p = CountedAllocate(size)) return p;
  throw std::bad_alloc();
}

} // namespace

#if defined(_WIN32)
// The Windows build links with --wrap for malloc, calloc and realloc, so
// every call of the C allocator in the program comes here: the runtime's
// own (thread-local storage is emulated with them) as well as operator new.
extern "C" {
void* __real_malloc(std::size_t size);
void* __real_calloc(std::size_t count, std::size_t size);
void* __real_realloc(void* p, std::size_t size);

void* __wrap_malloc(std::size_t size) {
  g_allocations.fetch_add(1);
  return __real_malloc(size);
}
void* __wrap_calloc(std::size_t count, std::size_t size) {
  g_allocations.fetch_add(1);
  return __real_calloc(count, size);
}
void* __wrap_realloc(void* p, std::size_t size) {
  g_allocations.fetch_add(1);
  return __real_realloc(p, size);
}
}
#endif

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
