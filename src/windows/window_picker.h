// The window picker: lists the top-level windows a user would switch to, labels them on the
// overlay with their titles beside the labels, and brings the chosen one to the foreground.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/error.h"
#include "hint/hint_generator.h"
#include "overlay/overlay_style.h"
#include "picking/window_filter.h"

namespace vantro::windows {

struct WindowInfo {
  HWND hwnd = nullptr;
  std::string title;  // never empty
  // The frame rectangle (right − left and bottom − top, no + 1); 0, 0, 200, 40 when minimized.
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const WindowInfo&, const WindowInfo&) = default;
};

// The pickable windows in the order EnumWindows reports them.
[[nodiscard]] Result<std::vector<WindowInfo>> enumerate_visible();

// The EnumWindows callback of enumerate_visible; `state` is its enumeration state. Always
// returns TRUE.
BOOL CALLBACK enum_windows_callback(HWND hwnd, LPARAM state) noexcept;

// The visible frame (without invisible resize borders) where the system reports it, else the
// window rectangle; none when neither can be read.
[[nodiscard]] std::optional<picking::FrameRect> window_frame_rect(HWND hwnd) noexcept;

// Labels the windows over "asdfghjkl", whatever alphabet is configured, and returns the
// chosen one, none when cancelled or the list is empty, or the overlay's error.
[[nodiscard]] Result<std::optional<WindowInfo>> show_window_picker(std::vector<WindowInfo> windows,
                                                                   const overlay::OverlayStyle& style);

// The same with the given label generator.
[[nodiscard]] Result<std::optional<WindowInfo>> run_window_overlay(std::vector<WindowInfo> windows,
                                                                   const hint::HintGenerator& hints,
                                                                   const overlay::OverlayStyle& style);

// Restores the window when it is minimized and asks once for it to become the foreground
// window. A refusal is only logged: the result is always success.
[[nodiscard]] Result<void> focus_window(HWND hwnd);

}  // namespace vantro::windows
