#include "overlay/leader.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace vantro::overlay {
namespace {

struct Ends {
  std::int32_t badge;
  std::int32_t target;
};

// Along one axis: from the badge's near edge to the target's near edge when they are apart,
// otherwise both at the middle of their overlap.
Ends axis_ends(std::int32_t b_lo, std::int32_t b_hi, std::int32_t t_lo, std::int32_t t_hi) {
  if (b_hi <= t_lo) return {b_hi, t_lo};
  if (b_lo >= t_hi) return {b_lo, t_hi};
  const std::int64_t mid = (std::int64_t{std::max(b_lo, t_lo)} + std::min(b_hi, t_hi)) / 2;
  return {static_cast<std::int32_t>(mid), static_cast<std::int32_t>(mid)};
}

std::int32_t round_half_away(float v) {
  return saturate(static_cast<std::int64_t>(std::round(v)));
}

}  // namespace

std::optional<Leader> leader_geometry(const Rect& badge, const Rect& target) {
  if (contains(target, badge)) return std::nullopt;
  const Ends x = axis_ends(badge.left, badge.right, target.left, target.right);
  const Ends y = axis_ends(badge.top, badge.bottom, target.top, target.bottom);
  const std::int64_t dx = std::int64_t{x.target} - x.badge;
  const std::int64_t dy = std::int64_t{y.target} - y.badge;
  // Either difference may come near 2^32, whose square no 64-bit integer holds: a line as long
  // as kMinLeaderLength along one axis is long enough without squaring.
  const bool long_enough = std::abs(dx) >= kMinLeaderLength || std::abs(dy) >= kMinLeaderLength ||
                           dx * dx + dy * dy >= std::int64_t{kMinLeaderLength} * kMinLeaderLength;
  if (!long_enough) return std::nullopt;

  const float fdx = static_cast<float>(dx), fdy = static_cast<float>(dy);
  const float d = std::max(std::sqrt(fdx * fdx + fdy * fdy), 1.0f);
  const float ux = fdx / d, uy = fdy / d;
  const float bx = static_cast<float>(x.target) - 7.0f * ux;
  const float by = static_cast<float>(y.target) - 7.0f * uy;
  const Point tip{x.target, y.target};
  return Leader{
      .badge_end = {x.badge, y.badge},
      .target_end = tip,
      .arrow = {tip, Point{round_half_away(bx + 4.0f * -uy), round_half_away(by + 4.0f * ux)},
                Point{round_half_away(bx - 4.0f * -uy), round_half_away(by - 4.0f * ux)}},
  };
}

}  // namespace vantro::overlay
