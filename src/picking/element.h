// The records of one element enumeration: ids, roles and screen rectangles.
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

#include <fmt/format.h>

namespace vantro::picking {

// Names an element collected by the latest enumeration; numbered from 0 in collection order,
// valid only until the next enumeration.
struct ElementId {
  std::uint64_t value = 0;

  friend auto operator<=>(const ElementId&, const ElementId&) = default;
};

// Debug text: "ElementId(7)".
[[nodiscard]] std::string debug_text(ElementId id);

// What kind of control an element was collected as; only logged.
enum class Role : std::uint8_t {
  Button = 0,
  Link = 1,
  TextInput = 2,
  MenuItem = 3,
  Tab = 4,
  Checkbox = 5,
  Radio = 6,
  ComboBox = 7,
  ListItem = 8,
  TreeItem = 9,
  Other = 10,
};

// The variant's name, which is also its debug text ("Button", "TreeItem").
[[nodiscard]] std::string_view role_name(Role role);
[[nodiscard]] inline std::string debug_text(Role role) {
  return std::string(role_name(role));
}

// A bounding rectangle in physical screen pixels, as UI Automation reports it.
struct ScreenRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The inclusive measures right − left + 1 and bottom − top + 1, in signed 32-bit arithmetic
// that wraps on overflow: a rectangle from left 0 to right 9 is 10 pixels wide.
[[nodiscard]] std::int32_t inclusive_width(const ScreenRect& rect);
[[nodiscard]] std::int32_t inclusive_height(const ScreenRect& rect);

// One collected element: its id, the left and top of its bounding rectangle and the
// inclusive width and height, and the role it was collected as.
struct ElementInfo {
  ElementId id;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;
  Role role = Role::Other;

  friend bool operator==(const ElementInfo&, const ElementInfo&) = default;
};

}  // namespace vantro::picking

template <>
struct fmt::formatter<vantro::picking::Role> : fmt::formatter<std::string_view> {
  auto format(vantro::picking::Role role, format_context& ctx) const {
    return fmt::formatter<std::string_view>::format(vantro::picking::role_name(role), ctx);
  }
};
