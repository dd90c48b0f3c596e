// Replaces the global allocation functions with ones that count, so a test
// or benchmark can show that a path allocates nothing. Include it in exactly
// one file of a program; read `allocations` only around the calls of interest.
#pragma once

#include <atomic>
#include <cstdlib>
#include <new>

namespace counting_new {
inline std::atomic<long> allocations{0};
}  // namespace counting_new

// Not inlined: seen together, the compiler would take free() after operator
// new for a mismatch.
[[gnu::noinline]] void* operator new(std::size_t size) {
  counting_new::allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](std::size_t size) { return ::operator new(size); }
[[gnu::noinline]] void operator delete(void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete[](void* block) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete(void* block, std::size_t) noexcept { std::free(block); }
[[gnu::noinline]] void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
