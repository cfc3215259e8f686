// The badge layout over arbitrary target lists: the fast search places every badge exactly
// where testing every candidate against every placed badge does, and the leader line of each
// badge to its target starts on the badge, ends in the tip of its arrow head and is drawn only
// when it is long enough.
//
// Input: one byte selecting the style (bit 0) and whether targets have names (bit 1), two
// 16-bit values for the desktop origin, then per target four 16-bit values (x, y, width,
// height; values beyond +-30000 are moved to the ends of the 32-bit range, +-30001 to the
// ends themselves) and one byte of
// name length followed by the name. At most 64 targets.
#include <cmath>
#include <cstdlib>
#include <limits>

#include "config/config.h"
#include "fuzz_support.h"
#include "hint/hint_generator.h"
#include "overlay/badge_layout.h"
#include "overlay/color.h"
#include "overlay/leader.h"

using namespace vantro::overlay;

namespace {

std::int32_t coordinate(vantro::fuzz::Input& input) {
  const auto raw = static_cast<std::int16_t>(input.u16());
  // Now and then a value near the ends of the 32-bit range, to reach the saturating paths;
  // 30001 and -30001 are the ends themselves.
  if (raw > 30000) return std::numeric_limits<std::int32_t>::max() - (raw - 30001);
  if (raw < -30000) return std::numeric_limits<std::int32_t>::min() + (-30001 - raw);
  return raw;
}

void check_leader(const Rect& badge, const Rect& target) {
  const auto leader = leader_geometry(badge, target);
  if (contains(target, badge)) VANTRO_FUZZ_CHECK(!leader);
  if (!leader) return;
  const Point from = leader->badge_end, to = leader->target_end;
  VANTRO_FUZZ_CHECK(from.x >= badge.left && from.x <= badge.right);
  VANTRO_FUZZ_CHECK(from.y >= badge.top && from.y <= badge.bottom);
  VANTRO_FUZZ_CHECK(std::hypot(static_cast<double>(to.x) - from.x, static_cast<double>(to.y) - from.y) >=
                    kMinLeaderLength);
  VANTRO_FUZZ_CHECK(leader->arrow[0] == to);
  // The base corners stay beside the tip, as near as a float's 24 bits place them.
  for (const Point corner : {leader->arrow[1], leader->arrow[2]}) {
    VANTRO_FUZZ_CHECK(std::llabs(std::int64_t{corner.x} - to.x) <= 512);
    VANTRO_FUZZ_CHECK(std::llabs(std::int64_t{corner.y} - to.y) <= 512);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantro::fuzz::Input input(data, size);
  const std::uint8_t mode = input.byte();
  const OverlayStyle style =
      (mode & 1) ? OverlayStyle::for_windows(vantro::config::BadgeColors{}) : OverlayStyle::for_elements({});
  const std::int32_t vx = coordinate(input);
  const std::int32_t vy = coordinate(input);

  std::vector<OverlayTarget> targets;
  while (!input.empty() && targets.size() < 64) {
    OverlayTarget t;
    t.x = coordinate(input);
    t.y = coordinate(input);
    t.width = coordinate(input);
    t.height = coordinate(input);
    const std::size_t name_length = input.byte() % 80;
    if (name_length > 0 && (mode & 2)) {
      std::string name;
      for (std::size_t i = 0; i < name_length && !input.empty(); ++i)
        name.push_back(static_cast<char>(input.byte()));
      t.name = std::move(name);
    }
    targets.push_back(std::move(t));
  }
  const auto labels = vantro::hint::HintGenerator("asdfghjkl").generate(targets.size());
  for (std::size_t i = 0; i < targets.size(); ++i) targets[i].label = labels[i];

  const auto fast = layout_hints(targets, style, vx, vy);
  const auto exhaustive = layout_hints_exhaustive(targets, style, vx, vy);
  VANTRO_FUZZ_CHECK(fast.size() == targets.size());
  VANTRO_FUZZ_CHECK(fast == exhaustive);
  for (std::size_t i = 0; i < fast.size(); ++i) {
    VANTRO_FUZZ_CHECK(fast[i].label == targets[i].label);
    VANTRO_FUZZ_CHECK(fast[i].badge_rect.left <= fast[i].badge_rect.right);
    VANTRO_FUZZ_CHECK(fast[i].badge_rect.top <= fast[i].badge_rect.bottom);
    check_leader(fast[i].badge_rect, fast[i].target_rect);
  }
  return 0;
}
