// Environment variables, read as UTF-16 on Windows so that a value that is not valid Unicode
// can be told apart from a missing one.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vantro::env {

enum class VarState { Unset, Invalid, Set };

struct Var {
  VarState state = VarState::Unset;
  std::string value;  // UTF-8, meaningful when state == Set
};

[[nodiscard]] Var read(std::string_view name);

// The value exactly as the system holds it, as a path (no check of its content); nothing when
// the variable is unset. A set but empty value gives an empty path.
[[nodiscard]] std::optional<std::filesystem::path> read_path(std::string_view name);

// The value when it is set and valid Unicode.
[[nodiscard]] inline std::optional<std::string> unicode_value(std::string_view name) {
  Var var = read(name);
  if (var.state != VarState::Set) return std::nullopt;
  return std::move(var.value);
}

}  // namespace vantro::env
