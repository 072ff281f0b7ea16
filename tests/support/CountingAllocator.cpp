// Global operator new and delete that count allocations and can fail one on
// purpose (see CountingAllocator.h). Kept apart from the tests so the
// compiler does not pair its own knowledge of new with the malloc behind it.

#include "tests/support/CountingAllocator.h"

#include <cstddef>
#include <cstdlib>
#include <new>

#ifdef _WIN32
#include <malloc.h>
#endif

namespace alloctest {

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};
std::atomic<int> failingAllocations{0};
std::atomic<bool> failingEveryAllocation{false};

}  // namespace alloctest

namespace {

// True when this allocation is the one chosen to fail.
bool failsNow() {
  if (alloctest::failingEveryAllocation.load()) return true;
  int left = alloctest::failingAllocations.load();
  while (left > 0) {
    if (alloctest::failingAllocations.compare_exchange_weak(left, left - 1)) return left == 1;
  }
  return false;
}

void* allocate(std::size_t size) {
  if (alloctest::counting.load()) alloctest::allocations.fetch_add(1);
  if (failsNow()) return nullptr;
  return std::malloc(size == 0 ? 1 : size);
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
  if (alloctest::counting.load()) alloctest::allocations.fetch_add(1);
  if (failsNow()) return nullptr;
  const auto align = static_cast<std::size_t>(alignment);
#ifdef _WIN32
  return _aligned_malloc(size == 0 ? 1 : size, align);
#else
  // aligned_alloc wants a whole number of alignments.
  const std::size_t rounded = (size == 0 ? 1 : size + align - 1) / align * align;
  return std::aligned_alloc(align, rounded < align ? align : rounded);
#endif
}

void freeAligned(void* p) noexcept {
#ifdef _WIN32
  _aligned_free(p);
#else
  std::free(p);
#endif
}

}  // namespace

void* operator new(std::size_t size) {
  if (void* p = allocate(size)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

void* operator new(std::size_t size, std::align_val_t alignment) {
  if (void* p = allocateAligned(size, alignment)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t alignment) { return operator new(size, alignment); }
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return allocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
  return allocateAligned(size, alignment);
}
void operator delete(void* p, std::align_val_t) noexcept { freeAligned(p); }
void operator delete[](void* p, std::align_val_t) noexcept { freeAligned(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { freeAligned(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { freeAligned(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { freeAligned(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { freeAligned(p); }
