// Global operator new and delete that count allocations while `counting`
// is set (AllocationTest.cpp). Kept apart from the test so the compiler does
// not pair its own knowledge of new with the malloc behind it.

#include <atomic>
#include <cstdlib>
#include <new>

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

namespace {

void* allocate(std::size_t size) {
  if (counting.load()) allocations.fetch_add(1);
  return std::malloc(size == 0 ? 1 : size);
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
