#include "core/environment.h"

#include <cstdlib>

#include "core/text.h"

namespace vantro::env {

Var read(std::string_view name) {
#ifdef _WIN32
  const std::u16string wide_name = text::to_utf16(name);
  const wchar_t* value = _wgetenv(reinterpret_cast<const wchar_t*>(wide_name.c_str()));
  if (value == nullptr) return {};
  const std::u16string_view utf16(reinterpret_cast<const char16_t*>(value));
  auto utf8 = text::to_utf8_strict(utf16);
  if (!utf8) return {VarState::Invalid, {}};
  return {VarState::Set, std::move(*utf8)};
#else
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr) return {};
  if (!text::is_valid_utf8(value)) return {VarState::Invalid, {}};
  return {VarState::Set, value};
#endif
}

std::optional<std::filesystem::path> read_path(std::string_view name) {
#ifdef _WIN32
  const std::u16string wide_name = text::to_utf16(name);
  const wchar_t* value = _wgetenv(reinterpret_cast<const wchar_t*>(wide_name.c_str()));
  if (value == nullptr) return std::nullopt;
  return std::filesystem::path(std::wstring(value));
#else
  const char* value = std::getenv(std::string(name).c_str());
  if (value == nullptr) return std::nullopt;
  return std::filesystem::path(std::string(value));
#endif
}

}  // namespace vantro::env
