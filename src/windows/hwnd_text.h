// The debug form of a window handle in log fields: HWND(0x1a2b).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include <fmt/format.h>

namespace vantro::windows {

[[nodiscard]] inline std::string hwnd_text(HWND hwnd) {
  return fmt::format("HWND(0x{:x})", reinterpret_cast<std::uintptr_t>(hwnd));
}

}  // namespace vantro::windows
