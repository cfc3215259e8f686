// The leader line from a badge to its target, with an arrow head at the target end.
#pragma once

#include <array>
#include <optional>

#include "overlay/geometry.h"

namespace vantro::overlay {

// Lines shorter than this (squared length below 36) are not drawn.
inline constexpr std::int32_t kMinLeaderLength = 6;

struct Leader {
  Point badge_end;
  Point target_end;
  // The arrow head: its tip (the target end), then its two base corners.
  std::array<Point, 3> arrow;
  friend bool operator==(const Leader&, const Leader&) = default;
};

// The line between the nearest edges of badge and target, one axis at a time; none when the
// badge lies inside the target or the two ends are closer than kMinLeaderLength.
[[nodiscard]] std::optional<Leader> leader_geometry(const Rect& badge, const Rect& target);

}  // namespace vantro::overlay
