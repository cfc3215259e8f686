// The overlay: a transparent, topmost window over the whole virtual desktop that shows one
// hint badge per target and lets the user type a badge's label.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>

#include "core/error.h"
#include "overlay/overlay_style.h"
#include "overlay/overlay_target.h"

namespace vantro::windows {

inline constexpr wchar_t kOverlayClassName[] = L"VantroOverlayClass";
inline constexpr wchar_t kOverlayTitle[] = L"Vantro Overlay";

// Shows the targets and runs a nested message loop until the overlay closes. Returns the index
// of the chosen target in `targets`, none when the user cancelled (Esc, focus lost) or the list
// is empty, or the error of a failed Windows call. The overlay posts no quit message of its
// own: one that the loop meets closes the overlay (none) and is posted again for the caller's
// loop, and one still queued when a label is completed or Esc pressed stays queued for it.
[[nodiscard]] Result<std::optional<std::size_t>> run_overlay(std::span<const overlay::OverlayTarget> targets,
                                                             const overlay::OverlayStyle& style);

// The window procedure of the overlay's class.
LRESULT CALLBACK overlay_wnd_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

// Makes the next SetLayeredWindowAttributes of an overlay fail with this error code, for the
// tests of that failure path; 0 turns it off.
void fail_layered_attributes_for_tests(DWORD error_code) noexcept;

}  // namespace vantro::windows
