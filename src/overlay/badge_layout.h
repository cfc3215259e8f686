// Where each hint badge goes on the overlay. Pure: the overlay window only paints the result.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "overlay/geometry.h"
#include "overlay/overlay_style.h"
#include "overlay/overlay_target.h"

namespace vantro::overlay {

// Names longer than this are sized as if they had this many characters (and end in an
// ellipsis when painted).
inline constexpr std::size_t kMaxNameChars = 50;
// Gap in pixels between a badge and the target above which it sits, between the label box and
// the name box, and between stacked badges.
inline constexpr std::int32_t kBadgeGap = 4;
// Stacked positions below a target's top-left corner that are tested; the next one is taken
// untested when all of them are taken.
inline constexpr std::int32_t kStackTries = 257;

// Sizes shared by every badge of one style.
struct BadgeMetrics {
  std::int32_t label_char_width;  // font_height × 0.62
  std::int32_t name_char_width;   // font_height × 0.5
  std::int32_t badge_height;      // font_height + 2 × pad_y
  friend bool operator==(const BadgeMetrics&, const BadgeMetrics&) = default;
};

[[nodiscard]] BadgeMetrics badge_metrics(const OverlayStyle& style);

// Unicode scalar values in a UTF-8 text.
[[nodiscard]] std::size_t char_count(std::string_view utf8);

// Width of the label box, of the name box, and of the whole badge (label box, gap, name box).
[[nodiscard]] std::int32_t label_box_width(const BadgeMetrics& m, const OverlayStyle& style,
                                           std::string_view label);
[[nodiscard]] std::int32_t name_box_width(const BadgeMetrics& m, const OverlayStyle& style,
                                          std::string_view name);

struct LaidHint {
  std::string label;
  std::optional<std::string> name;
  Rect badge_rect;   // the label box, overlay coordinates
  Rect target_rect;  // the target, overlay coordinates
  bool has_name_box = false;
  Rect name_rect;  // meaningful only with has_name_box
  friend bool operator==(const LaidHint&, const LaidHint&) = default;
};

// Lays out one badge per target. The result is in the caller's order (hint i belongs to
// target i); the placement walks the targets top to bottom and left to right. (vx, vy) is the
// virtual desktop's origin, which overlay coordinates are relative to.
[[nodiscard]] std::vector<LaidHint> layout_hints(std::span<const OverlayTarget> targets,
                                                 const OverlayStyle& style, std::int32_t vx, std::int32_t vy);

// The same placements found by testing every candidate against every badge placed so far; the
// yardstick for layout_hints, which searches only the placed badges nearby.
[[nodiscard]] std::vector<LaidHint> layout_hints_exhaustive(std::span<const OverlayTarget> targets,
                                                            const OverlayStyle& style, std::int32_t vx,
                                                            std::int32_t vy);

}  // namespace vantro::overlay
