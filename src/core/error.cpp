#include "core/error.h"

#include <fmt/format.h>

namespace vantro {

Error Error::hresult(std::int32_t hr, std::string_view system_message) {
  return coded(hr, fmt::format("{} (0x{:08X})", system_message, static_cast<std::uint32_t>(hr)));
}

Error Error::coded(std::int32_t hr, std::string message) {
  Error error(std::move(message));
  error.hresult_code_ = hr;
  return error;
}

Error Error::io(int code, std::string_view system_message) {
  return Error(fmt::format("{} (os error {})", system_message, code));
}

std::string Error::alternate() const {
  std::string text;
  for (auto it = chain_.rbegin(); it != chain_.rend(); ++it) {
    if (!text.empty() || it != chain_.rbegin()) text += ": ";
    text += *it;
  }
  return text;
}

std::string Error::debug() const {
  std::string text = chain_.back();
  if (chain_.size() == 1) return text;
  text += "\n\nCaused by:";
  const bool numbered = chain_.size() > 2;
  std::size_t index = 0;
  for (auto it = chain_.rbegin() + 1; it != chain_.rend(); ++it, ++index) {
    text += numbered ? fmt::format("\n    {}: {}", index, *it) : fmt::format("\n    {}", *it);
  }
  return text;
}

}  // namespace vantro
