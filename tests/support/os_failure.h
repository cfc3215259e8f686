// What a failed Windows call reads as in the program's messages, formed here from the
// system's own text: "{FormatMessageW's text for the code} (os error {code})".
#pragma once

#include <windows.h>

#include <string>

#include <fmt/format.h>

#include "windows/wide.h"

namespace vantro::test_support {

inline std::string os_failure(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer, length);
  LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  return fmt::format("{} (os error {})", windows::narrow(text), code);
}

}  // namespace vantro::test_support
