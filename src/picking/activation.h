// Activating a chosen element: its UI Automation patterns in a fixed order, and when none of
// them does it, a left click after gliding the mouse cursor to the element. The decisions
// live here over two small interfaces, the element and the mouse, so that the Win32 layer
// only makes the platform calls.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "picking/element.h"

namespace vantro::picking {

// The pattern through which an activation succeeded.
enum class ActivationPath : std::uint8_t {
  Invoke = 0,
  Toggle = 1,
  SelectionItem = 2,
  ExpandCollapse = 3,
  LegacyDefaultAction = 4,
};

// The variant's name, which is also its debug text.
[[nodiscard]] std::string_view activation_path_name(ActivationPath path);
[[nodiscard]] inline std::string debug_text(ActivationPath path) {
  return std::string(activation_path_name(path));
}

// The order in which the patterns are tried.
inline constexpr std::array<ActivationPath, 5> kActivationOrder = {
    ActivationPath::Invoke, ActivationPath::Toggle, ActivationPath::SelectionItem,
    ActivationPath::ExpandCollapse, ActivationPath::LegacyDefaultAction};

struct ScreenPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;

  friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

// The virtual screen, the rectangle that holds every monitor: its left and top (negative when
// a monitor lies left of or above the primary one) and its size.
struct VirtualScreen {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
};

// The element being activated.
class ActivationTarget {
 public:
  virtual ~ActivationTarget() = default;
  // Asks the element for the pattern, its typed interface, and calls the pattern's method
  // (Invoke, Toggle, Select, Expand or DoDefaultAction); true when that call succeeded. A
  // missing pattern or a failed call is false. Releases every object it obtained.
  [[nodiscard]] virtual bool try_pattern(ActivationPath path) = 0;
  // GetClickablePoint: the point when the element reports one; nothing when it has none or
  // the call fails.
  [[nodiscard]] virtual std::optional<ScreenPoint> clickable_point() = 0;
  // get_CurrentBoundingRectangle, or the element layer's error.
  [[nodiscard]] virtual Result<ScreenRect> bounding_rectangle() = 0;
};

// One synthesized mouse input (the fields of a MOUSEINPUT that the fallback sets).
struct MouseInput {
  std::int32_t dx = 0;
  std::int32_t dy = 0;
  std::uint32_t flags = 0;

  friend bool operator==(const MouseInput&, const MouseInput&) = default;
};

// MOUSEEVENTF_MOVE | MOUSEEVENTF_VIRTUALDESK | MOUSEEVENTF_ABSOLUTE
inline constexpr std::uint32_t kMouseMoveAbsolute = 0xC001;
inline constexpr std::uint32_t kMouseLeftDown = 0x0002;  // MOUSEEVENTF_LEFTDOWN
inline constexpr std::uint32_t kMouseLeftUp = 0x0004;    // MOUSEEVENTF_LEFTUP

// The mouse, the monitors and the clock, as the fallback uses them.
class MouseDevice {
 public:
  virtual ~MouseDevice() = default;
  // GetCursorPos.
  [[nodiscard]] virtual Result<ScreenPoint> cursor_position() = 0;
  // GetSystemMetrics(SM_XVIRTUALSCREEN), (SM_YVIRTUALSCREEN), (SM_CXVIRTUALSCREEN) and
  // (SM_CYVIRTUALSCREEN); an error when the width or the height reads 0.
  [[nodiscard]] virtual Result<VirtualScreen> virtual_screen() = 0;
  // The rectangle of the monitor that shows the point (MonitorFromPoint with
  // MONITOR_DEFAULTTONULL, then GetMonitorInfoW's rcMonitor); nothing when no monitor does, as
  // in the dead area beside a smaller monitor. An error when the monitor cannot be read.
  [[nodiscard]] virtual Result<std::optional<ScreenRect>> monitor_at(ScreenPoint point) = 0;
  // The rectangle of the monitor that shows the largest part of `rect` (MonitorFromRect with
  // MONITOR_DEFAULTTONULL, then rcMonitor); nothing when no monitor shows any of it.
  [[nodiscard]] virtual Result<std::optional<ScreenRect>> monitor_with_most_of(const ScreenRect& rect) = 0;
  // SendInput with this one mouse input; an error unless the record was inserted.
  [[nodiscard]] virtual Result<void> send(const MouseInput& input) = 0;
  virtual void sleep(std::chrono::milliseconds duration) = 0;
  // A line for standard error (dropped when the process has none).
  virtual void write_standard_error(std::string_view line) = 0;
};

// The fixed settings of the mouse fallback.
inline constexpr std::chrono::milliseconds kGlideDuration{500};
inline constexpr std::int64_t kShortestGlide = 40;  // shorter moves jump
inline constexpr std::int64_t kPixelsPerGlideStep = 20;
inline constexpr std::chrono::milliseconds kClickPause{100};

// The centre of a rectangle: each sum in signed 32-bit arithmetic, halved with truncation
// toward zero (a sum of −3 gives −1).
[[nodiscard]] ScreenPoint rect_centre(const ScreenRect& rect);

// How the cursor travels from `from` to `to`: the points of the intermediate moves, each
// followed by `pause`, then the exact target. A distance below 40 pixels along the longer
// axis is one jump (no intermediate moves).
struct GlidePlan {
  std::vector<ScreenPoint> intermediate;
  std::chrono::milliseconds pause{0};
  ScreenPoint target;
};
[[nodiscard]] GlidePlan plan_glide(ScreenPoint from, ScreenPoint to);

// A coordinate in absolute mouse units over the span of the virtual screen that starts at
// `origin` and is `extent` pixels long. Unit 0 is the first pixel (origin) and 65535 the last
// (origin + extent − 1), so units = ceil((value − origin) × 65535 / (extent − 1)), exact in
// 64-bit integers and saturated to the 32-bit range; a span of one pixel (or none) gives 0.
// Rounding up makes every pixel of the span land on itself both where the system scales units
// by (extent − 1) / 65535 and where it takes origin + units × extent / 65536 rounded down.
[[nodiscard]] std::int32_t normalise_coordinate(std::int32_t value, std::int32_t origin, std::int32_t extent);

// The absolute move to `point` over the virtual screen (MOUSEEVENTF_VIRTUALDESK), so that a
// point on any monitor is reached.
[[nodiscard]] MouseInput absolute_move(ScreenPoint point, const VirtualScreen& screen);

// The part of `rect` that lies within `area`. Both have exclusive right and bottom edges, as
// the system's rectangles do (a rectangle from left 0 to right 10 covers the columns 0 to 9);
// nothing when they share no pixel.
[[nodiscard]] std::optional<ScreenRect> overlap(const ScreenRect& rect, const ScreenRect& area);

// The point the fallback clicks: the clickable point when a monitor shows it, else the centre
// of the part of the bounding rectangle on the monitor that shows most of it (for a rectangle
// wholly on one monitor, its own centre). Errors: the rectangle's own when it cannot be read,
// and a monitor's when it cannot be read; "element bounding rectangle has no area: left {},
// top {}, right {}, bottom {}" when right <= left or bottom <= top (a vanished or hidden
// element); when no monitor shows any of it, "element lies outside the virtual screen: left
// {}, top {}, right {}, bottom {}; virtual screen left {}, top {}, width {}, height {}" if no
// pixel of it is on `screen` (a minimised window, an element scrolled out of view), else
// "element lies on no monitor: left {}, top {}, right {}, bottom {}" (the dead area beside a
// smaller monitor).
[[nodiscard]] Result<ScreenPoint> choose_click_point(ActivationTarget& target, MouseDevice& mouse,
                                                     const VirtualScreen& screen);

// Moves the cursor to `point`, reading the virtual screen for every move.
[[nodiscard]] Result<void> move_cursor(MouseDevice& mouse, ScreenPoint point);

// Glides the cursor from where it is to `point` along `plan_glide`'s moves and pauses.
[[nodiscard]] Result<void> glide_cursor(MouseDevice& mouse, ScreenPoint point);

// Left button down and up where the cursor stands, with a pause after each. When the
// button-up is refused one more is sent (its failure only goes to standard error) before
// the error is returned.
[[nodiscard]] Result<void> click_left(MouseDevice& mouse);

// The mouse fallback: read the virtual screen, choose the point on a monitor, glide there, click.
// Errors are the element layer's or the input's own, without context; when the point cannot be
// chosen no input is sent and the cursor is not read.
[[nodiscard]] Result<void> click_element(ActivationTarget& target, MouseDevice& mouse);

// Tries the patterns in order, then the mouse fallback. Logs at DEBUG "element invoked via
// UIA pattern" (fields `id`, `path`) or at WARN "no UIA pattern matched; used mouse-click
// fallback" (field `id`). A failed fallback is returned inside the contexts
// "element.click() failed" and "invoking element failed", and nothing is logged.
[[nodiscard]] Result<void> activate(ElementId id, ActivationTarget& target, MouseDevice& mouse);

}  // namespace vantro::picking
