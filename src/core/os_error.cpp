#include "core/os_error.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include "core/kernel32.h"
#include "core/text.h"
#endif

namespace vantro {

std::string os_error_text(std::uint32_t code) {
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
  if (message.empty()) return "Unknown error";
  return text::to_utf8(message);
#else
  return std::generic_category().message(static_cast<int>(code));
#endif
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
