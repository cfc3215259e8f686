#include "picking/activation.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include <fmt/format.h>

#include "logging/log.h"

namespace vantro::picking {
namespace {

constexpr std::string_view kTarget = "vantro::windows";
constexpr std::int64_t kLastAbsoluteUnit = 65535;  // absolute mouse units run from 0 to this

// Signed 32-bit arithmetic that wraps on overflow, as the platform's coordinates do.
std::int32_t wrapping_add(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t wrapping_sub(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
std::int32_t wrapping_mul(std::int32_t a, std::int32_t b) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

std::int32_t saturate(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
}

// The quotient rounded toward positive infinity; `divisor` is positive. (Division truncates
// toward zero, which already rounds a negative quotient up.)
std::int64_t divide_rounding_up(std::int64_t dividend, std::int64_t divisor) {
  return dividend / divisor + (dividend % divisor > 0 ? 1 : 0);
}

// Whether any pixel of `rect` (right and bottom exclusive) lies on the virtual screen; 64-bit,
// so that no sum overflows.
bool touches(const ScreenRect& rect, const VirtualScreen& screen) {
  return rect.left < std::int64_t{screen.left} + screen.width && rect.right > screen.left &&
         rect.top < std::int64_t{screen.top} + screen.height && rect.bottom > screen.top;
}

// Signed division truncated toward zero; the one quotient that overflows wraps.
std::int32_t wrapping_div(std::int32_t a, std::int32_t b) {
  if (a == std::numeric_limits<std::int32_t>::min() && b == -1) return a;
  return a / b;
}

}  // namespace

std::string_view activation_path_name(ActivationPath path) {
  switch (path) {
    case ActivationPath::Invoke:
      return "Invoke";
    case ActivationPath::Toggle:
      return "Toggle";
    case ActivationPath::SelectionItem:
      return "SelectionItem";
    case ActivationPath::ExpandCollapse:
      return "ExpandCollapse";
    case ActivationPath::LegacyDefaultAction:
      return "LegacyDefaultAction";
  }
  return "LegacyDefaultAction";
}

ScreenPoint rect_centre(const ScreenRect& rect) {
  return {wrapping_add(rect.left, rect.right) / 2, wrapping_add(rect.top, rect.bottom) / 2};
}

GlidePlan plan_glide(ScreenPoint from, ScreenPoint to) {
  GlidePlan plan;
  plan.target = to;
  const std::int32_t dx = wrapping_sub(to.x, from.x);
  const std::int32_t dy = wrapping_sub(to.y, from.y);
  const std::int64_t distance = std::max(std::llabs(dx), std::llabs(dy));
  if (distance < kShortestGlide) return plan;
  // At least 2 steps, at most 2^31 / 20: the count fits in 32 bits.
  const auto steps = static_cast<std::int32_t>(distance / kPixelsPerGlideStep);
  const std::int32_t step_x = wrapping_div(dx, steps);
  const std::int32_t step_y = wrapping_div(dy, steps);
  plan.pause = std::chrono::milliseconds(kGlideDuration.count() / steps);
  plan.intermediate.reserve(static_cast<std::size_t>(steps - 1));
  for (std::int32_t k = 1; k < steps; ++k)
    plan.intermediate.push_back(
        {wrapping_add(from.x, wrapping_mul(k, step_x)), wrapping_add(from.y, wrapping_mul(k, step_y))});
  return plan;
}

std::int32_t normalise_coordinate(std::int32_t value, std::int32_t origin, std::int32_t extent) {
  if (extent <= 1) return 0;
  // |offset| < 2^32, so the product stays below 2^48.
  const std::int64_t offset = std::int64_t{value} - std::int64_t{origin};
  return saturate(divide_rounding_up(offset * kLastAbsoluteUnit, std::int64_t{extent} - 1));
}

MouseInput absolute_move(ScreenPoint point, const VirtualScreen& screen) {
  return {normalise_coordinate(point.x, screen.left, screen.width),
          normalise_coordinate(point.y, screen.top, screen.height), kMouseMoveAbsolute};
}

std::optional<ScreenRect> overlap(const ScreenRect& rect, const ScreenRect& area) {
  const ScreenRect part{std::max(rect.left, area.left), std::max(rect.top, area.top),
                        std::min(rect.right, area.right), std::min(rect.bottom, area.bottom)};
  if (part.left >= part.right || part.top >= part.bottom) return std::nullopt;
  return part;
}

Result<ScreenPoint> choose_click_point(ActivationTarget& target, MouseDevice& mouse,
                                       const VirtualScreen& screen) {
  // A point that no monitor shows would be clicked at a monitor's edge, on whatever lies there.
  if (const std::optional<ScreenPoint> point = target.clickable_point()) {
    Result<std::optional<ScreenRect>> monitor = mouse.monitor_at(*point);
    if (!monitor) return fail(std::move(monitor.error()));
    if (*monitor) return *point;
  }
  Result<ScreenRect> rect = target.bounding_rectangle();
  if (!rect) return fail(std::move(rect.error()));
  // A vanished or hidden element reads as 0, 0, 0, 0: its centre is no place to click.
  if (rect->right <= rect->left || rect->bottom <= rect->top)
    return fail(fmt::format("element bounding rectangle has no area: left {}, top {}, right {}, bottom {}",
                            rect->left, rect->top, rect->right, rect->bottom));
  Result<std::optional<ScreenRect>> monitor = mouse.monitor_with_most_of(*rect);
  if (!monitor) return fail(std::move(monitor.error()));
  const std::optional<ScreenRect> part = *monitor ? overlap(*rect, **monitor) : std::nullopt;
  if (part) return rect_centre(*part);
  if (!touches(*rect, screen))
    return fail(
        fmt::format("element lies outside the virtual screen: left {}, top {}, right {}, bottom {}; "
                    "virtual screen left {}, top {}, width {}, height {}",
                    rect->left, rect->top, rect->right, rect->bottom, screen.left, screen.top, screen.width,
                    screen.height));
  return fail(fmt::format("element lies on no monitor: left {}, top {}, right {}, bottom {}", rect->left,
                          rect->top, rect->right, rect->bottom));
}

Result<void> move_cursor(MouseDevice& mouse, ScreenPoint point) {
  Result<VirtualScreen> screen = mouse.virtual_screen();
  if (!screen) return fail(std::move(screen.error()));
  return mouse.send(absolute_move(point, *screen));
}

Result<void> glide_cursor(MouseDevice& mouse, ScreenPoint point) {
  Result<ScreenPoint> cursor = mouse.cursor_position();
  if (!cursor) return fail(std::move(cursor.error()));
  const GlidePlan plan = plan_glide(*cursor, point);
  for (const ScreenPoint& step : plan.intermediate) {
    if (Result<void> moved = move_cursor(mouse, step); !moved) return moved;
    mouse.sleep(plan.pause);
  }
  return move_cursor(mouse, plan.target);
}

Result<void> click_left(MouseDevice& mouse) {
  if (Result<void> down = mouse.send({0, 0, kMouseLeftDown}); !down) return down;
  mouse.sleep(kClickPause);
  if (Result<void> up = mouse.send({0, 0, kMouseLeftUp}); !up) {
    // Never leave the button held down in the system's view.
    if (Result<void> again = mouse.send({0, 0, kMouseLeftUp}); !again)
      mouse.write_standard_error("vantro: releasing the left mouse button failed: " +
                                 again.error().alternate());
    return up;
  }
  mouse.sleep(kClickPause);
  return {};
}

Result<void> click_element(ActivationTarget& target, MouseDevice& mouse) {
  Result<VirtualScreen> screen = mouse.virtual_screen();
  if (!screen) return fail(std::move(screen.error()));
  Result<ScreenPoint> point = choose_click_point(target, mouse, *screen);
  if (!point) return fail(std::move(point.error()));
  if (Result<void> glided = glide_cursor(mouse, *point); !glided) return glided;
  return click_left(mouse);
}

Result<void> activate(ElementId id, ActivationTarget& target, MouseDevice& mouse) {
  for (const ActivationPath path : kActivationOrder) {
    if (!target.try_pattern(path)) continue;
    VANTRO_LOG(log::Level::Debug, kTarget, "element invoked via UIA pattern", log::debug("id", id),
               log::debug("path", path));
    return {};
  }
  if (Result<void> clicked = click_element(target, mouse); !clicked)
    return fail(
        std::move(clicked.error()).context("element.click() failed").context("invoking element failed"));
  VANTRO_LOG(log::Level::Warn, kTarget, "no UIA pattern matched; used mouse-click fallback",
             log::debug("id", id));
  return {};
}

}  // namespace vantro::picking
