#include "windows/win_error.h"

#include "windows/wide.h"

namespace vantro::windows {

std::string system_message(HRESULT hr) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(hr), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring message;
  if (length != 0 && buffer != nullptr) message.assign(buffer, length);
  if (buffer != nullptr) LocalFree(buffer);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
    message.pop_back();
  if (message.empty()) return "Unknown error";
  return narrow(message);
}

Error hresult_error(HRESULT hr) { return Error::hresult(static_cast<std::int32_t>(hr), system_message(hr)); }

Error last_error() {
  const DWORD code = GetLastError();
  return hresult_error(HRESULT_FROM_WIN32(code));
}

Error io_error(DWORD code) {
  return Error::io(static_cast<int>(code), system_message(HRESULT_FROM_WIN32(code)));
}

Error last_io_error() { return io_error(GetLastError()); }

}  // namespace vantro::windows
