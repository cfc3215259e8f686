// The debug form of a window handle in log fields: HWND(0x1a2b).
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "picking/window_filter.h"

namespace vantro::windows {

[[nodiscard]] inline std::string hwnd_text(HWND hwnd) {
  return picking::debug_text(picking::WindowHandle{reinterpret_cast<std::uintptr_t>(hwnd)});
}

}  // namespace vantro::windows
