// Counts the bytes that operator new hands out in this test program (it replaces the global
// operator new and delete), so that a test can measure how much memory a call needs at most.
#pragma once

#include <cstddef>

namespace vantro::test_support {

// The bytes allocated through operator new and not deleted yet.
[[nodiscard]] std::size_t allocated_bytes();

// The most that allocated_bytes() reached since the last reset_allocation_peak().
[[nodiscard]] std::size_t allocation_peak();

// Starts a new peak at the bytes allocated now.
void reset_allocation_peak();

}  // namespace vantro::test_support
