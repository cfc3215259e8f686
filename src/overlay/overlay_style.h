// How one overlay draws its badges: colours, font height, paddings, opacity, leaders and
// placement. A plain value; the overlay takes its own copy for each run.
#pragma once

#include <cstdint>

namespace vantro::config {
struct BadgeColors;
}

namespace vantro::overlay {

// A Windows COLORREF: red in the lowest byte, then green, then blue; the highest byte 0.
using ColorRef = std::uint32_t;

[[nodiscard]] constexpr ColorRef rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  return static_cast<ColorRef>(r) | (static_cast<ColorRef>(g) << 8) | (static_cast<ColorRef>(b) << 16);
}

enum class Placement : std::uint8_t { AboveFirst = 0, InsideOnly = 1 };

struct OverlayStyle {
  std::uint32_t font_height;
  ColorRef badge_bg;
  ColorRef badge_fg;
  ColorRef border;
  ColorRef name_bg;
  ColorRef name_fg;
  std::int32_t pad_x;
  std::int32_t pad_y;
  ColorRef leader_color;
  std::uint8_t alpha;
  bool shadow;
  bool show_leader;
  Placement placement;

  // The element overlay's and the window overlay's presets, overridden by the configured
  // colours, opacity and leader flag (src/overlay/color.cpp). They never fail.
  [[nodiscard]] static OverlayStyle for_elements(const config::BadgeColors& colors);
  [[nodiscard]] static OverlayStyle for_windows(const config::BadgeColors& colors);

  friend bool operator==(const OverlayStyle&, const OverlayStyle&) = default;
};

}  // namespace vantro::overlay
