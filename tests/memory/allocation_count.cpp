#include "allocation_count.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace vantro::test_support {
namespace {

// Each block starts with its size, in a header that keeps the alignment that malloc gives.
constexpr std::size_t kHeader = alignof(std::max_align_t);

std::atomic<std::size_t> allocated{0};
std::atomic<std::size_t> peak{0};

void* allocate(std::size_t size) noexcept {
  void* block = std::malloc(size + kHeader);
  if (block == nullptr) return nullptr;
  *static_cast<std::size_t*>(block) = size;
  const std::size_t now = allocated.fetch_add(size) + size;
  for (std::size_t seen = peak.load(); now > seen && !peak.compare_exchange_weak(seen, now);) {
  }
  return static_cast<char*>(block) + kHeader;
}

void release(void* memory) noexcept {
  if (memory == nullptr) return;
  void* block = static_cast<char*>(memory) - kHeader;
  allocated.fetch_sub(*static_cast<std::size_t*>(block));
  std::free(block);
}

void* allocate_or_throw(std::size_t size) {
  void* memory = allocate(size);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}

}  // namespace

std::size_t allocated_bytes() {
  return allocated.load();
}

std::size_t allocation_peak() {
  return peak.load();
}

void reset_allocation_peak() {
  peak.store(allocated.load());
}

}  // namespace vantro::test_support

// The global forms without an alignment argument; the aligned ones keep their own allocation.
void* operator new(std::size_t size) {
  return vantro::test_support::allocate_or_throw(size);
}
void* operator new[](std::size_t size) {
  return vantro::test_support::allocate_or_throw(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return vantro::test_support::allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return vantro::test_support::allocate(size);
}
void operator delete(void* memory) noexcept {
  vantro::test_support::release(memory);
}
void operator delete[](void* memory) noexcept {
  vantro::test_support::release(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
  vantro::test_support::release(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
  vantro::test_support::release(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
  vantro::test_support::release(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
  vantro::test_support::release(memory);
}
