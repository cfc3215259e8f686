#include "windows/console.h"

#include <algorithm>

#include "windows/wide.h"
#include "windows/win_error.h"

namespace vantro::windows {

Result<void> write_all(HANDLE handle, std::string_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
    if (!WriteFile(handle, text.data(), chunk, &written, nullptr)) return fail(last_io_error());
    // A full pipe in non-blocking mode takes nothing and still reports success: asking again
    // would never end.
    if (written == 0) return fail(io_error(ERROR_WRITE_FAULT));
    text.remove_prefix(written);
  }
  return {};
}

Result<void> StandardStream::write(std::string_view text) {
  const HANDLE handle = GetStdHandle(which_);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return {};
  DWORD mode = 0;
  if (GetConsoleMode(handle, &mode)) {
    // A console shows UTF-16 text correctly whatever its code page; bytes it would not.
    const std::wstring wide_text = wide(text);
    std::wstring_view rest = wide_text;
    while (!rest.empty()) {
      DWORD written = 0;
      const auto chunk = static_cast<DWORD>(std::min<std::size_t>(rest.size(), 1u << 14));
      if (!WriteConsoleW(handle, rest.data(), chunk, &written, nullptr) || written == 0)
        return fail(last_io_error());
      rest.remove_prefix(written);
    }
    return {};
  }
  return write_all(handle, text);
}

}  // namespace vantro::windows
