#include "core/os_error.h"

#include <cerrno>
#include <optional>
#include <string_view>
#include <system_error>

#include <fmt/format.h>

#ifdef _WIN32
#include "core/kernel32.h"
#include "core/text.h"
#endif

namespace vantro {

std::string os_system_text(std::uint32_t code) {
#ifdef _WIN32
  constexpr kernel32::Dword kAllocateBuffer = 0x100;  // FORMAT_MESSAGE_ALLOCATE_BUFFER
  constexpr kernel32::Dword kIgnoreInserts = 0x200;   // FORMAT_MESSAGE_IGNORE_INSERTS
  constexpr kernel32::Dword kFromSystem = 0x1000;     // FORMAT_MESSAGE_FROM_SYSTEM
  wchar_t* buffer = nullptr;
  const kernel32::Dword length =
      kernel32::FormatMessageW(kAllocateBuffer | kFromSystem | kIgnoreInserts, nullptr, code, 0,
                               reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::u16string message;
  if (length != 0 && buffer != nullptr) message.assign(reinterpret_cast<const char16_t*>(buffer), length);
  if (buffer != nullptr) kernel32::LocalFree(buffer);
  while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' || message.back() == u' '))
    message.pop_back();
  return text::to_utf8(message);
#else
  return std::generic_category().message(static_cast<int>(code));
#endif
}

std::string os_error_text(std::uint32_t code) {
  std::string text = os_system_text(code);
  return text.empty() ? "Unknown error" : text;
}

std::optional<std::string_view> element_code_description(std::uint32_t code) {
  struct Described {
    std::uint32_t code;
    std::string_view text;
  };
  // The failures of UI Automation's calls. The system's message table holds no texts of these
  // codes, or, for some of them, the texts of the COM+ event system's codes of the same numbers
  // (0x80040201 reads "An event was unable to invoke any of the subscribers").
  constexpr Described kDescribed[] = {
      {0x80040200, "the element is not enabled"},                  // UIA_E_ELEMENTNOTENABLED
      {0x80040201, "the element is no longer available"},          // UIA_E_ELEMENTNOTAVAILABLE
      {0x80040202, "the element has no clickable point"},          // UIA_E_NOCLICKABLEPOINT
      {0x80040204, "the element does not support this"},           // UIA_E_NOTSUPPORTED
      {0x80131509, "the operation is not valid for the element"},  // UIA_E_INVALIDOPERATION
      {0x80131505, "the operation timed out"},                     // UIA_E_TIMEOUT
  };
  for (const Described& described : kDescribed)
    if (described.code == code) return described.text;
  return std::nullopt;
}

std::string element_error_text(std::uint32_t code, std::string_view system_text) {
  if (const std::optional<std::string_view> text = element_code_description(code)) return std::string(*text);
  if (!system_text.empty()) return std::string(system_text);
  return fmt::format("error 0x{:08X}", code);
}

std::string hresult_text(std::uint32_t code) {
  return element_error_text(code, os_system_text(code));
}

Error os_error(std::uint32_t code) {
  return Error::io(static_cast<int>(code), os_error_text(code));
}

Error last_os_error() {
#ifdef _WIN32
  return os_error(kernel32::GetLastError());
#else
  return os_error(static_cast<std::uint32_t>(errno != 0 ? errno : EIO));
#endif
}

}  // namespace vantro
