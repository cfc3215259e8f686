// UTF-8 ↔ UTF-16 at the Windows boundary (wchar_t is UTF-16 there).
#pragma once

#include <string>
#include <string_view>

#include "core/text.h"

namespace vantro::windows {

[[nodiscard]] inline std::wstring wide(std::string_view utf8) {
  const std::u16string utf16 = text::to_utf16(utf8);
  return {utf16.begin(), utf16.end()};
}

[[nodiscard]] inline std::string narrow(std::wstring_view utf16) {
  return text::to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(utf16.data()), utf16.size()));
}

}  // namespace vantro::windows
