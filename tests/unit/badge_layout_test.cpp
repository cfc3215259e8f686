#include "overlay/badge_layout.h"

#include <gtest/gtest.h>

#include <limits>
#include <random>

#include "support/preset_styles.h"

namespace vantro::overlay {
namespace {

using test_support::element_style;
using test_support::window_style;

OverlayTarget target(std::string label, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                     std::optional<std::string> name = std::nullopt) {
  return {std::move(label), std::move(name), x, y, w, h};
}

TEST(BadgeMetrics, PresetStyles) {
  const BadgeMetrics e = badge_metrics(element_style());
  EXPECT_EQ(e, (BadgeMetrics{9, 8, 20}));
  EXPECT_EQ(label_box_width(e, element_style(), "a"), 19);
  EXPECT_EQ(label_box_width(e, element_style(), "as"), 28);

  const BadgeMetrics w = badge_metrics(window_style());
  EXPECT_EQ(w, (BadgeMetrics{18, 15, 42}));
  EXPECT_EQ(label_box_width(w, window_style(), "a"), 42);
  EXPECT_EQ(name_box_width(w, window_style(), std::string(50, 'x')), 774);
}

TEST(BadgeMetrics, ProductsAreSinglePrecisionTruncatedAndSaturated) {
  struct Case {
    std::uint32_t font_height;
    std::int32_t label_char_width;
    std::int32_t name_char_width;
  } cases[] = {
      {0, 0, 0},
      {1, 0, 0},
      {3, 1, 1},
      {16, 9, 8},
      {30, 18, 15},
      {50, 31, 25},
      {100, 62, 50},
      {std::numeric_limits<std::uint32_t>::max(), std::numeric_limits<std::int32_t>::max(),
       std::numeric_limits<std::int32_t>::max()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.font_height);
    OverlayStyle style = element_style();
    style.font_height = c.font_height;
    const BadgeMetrics m = badge_metrics(style);
    EXPECT_EQ(m.label_char_width, c.label_char_width);
    EXPECT_EQ(m.name_char_width, c.name_char_width);
  }
}

TEST(BadgeMetrics, ExtremeSizesSaturateInsteadOfOverflowing) {
  OverlayStyle style = element_style();
  style.font_height = std::numeric_limits<std::uint32_t>::max();
  style.pad_y = std::numeric_limits<std::int32_t>::max();
  const BadgeMetrics m = badge_metrics(style);
  EXPECT_EQ(m.badge_height, std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(label_box_width(m, style, "asdf"), std::numeric_limits<std::int32_t>::max());
  const OverlayTarget t = target("asdf", std::numeric_limits<std::int32_t>::max(), 0, 10, 10, "name");
  const auto hints = layout_hints(std::span(&t, 1), style, std::numeric_limits<std::int32_t>::min(), 0);
  ASSERT_EQ(hints.size(), 1u);
  EXPECT_EQ(hints[0].target_rect.left, std::numeric_limits<std::int32_t>::max());
}

TEST(BadgeMetrics, CharactersAreUnicodeScalarValuesAndNamesAreCappedAtFifty) {
  const OverlayStyle style = window_style();
  const BadgeMetrics m = badge_metrics(style);
  struct Case {
    std::string name;
    std::int32_t width;
  } cases[] = {
      {"", 24},
      {"Notepad", 7 * 15 + 24},
      {"\xC3\xA9t\xC3\xA9", 3 * 15 + 24},  // two-byte characters count once
      {"\xF0\x9F\x98\x80", 1 * 15 + 24},   // so does a four-byte one
      {std::string(49, 'x'), 49 * 15 + 24},
      {std::string(51, 'x'), 774},
      {std::string(500, 'x'), 774},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(name_box_width(m, style, c.name), c.width);
  }
  EXPECT_EQ(label_box_width(m, style, "\xC3\xA9\xC3\xA9"), 2 * 18 + 24);
}

TEST(BadgeLayout, EmptyListGivesNoHints) {
  EXPECT_TRUE(layout_hints({}, element_style(), 0, 0).empty());
}

TEST(BadgeLayout, SingleTargetTakesTheFirstCandidateOfItsMode) {
  // At the desktop's top edge: the badge above it lies outside and is not clamped.
  const OverlayTarget t = target("a", 10, 0, 200, 100);
  const auto above = layout_hints(std::span(&t, 1), element_style(), 0, 0);
  ASSERT_EQ(above.size(), 1u);
  EXPECT_EQ(above[0].badge_rect, (Rect{10, -24, 29, -4}));
  EXPECT_EQ(above[0].target_rect, (Rect{10, 0, 210, 100}));
  EXPECT_FALSE(above[0].has_name_box);

  const auto inside = layout_hints(std::span(&t, 1), window_style(), 0, 0);
  ASSERT_EQ(inside.size(), 1u);
  EXPECT_EQ(inside[0].badge_rect, (Rect{10, 0, 52, 42}));
}

TEST(BadgeLayout, FiveEqualTargetsFillTheCandidatesThenStack) {
  std::vector<OverlayTarget> targets;
  for (const char* label : {"a", "s", "d", "f", "g"}) targets.push_back(target(label, 100, 200, 200, 100));
  const auto hints = layout_hints(targets, element_style(), 0, 0);
  const Rect expected[] = {
      {100, 176, 119, 196},  // above
      {100, 200, 119, 220},  // inside top-left
      {281, 200, 300, 220},  // inside top-right
      {281, 280, 300, 300},  // inside bottom-right
      {100, 224, 119, 244},  // stacked at (tx, ty + 24)
  };
  ASSERT_EQ(hints.size(), 5u);
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(hints[i].badge_rect, expected[i]);
    EXPECT_EQ(hints[i].label, targets[i].label);
  }
}

TEST(BadgeLayout, AllStackedPositionsTakenGivesTheLastOneUntested) {
  std::vector<OverlayTarget> targets(4 + 256 + 2, target("a", 0, 0, 200, 100));
  const auto hints = layout_hints(targets, element_style(), 0, 0);
  // 4 candidates, then k = 1..256 below the top-left corner (k = 0 is the top-left candidate);
  // the last two both get k = 257 without a test.
  EXPECT_EQ(hints[4].badge_rect.top, 24);
  EXPECT_EQ(hints[259].badge_rect.top, 256 * 24);
  EXPECT_EQ(hints[260].badge_rect.top, 257 * 24);
  EXPECT_EQ(hints[261].badge_rect, hints[260].badge_rect);
}

TEST(BadgeLayout, CandidateSharingAnEdgeWithAPlacedBadgeIsTaken) {
  struct Case {
    std::int32_t second_x;
    Rect second_badge;
  } cases[] = {
      {19, {19, 76, 38, 96}},    // left edge on the first badge's right edge: above is free
      {18, {18, 100, 37, 120}},  // one pixel further left overlaps: inside top-left
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.second_x);
    const std::vector<OverlayTarget> targets{target("a", 0, 100, 50, 50),
                                             target("s", c.second_x, 100, 50, 50)};
    const auto hints = layout_hints(targets, element_style(), 0, 0);
    EXPECT_EQ(hints[0].badge_rect, (Rect{0, 76, 19, 96}));
    EXPECT_EQ(hints[1].badge_rect, c.second_badge);
  }
}

TEST(BadgeLayout, HintsStayInTheCallersOrderWhateverTheLayoutOrder) {
  // Target 1 is left of target 0 on the same row, so it is laid out first and gets the place
  // above; target 0's place above would overlap it.
  const std::vector<OverlayTarget> targets{target("a", 10, 0, 200, 100), target("s", 0, 0, 200, 100),
                                           target("d", 0, -500, 20, 20)};
  const auto hints = layout_hints(targets, element_style(), 0, 0);
  ASSERT_EQ(hints.size(), 3u);
  EXPECT_EQ(hints[0].label, "a");
  EXPECT_EQ(hints[0].badge_rect, (Rect{10, 0, 29, 20}));
  EXPECT_EQ(hints[1].label, "s");
  EXPECT_EQ(hints[1].badge_rect, (Rect{0, -24, 19, -4}));
  EXPECT_EQ(hints[2].badge_rect, (Rect{0, -524, 19, -504}));
}

TEST(BadgeLayout, CoordinatesAreRelativeToTheVirtualDesktop) {
  const OverlayTarget t = target("a", -1200, 30, 80, 40);
  const auto hints = layout_hints(std::span(&t, 1), window_style(), -1280, -50);
  EXPECT_EQ(hints[0].target_rect, (Rect{80, 80, 160, 120}));
  EXPECT_EQ(hints[0].badge_rect, (Rect{80, 80, 122, 122}));
}

TEST(BadgeLayout, NameBoxSitsBesideTheLabelAndCountsForOverlap) {
  const std::vector<OverlayTarget> targets{target("a", 0, 0, 1000, 600, "Notepad"),
                                           target("s", 0, 0, 1000, 600, std::string(60, 'x'))};
  const auto hints = layout_hints(targets, window_style(), 0, 0);
  ASSERT_TRUE(hints[0].has_name_box);
  EXPECT_EQ(hints[0].name, "Notepad");
  EXPECT_EQ(hints[0].badge_rect, (Rect{0, 0, 42, 42}));
  EXPECT_EQ(hints[0].name_rect, (Rect{46, 0, 46 + 129, 42}));
  // The second badge is 42 + 4 + 774 wide; its top-left place overlaps the first badge's
  // name box, so it goes to the top-right corner.
  const std::int32_t bw = 42 + 4 + 774;
  EXPECT_EQ(hints[1].badge_rect, (Rect{1000 - bw, 0, 1000 - bw + 42, 42}));
  EXPECT_EQ(hints[1].name_rect, (Rect{1000 - bw + 46, 0, 1000, 42}));
}

// The nearby search of layout_hints must find exactly what the exhaustive scan finds.
TEST(BadgeLayout, NearbySearchMatchesTheExhaustiveScan) {
  std::mt19937 rng(20261210);
  auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 300; ++round) {
    SCOPED_TRACE(round);
    OverlayStyle style = pick(0, 1) ? element_style() : window_style();
    if (round % 7 == 0) style.show_leader = !style.show_leader;
    if (round % 11 == 0)
      style.placement =
          style.placement == Placement::AboveFirst ? Placement::InsideOnly : Placement::AboveFirst;
    if (round % 13 == 0) style.font_height = static_cast<std::uint32_t>(pick(1, 60));
    if (round % 17 == 0) style.pad_y = -static_cast<std::int32_t>(style.font_height);  // empty badges
    const int n = pick(0, round % 5 == 0 ? 400 : 60);
    const int spread = pick(0, 3) == 0 ? 0 : pick(10, 2000);  // 0: everything on one rectangle
    std::vector<OverlayTarget> targets;
    for (int i = 0; i < n; ++i) {
      std::optional<std::string> name;
      if (pick(0, 3) == 0) name = std::string(static_cast<std::size_t>(pick(0, 70)), 'n');
      targets.push_back(target(std::string(static_cast<std::size_t>(pick(1, 3)), 'a'), pick(-spread, spread),
                               pick(-spread, spread) / 2, pick(0, 300), pick(0, 200), name));
    }
    const std::int32_t vx = pick(-3000, 0), vy = pick(-1000, 0);
    ASSERT_EQ(layout_hints(targets, style, vx, vy), layout_hints_exhaustive(targets, style, vx, vy));
  }
}

}  // namespace
}  // namespace vantro::overlay
