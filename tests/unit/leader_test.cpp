#include "overlay/leader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>

namespace vantro::overlay {
namespace {

// A badge, its target and the ends of the line between them.
struct EndsCase {
  const char* what;
  Rect badge;
  Rect target;
  Point badge_end;
  Point target_end;
};

// The leader of `c`, after checking that there is one with the ends of `c`.
std::optional<Leader> leader_with_ends(const EndsCase& c) {
  SCOPED_TRACE(c.what);
  const auto leader = leader_geometry(c.badge, c.target);
  EXPECT_TRUE(leader);
  if (leader) {
    EXPECT_EQ(leader->badge_end, c.badge_end);
    EXPECT_EQ(leader->target_end, c.target_end);
  }
  return leader;
}

TEST(Leader, BadgeInsideItsTargetGetsNoLine) {
  const Rect target{0, 0, 100, 50};
  for (const Rect badge : {Rect{0, 0, 19, 20}, Rect{81, 30, 100, 50}, Rect{0, 0, 100, 50}}) {
    SCOPED_TRACE(testing::PrintToString(badge));
    EXPECT_FALSE(leader_geometry(badge, target));
  }
}

TEST(Leader, EndsCloserThanSixPixelsGetNoLine) {
  const Rect badge{0, 0, 19, 20};
  struct Case {
    Rect target;
    bool drawn;
  } cases[] = {
      {{0, 24, 100, 124}, false},  // the usual gap of 4 above a target
      {{0, 25, 100, 125}, false},  // 5 apart: 25 < 36
      {{0, 26, 100, 126}, true},   // 6 apart
      {{23, 3, 40, 10}, false},    // 4 right, 3 down: 25 < 36
      {{24, 24, 40, 40}, true},    // diagonal 5 and 4: 41
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.target));
    EXPECT_EQ(leader_geometry(badge, c.target).has_value(), c.drawn);
  }
}

TEST(Leader, SixPixelsBelowTheBadgeDrawsLineAndArrowHead) {
  const auto leader = leader_geometry({0, 0, 19, 20}, {0, 26, 100, 126});
  ASSERT_TRUE(leader);
  EXPECT_EQ(leader->badge_end, (Point{9, 20}));  // middle of the horizontal overlap, (0 + 19) / 2
  EXPECT_EQ(leader->target_end, (Point{9, 26}));
  EXPECT_EQ(leader->arrow[0], leader->target_end);
  EXPECT_EQ(leader->arrow[1], (Point{5, 19}));
  EXPECT_EQ(leader->arrow[2], (Point{13, 19}));
}

TEST(Leader, EachAxisPicksItsOwnEnds) {
  const EndsCase cases[] = {
      {"badge left of target", {0, 10, 20, 30}, {50, 0, 90, 40}, {20, 20}, {50, 20}},
      {"badge right of target", {100, 10, 120, 30}, {50, 0, 90, 40}, {100, 20}, {90, 20}},
      {"badge below target", {0, 60, 20, 80}, {0, 0, 90, 40}, {10, 60}, {10, 40}},
      {"badge above-right", {100, 0, 119, 20}, {0, 50, 50, 100}, {100, 20}, {50, 50}},
      // The middle of an overlap truncates toward zero, also for negative coordinates.
      {"negative middle", {-21, -40, -2, -20}, {-30, 0, 0, 10}, {-11, -20}, {-11, 0}},
  };
  for (const auto& c : cases) (void)leader_with_ends(c);
}

TEST(Leader, ArrowCornersAreRoundedToTheNearestPixel) {
  struct Case {
    const char* what;
    Rect badge;
    Rect target;
    Point corner1;
    Point corner2;
  } cases[] = {
      // dx = -50, dy = 30: base (56.00, 46.40), corners (53.94, 42.97) and (58.06, 49.83).
      {"diagonal", {100, 0, 119, 20}, {0, 50, 50, 100}, {54, 43}, {58, 50}},
      // Straight left: base (-13, 5), corners exactly on pixels.
      {"left", {0, 0, 10, 10}, {-40, 0, -20, 10}, {-13, 1}, {-13, 9}},
      // dx = -30, dy = 40 into negative coordinates: base (-5.8, -15.6), corners (-9.0, -18.0)
      // and (-2.6, -13.2); -2.6 rounds to -3, not toward zero.
      {"negative", {20, -70, 39, -50}, {-50, -10, -10, 30}, {-9, -18}, {-3, -13}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const auto leader = leader_geometry(c.badge, c.target);
    ASSERT_TRUE(leader);
    EXPECT_EQ(leader->arrow[0], leader->target_end);
    EXPECT_EQ(leader->arrow[1], c.corner1);
    EXPECT_EQ(leader->arrow[2], c.corner2);
  }
}

TEST(Leader, EndsAtOppositeEndsOfTheCoordinateRangeGetALine) {
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  const EndsCase cases[] = {
      // 2^32 - 26 apart on both axes.
      {"badge at the low corner",
       {kMin, kMin, kMin + 13, kMin + 13},
       {kMax - 12, kMax - 12, kMax, kMax},
       {kMin + 13, kMin + 13},
       {kMax - 12, kMax - 12}},
      {"badge at the high corner",
       {kMax - 19, kMax - 20, kMax, kMax},
       {kMin, kMin, kMin + 10, kMin + 10},
       {kMax - 19, kMax - 20},
       {kMin + 10, kMin + 10}},
      {"one axis only",
       {0, kMin, 19, kMin + 20},
       {0, kMax - 100, 100, kMax},
       {9, kMin + 20},
       {9, kMax - 100}},
      // A target whose right edge wrapped past the end of the range.
      {"target inside out",
       {kMax - 19, 50, kMax, 70},
       {kMax - 200, 0, kMin + 5, 50},
       {kMax - 19, 50},
       {kMin + 5, 50}},
  };
  for (const auto& c : cases) {
    const auto leader = leader_with_ends(c);
    if (!leader) continue;
    SCOPED_TRACE(c.what);
    EXPECT_EQ(leader->arrow[0], leader->target_end);
    // The base corners stay beside the tip, as near as a float's 24 bits place them out here.
    for (const Point corner : {leader->arrow[1], leader->arrow[2]}) {
      EXPECT_LE(std::llabs(std::int64_t{corner.x} - c.target_end.x), 512) << corner;
      EXPECT_LE(std::llabs(std::int64_t{corner.y} - c.target_end.y), 512) << corner;
    }
  }
}

}  // namespace
}  // namespace vantro::overlay
