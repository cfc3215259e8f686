#include "windows/win_error.h"

#include "core/os_error.h"

namespace vantro::windows {

std::string system_message(HRESULT hr) {
  return os_error_text(static_cast<std::uint32_t>(hr));
}

Error hresult_error(HRESULT hr) {
  return Error::hresult(static_cast<std::int32_t>(hr), system_message(hr));
}

Error last_error() {
  const DWORD code = GetLastError();
  return hresult_error(HRESULT_FROM_WIN32(code));
}

Error io_error(DWORD code) {
  return os_error(code);
}

Error last_io_error() {
  return io_error(GetLastError());
}

}  // namespace vantro::windows
