// Which top-level windows the window picker lists: a decision over the facts of one window,
// which the Win32 enumeration gathers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace vantro::picking {

// A window handle as a number, for decisions and log events away from the Win32 layer; its
// debug form is HWND(0x…).
struct WindowHandle {
  std::uintptr_t value = 0;
  friend bool operator==(const WindowHandle&, const WindowHandle&) = default;
};
[[nodiscard]] std::string debug_text(WindowHandle hwnd);

inline constexpr std::uint64_t kToolWindowStyle = 0x80;  // WS_EX_TOOLWINDOW

// A frame rectangle as left, top, right − left and bottom − top, in screen pixels.
struct FrameRect {
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  friend bool operator==(const FrameRect&, const FrameRect&) = default;
};

// Where a minimized window's badge goes: its own rectangle says nothing useful.
inline constexpr FrameRect kMinimizedRect{0, 0, 200, 40};

struct WindowFacts {
  WindowHandle hwnd;
  bool visible = false;
  std::uint32_t cloaked = 0;  // 0 also when the query failed
  bool root_owner_is_self = false;
  std::uint64_t ex_style = 0;
  std::string class_name;  // empty when it could not be read
  std::string title;       // empty when it could not be read
  bool minimized = false;
  std::optional<FrameRect> frame;  // none when no query gave one
};

enum class SkipReason : std::uint8_t {
  NotVisible,
  Cloaked,
  Owned,
  ToolWindow,
  ShellClass,
  EmptyTitle,
  NoFrame,
  InvalidDimensions,
};

struct Listed {
  FrameRect rect;
  friend bool operator==(const Listed&, const Listed&) = default;
};
struct Skipped {
  SkipReason reason;
  friend bool operator==(const Skipped&, const Skipped&) = default;
};
using WindowDecision = std::variant<Listed, Skipped>;

// The filters in order: visible, not cloaked, not owned, not a tool window, not a shell
// window ("Shell_TrayWnd", "Progman", "WorkerW", case-sensitive), titled, and a frame of
// positive size (a minimized window always gets kMinimizedRect). Logs the TRACE event of
// each skip that has one and of each listed window, under vantro::windows::window_picker.
[[nodiscard]] WindowDecision decide_window(const WindowFacts& facts);

}  // namespace vantro::picking
