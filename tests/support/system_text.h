// The system's own texts for Windows error codes, read here with FormatMessageW, so that tests
// compare the program's messages with what the system says rather than with the program's
// own formatting.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

#include <fmt/format.h>

#include "windows/wide.h"

namespace vantro::test_support {

// The text for a Win32 error code or an HRESULT, without its line break; `none` when the system
// has none (Wine has none for RPC_E_CHANGED_MODE or the UI Automation codes).
inline std::string system_text_or(DWORD code, std::string_view none) {
  std::array<wchar_t, 512> buffer{};
  const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                      code, 0, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr);
  std::wstring text(buffer.data(), length);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
    text.pop_back();
  return text.empty() ? std::string(none) : windows::narrow(text);
}

// The same; "Unknown error" when the system has none.
inline std::string system_text(DWORD code) {
  return system_text_or(code, "Unknown error");
}

// What a failed Windows call reads as in the program's messages:
// "{the system's text for the code} (os error {code})".
inline std::string os_failure(DWORD code) {
  return fmt::format("{} (os error {})", system_text(code), code);
}

}  // namespace vantro::test_support
