#include "windows/console.h"

#include <algorithm>

#include "windows/win_error.h"

namespace vantro::windows {

Result<void> write_all(HANDLE handle, std::string_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
    if (!WriteFile(handle, text.data(), chunk, &written, nullptr)) return fail(last_io_error());
    text.remove_prefix(written);
  }
  return {};
}

Result<void> StandardStream::write(std::string_view text) {
  const HANDLE handle = GetStdHandle(which_);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return {};
  return write_all(handle, text);
}

}  // namespace vantro::windows
