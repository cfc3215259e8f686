// The texts that name the codes, written out for the tests that compare the program's texts
// with them: the UI Automation codes' own descriptions, and for one code without a description
// of its own, what it reads as when the system has no text for it.
#pragma once

#include <cstdint>

namespace vantro::test_support {

struct CodeText {
  std::uint32_t code;
  const char* text;
};

inline constexpr CodeText kCodeTexts[] = {
    {0x80040200, "the element is not enabled"},
    {0x80040201, "the element is no longer available"},
    {0x80040202, "the element has no clickable point"},
    {0x80040204, "the element does not support this"},
    {0x80131509, "the operation is not valid for the element"},
    {0x80131505, "the operation timed out"},
    {0x80040203, "error 0x80040203"},
};

}  // namespace vantro::test_support
