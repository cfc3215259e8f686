#include "picking/activation.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>
#include <string>
#include <vector>

#include "support/log_capture.h"

namespace vantro::picking {
namespace {

using std::chrono::milliseconds;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// An element whose patterns succeed or fail as configured; records what it was asked.
class FakeTarget final : public ActivationTarget {
 public:
  std::set<ActivationPath> succeeding;
  std::optional<ScreenPoint> point;
  Result<ScreenRect> rect = ScreenRect{10, 10, 21, 31};
  std::vector<ActivationPath> tried;
  int rect_reads = 0;

  bool try_pattern(ActivationPath path) override {
    tried.push_back(path);
    return succeeding.contains(path);
  }
  std::optional<ScreenPoint> clickable_point() override { return point; }
  Result<ScreenRect> bounding_rectangle() override {
    ++rect_reads;
    return rect;
  }
};

// What the fallback did with the mouse and the clock, in order.
struct Step {
  enum Kind { Send, Sleep, StandardError } kind;
  MouseInput input{};
  milliseconds pause{0};

  friend bool operator==(const Step&, const Step&) = default;
};

Step sent(MouseInput input) {
  return {Step::Send, input, {}};
}
Step pause(int ms) {
  return {Step::Sleep, {}, milliseconds(ms)};
}

constexpr VirtualScreen kScreen{0, 0, 1280, 800};  // one monitor

// The rectangle of one monitor that fills the whole virtual screen.
ScreenRect whole(const VirtualScreen& screen) {
  return {screen.left, screen.top, screen.left + screen.width, screen.top + screen.height};
}

std::int64_t area(const ScreenRect& rect) {
  return std::int64_t{rect.right - rect.left} * (rect.bottom - rect.top);
}

class FakeMouse final : public MouseDevice {
 public:
  Result<ScreenPoint> cursor = ScreenPoint{100, 100};
  Result<VirtualScreen> screen = kScreen;
  // The monitors' rectangles, answered as the system does: the one that holds the point, the
  // one that shows the largest part of the rectangle (the first of equal parts).
  std::vector<ScreenRect> monitors = {whole(kScreen)};
  bool monitor_fails = false;
  int refuse_send_number = 0;  // the n-th send (from 1) is refused; 0: none
  int refuse_sends_from = 0;   // every send from this one on is refused; 0: none
  std::vector<Step> steps;
  std::vector<std::string> standard_error;
  int screen_reads = 0;
  int cursor_reads = 0;

  Result<ScreenPoint> cursor_position() override {
    ++cursor_reads;
    return cursor;
  }
  Result<VirtualScreen> virtual_screen() override {
    ++screen_reads;
    return screen;
  }
  Result<std::optional<ScreenRect>> monitor_at(ScreenPoint point) override {
    if (monitor_fails) return fail(Error("GetMonitorInfoW failed"));
    for (const ScreenRect& monitor : monitors)
      if (point.x >= monitor.left && point.x < monitor.right && point.y >= monitor.top &&
          point.y < monitor.bottom)
        return std::optional<ScreenRect>{monitor};
    return std::optional<ScreenRect>{};
  }
  Result<std::optional<ScreenRect>> monitor_with_most_of(const ScreenRect& rect) override {
    if (monitor_fails) return fail(Error("GetMonitorInfoW failed"));
    std::optional<ScreenRect> best;
    std::int64_t best_area = 0;
    for (const ScreenRect& monitor : monitors) {
      const std::optional<ScreenRect> part = overlap(rect, monitor);
      if (part && area(*part) > best_area) {
        best = monitor;
        best_area = area(*part);
      }
    }
    return best;
  }
  Result<void> send(const MouseInput& input) override {
    const int number = ++sends_;
    if (number == refuse_send_number || (refuse_sends_from != 0 && number >= refuse_sends_from))
      return fail(Error("SendInput refused").context("inner"));
    steps.push_back(sent(input));
    return {};
  }
  void sleep(milliseconds duration) override { steps.push_back(pause(static_cast<int>(duration.count()))); }
  void write_standard_error(std::string_view line) override { standard_error.emplace_back(line); }

 private:
  int sends_ = 0;
};

MouseInput move_to(std::int32_t x, std::int32_t y) {
  return absolute_move({x, y}, kScreen);
}
const Step kDown = sent({0, 0, kMouseLeftDown});
const Step kUp = sent({0, 0, kMouseLeftUp});

TEST(RectCentre, TruncatesTowardZeroInThirtyTwoBits) {
  struct Case {
    ScreenRect rect;
    ScreenPoint centre;
  };
  const Case cases[] = {
      {{10, 10, 21, 31}, {15, 20}},
      {{0, 0, 0, 0}, {0, 0}},
      {{-2, -4, -1, 1}, {-1, -1}},                       // sums −3 and −3
      {{-10, -20, 10, 21}, {0, 0}},                      // 1 / 2 truncates to 0
      {{kMax, kMax, 1, 3}, {kMin / 2, (kMin + 2) / 2}},  // the sums wrap
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rect.left << "," << c.rect.top << "," << c.rect.right << ","
                                    << c.rect.bottom);
    EXPECT_EQ(rect_centre(c.rect), c.centre);
  }
}

TEST(GlidePlan, ShortMovesJumpLongOnesGlideInTwentyPixelSteps) {
  struct Case {
    const char* name;
    ScreenPoint from, to;
    std::size_t intermediate;
    int pause_ms;
    ScreenPoint first;  // the first intermediate point, when there is one
  };
  const Case cases[] = {
      {"30 px jumps", {100, 100}, {130, 100}, 0, 0, {}},
      {"39 px jumps", {100, 100}, {100, 61}, 0, 0, {}},
      {"40 px glides", {100, 100}, {140, 100}, 1, 250, {120, 100}},
      {"45 px: 2 steps of 22", {100, 100}, {145, 100}, 1, 250, {122, 100}},
      {"59 px: 2 steps of 29", {100, 100}, {159, 100}, 1, 250, {129, 100}},
      {"60 px: 3 steps", {100, 100}, {160, 100}, 2, 166, {120, 100}},
      {"1000 px: 50 steps", {0, 0}, {1000, 0}, 49, 10, {20, 0}},
      {"-45 px truncates toward zero", {100, 100}, {55, 100}, 1, 250, {78, 100}},
      {"the longer axis counts", {100, 100}, {200, 50}, 4, 100, {120, 90}},
      {"diagonal 30 px jumps", {0, 0}, {30, -30}, 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const GlidePlan plan = plan_glide(c.from, c.to);
    EXPECT_EQ(plan.target, c.to);
    ASSERT_EQ(plan.intermediate.size(), c.intermediate);
    if (c.intermediate == 0) continue;
    EXPECT_EQ(plan.pause, milliseconds(c.pause_ms));
    EXPECT_EQ(plan.intermediate.front(), c.first);
    // Every intermediate point lies on the line at k whole steps from the start.
    const std::int32_t step_x = c.first.x - c.from.x;
    const std::int32_t step_y = c.first.y - c.from.y;
    for (std::size_t k = 0; k < plan.intermediate.size(); ++k) {
      const auto n = static_cast<std::int32_t>(k + 1);
      EXPECT_EQ(plan.intermediate[k], (ScreenPoint{c.from.x + n * step_x, c.from.y + n * step_y})) << k;
    }
  }
}

TEST(Normalise, FirstPixelIsZeroLastIsFullScaleAndTheRestRoundUp) {
  // units = ceil(value × 65535 / (extent − 1)) over a span that starts at 0.
  struct Case {
    std::int32_t value, extent, expected;
  };
  const Case cases[] = {
      {0, 1280, 0},         {640, 1280, 32794},  // 640 × 65535 / 1279 = 32793.12
      {1279, 1280, 65535},                       // the last pixel
      {1280, 1280, 65587},                       // one beyond, 65586.24: not clamped to 65535
      {100, 800, 8203},                          // 6553500 / 799 = 8202.13
      {799, 800, 65535},                         // the last row
      {-10, 1280, -512},                         // −512.39 rounds up, toward zero
      {2560, 1280, 131173},                      // 131172.48
      {180, 319, 37096},                         // 11796300 / 318 = 37095.28
      {1, 256, 257},                             // 65535 = 255 × 257: an exact quotient is not rounded up
      {2, 256, 514},        {kMax, 2, kMax},     // saturates
      {kMin, 2, kMin},      {0, 1, 0},           // a span of one pixel has only unit 0
      {kMax, 1, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.value << " / " << c.extent);
    EXPECT_EQ(normalise_coordinate(c.value, 0, c.extent), c.expected);
  }
  // 400 × 65535 / 799 = 32808.51.
  EXPECT_EQ(absolute_move({640, 400}, {0, 0, 1280, 800}), (MouseInput{32794, 32809, 0xC001}));
}

// Every pixel of the span, under the two ways in which a system turns the units back into a
// pixel (u ≥ 0 here, so integer division rounds down):
// - Wine: origin + floor(u × extent / 65536).
// - Windows: 0 is the first pixel and 65535 the last, that is pixel = origin + u × (extent − 1) /
//   65535. How it rounds that quotient is not documented, so both readings are checked:
//   rounded down, the strict one for units that were rounded up (their excess over the exact
//   pixel must stay below one pixel), and rounded to the nearest pixel (the excess must stay
//   below one half).
TEST(Normalise, EveryPixelOfTheVirtualScreenIsReachedUnderBothMappings) {
  const std::int32_t extents[] = {800, 1280, 1920, 3840};
  const std::int32_t origins[] = {0, -1080, -1920};
  for (const std::int32_t extent : extents) {
    for (const std::int32_t origin : origins) {
      SCOPED_TRACE(testing::Message() << "origin " << origin << ", extent " << extent);
      EXPECT_EQ(normalise_coordinate(origin, origin, extent), 0);
      EXPECT_EQ(normalise_coordinate(origin + extent - 1, origin, extent), 65535);
      int missed = 0;
      for (std::int32_t pixel = origin; pixel < origin + extent; ++pixel) {
        const std::int64_t u = normalise_coordinate(pixel, origin, extent);
        const std::int64_t wine = origin + u * extent / 65536;
        const std::int64_t windows_down = origin + u * (extent - 1) / 65535;
        const std::int64_t windows_nearest = origin + (2 * u * (extent - 1) + 65535) / (2 * 65535);
        if (u >= 0 && u <= 65535 && wine == pixel && windows_down == pixel && windows_nearest == pixel)
          continue;
        if (++missed <= 3)
          ADD_FAILURE() << "pixel " << pixel << ": units " << u << " land on " << wine << " (Wine), "
                        << windows_down << " (Windows, rounded down), " << windows_nearest
                        << " (Windows, to nearest)";
      }
      EXPECT_EQ(missed, 0);
    }
  }
}

TEST(Normalise, MovesSpanTheVirtualDesktopOfEveryMonitor) {
  struct Case {
    const char* name;
    VirtualScreen screen;
    ScreenPoint point;
    MouseInput move;
  };
  // A monitor of 1920 x 1080 left of the primary one: −1920,0 to 1919,1079. And one above it:
  // 0,−1080 to 1919,1079. Units are ceil(offset × 65535 / (extent − 1)): x over 3839 and y over
  // 1079 on the left, x over 1919 and y over 2159 above.
  constexpr VirtualScreen kLeft{-1920, 0, 3840, 1080};
  constexpr VirtualScreen kAbove{0, -1080, 1920, 2160};
  const Case cases[] = {
      {"left: its top-left corner", kLeft, {-1920, 0}, {0, 0, 0xC001}},
      {"left: the centre of the left monitor",
       kLeft,
       {-960, 540},
       {16389, 32798, 0xC001}},                                                   // 16388.02, 32797.87
      {"left: the primary monitor's origin", kLeft, {0, 0}, {32777, 0, 0xC001}},  // 32776.04
      {"left: the primary monitor's last pixel, the far corner", kLeft, {1919, 1079}, {65535, 65535, 0xC001}},
      {"left: one beyond the far corner", kLeft, {1920, 1080}, {65553, 65596, 0xC001}},  // 65552.07, 65595.74
      {"left: beyond its left edge", kLeft, {-2000, 0}, {-1365, 0, 0xC001}},             // −1365.67
      {"above: the centre of the upper monitor",
       kAbove,
       {960, -540},
       {32785, 16392, 0xC001}},  // 32784.58, 16391.34
      {"above: the centre of the primary monitor", kAbove, {960, 540}, {32785, 49175, 0xC001}},  // 49174.02
      {"above: the primary monitor's origin", kAbove, {100, 0}, {3416, 32783, 0xC001}},  // 3415.06, 32782.68
      {"above: its top-left corner", kAbove, {0, -1080}, {0, 0, 0xC001}},
      {"the value far from the origin saturates", {kMin, kMin, 2, 2}, {kMax, kMax}, {kMax, kMax, 0xC001}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(absolute_move(c.point, c.screen), c.move);
  }
}

TEST(MouseFallback, AnElementOnTheMonitorLeftOfThePrimaryOneIsClickedThere) {
  FakeTarget target;
  target.point = ScreenPoint{-950, 540};
  FakeMouse mouse;
  mouse.screen = VirtualScreen{-1920, 0, 3840, 1080};
  mouse.monitors = {{-1920, 0, 0, 1080}, {0, 0, 1920, 1080}};
  mouse.cursor = ScreenPoint{-960, 540};  // 10 px away: one jump
  ASSERT_TRUE(click_element(target, mouse).has_value());
  // x: 970 × 65535 / 3839 = 16558.73; y: 540 × 65535 / 1079 = 32797.87; both rounded up.
  EXPECT_EQ(mouse.steps,
            (std::vector<Step>{sent({16559, 32798, 0xC001}), kDown, pause(100), kUp, pause(100)}));
}

TEST(Activation, PatternsAreTriedInOrderUntilOneSucceeds) {
  using P = ActivationPath;
  struct Case {
    const char* name;
    std::set<P> succeeding;
    std::vector<P> tried;
    P path;
  };
  const Case cases[] = {
      {"Invoke alone", {P::Invoke, P::Toggle}, {P::Invoke}, P::Invoke},
      {"Invoke fails, Toggle exists", {P::Toggle}, {P::Invoke, P::Toggle}, P::Toggle},
      {"select",
       {P::SelectionItem, P::LegacyDefaultAction},
       {P::Invoke, P::Toggle, P::SelectionItem},
       P::SelectionItem},
      {"expand",
       {P::ExpandCollapse},
       {P::Invoke, P::Toggle, P::SelectionItem, P::ExpandCollapse},
       P::ExpandCollapse},
      {"Expand fails, the default action next",
       {P::LegacyDefaultAction},
       {P::Invoke, P::Toggle, P::SelectionItem, P::ExpandCollapse, P::LegacyDefaultAction},
       P::LegacyDefaultAction},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTarget target;
    target.succeeding = c.succeeding;
    FakeMouse mouse;
    test_support::LogCapture capture(log::Level::Trace);
    ASSERT_TRUE(activate(ElementId{7}, target, mouse).has_value());
    EXPECT_EQ(target.tried, c.tried);
    EXPECT_TRUE(mouse.steps.empty()) << "no mouse input after a pattern succeeded";
    ASSERT_EQ(capture.events().size(), 1u);
    const auto& event = capture.events().front();
    EXPECT_EQ(event.level, log::Level::Debug);
    EXPECT_EQ(event.target, "vantro::windows");
    EXPECT_EQ(event.message, "element invoked via UIA pattern");
    EXPECT_EQ(*event.field("id"), "ElementId(7)");
    EXPECT_EQ(*event.field("path"), activation_path_name(c.path));
  }
}

TEST(Activation, WithoutAnyPatternTheMouseGlidesAndClicksWithAWarning) {
  FakeTarget target;  // no pattern succeeds, no clickable point: the rectangle's centre (15, 20)
  FakeMouse mouse;
  mouse.cursor = ScreenPoint{15, 60};  // 40 px above: two steps of 20 px, 250 ms
  test_support::LogCapture capture(log::Level::Trace);
  ASSERT_TRUE(activate(ElementId{3}, target, mouse).has_value());
  EXPECT_EQ(target.tried.size(), 5u);
  const std::vector<Step> expected = {
      sent(move_to(15, 40)), pause(250), sent(move_to(15, 20)), kDown, pause(100), kUp, pause(100)};
  EXPECT_EQ(mouse.steps, expected);
  EXPECT_EQ(mouse.screen_reads, 3) << "the virtual screen is read for the point, then for every move";
  ASSERT_EQ(capture.events().size(), 1u);
  EXPECT_EQ(capture.events()[0].level, log::Level::Warn);
  EXPECT_EQ(capture.events()[0].target, "vantro::windows");
  EXPECT_EQ(capture.events()[0].message, "no UIA pattern matched; used mouse-click fallback");
  EXPECT_EQ(*capture.events()[0].field("id"), "ElementId(3)");
}

TEST(MouseFallback, ClickablePointWinsOverTheRectangle) {
  FakeTarget target;
  target.point = ScreenPoint{500, 300};
  FakeMouse mouse;
  mouse.cursor = ScreenPoint{490, 300};  // a jump
  ASSERT_TRUE(click_element(target, mouse).has_value());
  EXPECT_EQ(target.rect_reads, 0);
  EXPECT_EQ(mouse.steps, (std::vector<Step>{sent(move_to(500, 300)), kDown, pause(100), kUp, pause(100)}));
}

TEST(MouseFallback, ThousandPixelGlideMakesFortyNineMovesWithTenMillisecondPauses) {
  FakeTarget target;
  target.point = ScreenPoint{1100, 50};
  FakeMouse mouse;
  mouse.cursor = ScreenPoint{100, 50};
  ASSERT_TRUE(click_element(target, mouse).has_value());
  std::vector<Step> expected;
  for (int k = 1; k <= 49; ++k) {
    expected.push_back(sent(move_to(100 + 20 * k, 50)));
    expected.push_back(pause(10));
  }
  expected.push_back(sent(move_to(1100, 50)));
  expected.insert(expected.end(), {kDown, pause(100), kUp, pause(100)});
  EXPECT_EQ(mouse.steps, expected);
  EXPECT_EQ(mouse.screen_reads, 51);
}

TEST(MouseFallback, FailuresStopTheFallbackWhereTheyHappen) {
  struct Case {
    const char* name;
    bool rect_fails = false;
    bool cursor_fails = false;
    bool screen_fails = false;
    int refuse_send_number = 0;
    std::vector<Step> steps;  // what happened before the failure
  };
  const Case cases[] = {
      {"rectangle unreadable", true, false, false, 0, {}},
      {"cursor unreadable", false, true, false, 0, {}},
      {"screen size 0", false, false, true, 0, {}},
      {"first glide move refused", false, false, false, 1, {}},
      {"final move refused", false, false, false, 2, {sent(move_to(15, 40)), pause(250)}},
      {"button-down refused",
       false,
       false,
       false,
       3,
       {sent(move_to(15, 40)), pause(250), sent(move_to(15, 20))}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTarget target;
    if (c.rect_fails) target.rect = fail(Error("rect unreadable"));
    FakeMouse mouse;
    mouse.cursor = ScreenPoint{15, 60};
    if (c.cursor_fails) mouse.cursor = fail(Error("GetCursorPos failed"));
    if (c.screen_fails) mouse.screen = fail(Error("screen size is 0"));
    mouse.refuse_send_number = c.refuse_send_number;
    test_support::LogCapture capture(log::Level::Trace);
    const Result<void> result = activate(ElementId{1}, target, mouse);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().plain(), "invoking element failed");
    const std::vector<std::string> chain = result.error().chain();
    ASSERT_GE(chain.size(), 3u);
    EXPECT_EQ(chain[1], "element.click() failed");
    EXPECT_TRUE(result.error().alternate().starts_with("invoking element failed: element.click() failed: "))
        << result.error().alternate();
    EXPECT_EQ(mouse.steps, c.steps);
    EXPECT_TRUE(capture.events().empty()) << "a failed activation logs nothing itself";
  }
}

TEST(MouseFallback, ARectangleWithoutAreaEndsTheActivationBeforeAnyInput) {
  struct Case {
    const char* name;
    ScreenRect rect;
    const char* error;  // the innermost message; nullptr: the element is clicked
  };
  const Case cases[] = {
      {"zero, as a vanished element reads",
       {0, 0, 0, 0},
       "element bounding rectangle has no area: left 0, top 0, right 0, bottom 0"},
      {"negative width",
       {30, 10, 20, 40},
       "element bounding rectangle has no area: left 30, top 10, right 20, bottom 40"},
      {"negative height",
       {10, 40, 30, 20},
       "element bounding rectangle has no area: left 10, top 40, right 30, bottom 20"},
      {"vertical line",
       {20, 10, 20, 40},
       "element bounding rectangle has no area: left 20, top 10, right 20, bottom 40"},
      {"horizontal line",
       {-10, -20, 40, -20},
       "element bounding rectangle has no area: left -10, top -20, right 40, bottom -20"},
      {"one pixel", {15, 60, 16, 61}, nullptr},
      {"left of and above the origin", {-40, -30, -10, -10}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTarget target;  // no clickable point
    target.rect = c.rect;
    FakeMouse mouse;
    mouse.screen = VirtualScreen{-1920, -1080, 3840, 2160};  // monitors left of and above the primary one
    mouse.monitors = {whole(mouse.screen.value())};
    mouse.cursor = ScreenPoint{15, 60};
    test_support::LogCapture capture(log::Level::Trace);
    const Result<void> result = activate(ElementId{4}, target, mouse);
    if (c.error == nullptr) {
      ASSERT_TRUE(result.has_value()) << result.error().alternate();
      ASSERT_GE(mouse.steps.size(), 5u);
      EXPECT_EQ(std::vector<Step>(mouse.steps.end() - 4, mouse.steps.end()),
                (std::vector<Step>{kDown, pause(100), kUp, pause(100)}));
      continue;
    }
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().alternate(),
              std::string("invoking element failed: element.click() failed: ") + c.error);
    EXPECT_TRUE(mouse.steps.empty()) << "no input for an element without area";
    EXPECT_TRUE(capture.events().empty()) << "no fallback warning";
  }
}

// Activates the target through the mouse fallback and checks the outcome: the glide ends on
// `clicked` and the button goes down and up there when `error` is nullptr; else the activation
// fails with that innermost message before any input, without reading the cursor or warning.
void expect_click_or_error(FakeTarget& target, FakeMouse& mouse, ScreenPoint clicked, const char* error) {
  test_support::LogCapture capture(log::Level::Trace);
  const Result<void> result = activate(ElementId{5}, target, mouse);
  if (error == nullptr) {
    ASSERT_TRUE(result.has_value()) << result.error().alternate();
    ASSERT_GE(mouse.steps.size(), 5u);
    EXPECT_EQ(std::vector<Step>(mouse.steps.end() - 5, mouse.steps.end()),
              (std::vector<Step>{sent(absolute_move(clicked, mouse.screen.value())), kDown, pause(100), kUp,
                                 pause(100)}));
    return;
  }
  ASSERT_FALSE(result.has_value());
  EXPECT_EQ(result.error().alternate(),
            std::string("invoking element failed: element.click() failed: ") + error);
  EXPECT_TRUE(mouse.steps.empty()) << "no input, not even a move";
  EXPECT_EQ(mouse.cursor_reads, 0);
  EXPECT_TRUE(capture.events().empty()) << "no fallback warning";
}

TEST(MouseFallback, OnlyThePartOfTheElementOnTheVirtualScreenIsClicked) {
  // The screen's pixels are left .. left + width − 1; a rectangle's right and bottom lie one
  // past its last column and row.
  constexpr VirtualScreen kLeftMonitor{-1920, 0, 3840, 1080};  // a monitor left of the primary one
  struct Case {
    const char* name;
    VirtualScreen screen;
    std::optional<ScreenPoint> clickable;
    ScreenRect rect;
    ScreenPoint clicked;  // when `error` is nullptr
    const char* error;    // the innermost message
  };
  const Case cases[] = {
      {"wholly on the screen: its own centre", kScreen, {}, {10, 10, 21, 31}, {15, 20}, nullptr},
      {"wholly left of it",
       kScreen,
       {},
       {-200, 100, -1, 200},
       {},
       "element lies outside the virtual screen: left -200, top 100, right -1, bottom 200; "
       "virtual screen left 0, top 0, width 1280, height 800"},
      {"just left of it: its right edge is the screen's left",
       kScreen,
       {},
       {-200, 100, 0, 200},
       {},
       "element lies outside the virtual screen: left -200, top 100, right 0, bottom 200; "
       "virtual screen left 0, top 0, width 1280, height 800"},
      {"just above it: its bottom edge is the screen's top",
       kScreen,
       {},
       {100, -300, 200, 0},
       {},
       "element lies outside the virtual screen: left 100, top -300, right 200, bottom 0; "
       "virtual screen left 0, top 0, width 1280, height 800"},
      {"just left of a screen with a negative origin",
       kLeftMonitor,
       ScreenPoint{-2000, 150},
       {-2100, 100, -1920, 200},
       {},
       "element lies outside the virtual screen: left -2100, top 100, right -1920, bottom 200; "
       "virtual screen left -1920, top 0, width 3840, height 1080"},
      {"wholly above it",
       kScreen,
       {},
       {100, -300, 200, -1},
       {},
       "element lies outside the virtual screen: left 100, top -300, right 200, bottom -1; "
       "virtual screen left 0, top 0, width 1280, height 800"},
      {"wholly right of it, from the first column beyond",
       kScreen,
       {},
       {1280, 100, 1400, 200},
       {},
       "element lies outside the virtual screen: left 1280, top 100, right 1400, bottom 200; "
       "virtual screen left 0, top 0, width 1280, height 800"},
      {"wholly below it, from the first row beyond",
       kScreen,
       {},
       {100, 800, 200, 900},
       {},
       "element lies outside the virtual screen: left 100, top 800, right 200, bottom 900; "
       "virtual screen left 0, top 0, width 1280, height 800"},
      {"a minimised window's place",
       kScreen,
       ScreenPoint{-31920, -31987},
       {-32000, -32000, -31840, -31973},
       {},
       "element lies outside the virtual screen: left -32000, top -32000, right -31840, bottom -31973; "
       "virtual screen left 0, top 0, width 1280, height 800"},
      {"wholly left of a screen with a negative origin",
       kLeftMonitor,
       {},
       {-2100, 100, -1921, 200},
       {},
       "element lies outside the virtual screen: left -2100, top 100, right -1921, bottom 200; "
       "virtual screen left -1920, top 0, width 3840, height 1080"},
      // On screen: 0,100 to 99,201 (right 99, bottom 201).
      {"half past the left edge", kScreen, {}, {-100, 100, 99, 201}, {49, 150}, nullptr},
      // On screen: 1200,700 to 1280,800.
      {"half past the right and bottom edges", kScreen, {}, {1200, 700, 1399, 899}, {1240, 750}, nullptr},
      // On screen: the last column alone, 1279,10 to 1280,20.
      {"only its first column on the screen", kScreen, {}, {1279, 10, 1300, 20}, {1279, 15}, nullptr},
      // On screen: the first column alone, 0,10 to 1,20.
      {"only its last column on the screen", kScreen, {}, {-50, 10, 1, 20}, {0, 15}, nullptr},
      // On screen: the first row alone, 10,0 to 20,1.
      {"only its last row on the screen", kScreen, {}, {10, -50, 20, 1}, {15, 0}, nullptr},
      // On screen: −1920,100 to −1801,200; −3721 / 2 truncates to −1860.
      {"half past a negative left edge", kLeftMonitor, {}, {-2000, 100, -1801, 200}, {-1860, 150}, nullptr},
      {"a clickable point left of the screen: the rectangle decides",
       kScreen,
       ScreenPoint{-5, 50},
       {10, 10, 21, 31},
       {15, 20},
       nullptr},
      {"a clickable point one column beyond the last",
       kScreen,
       ScreenPoint{1280, 20},
       {10, 10, 21, 31},
       {15, 20},
       nullptr},
      {"a clickable point one row beyond the last",
       kScreen,
       ScreenPoint{20, 800},
       {10, 10, 21, 31},
       {15, 20},
       nullptr},
      {"a clickable point on the last pixel is used",
       kScreen,
       ScreenPoint{1279, 799},
       {10, 10, 21, 31},
       {1279, 799},
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTarget target;
    target.point = c.clickable;
    target.rect = c.rect;
    FakeMouse mouse;
    mouse.screen = c.screen;
    mouse.monitors = {whole(c.screen)};
    mouse.cursor = ScreenPoint{c.screen.left + 100, c.screen.top + 100};
    expect_click_or_error(target, mouse, c.clicked, c.error);
  }
}

// Monitors of unequal size leave parts of the virtual screen that no monitor shows; the system
// would keep the cursor on a monitor and the click would land on whatever lies at its edge.
TEST(MouseFallback, OnlyAPointOrAPartThatAMonitorShowsIsClicked) {
  struct Layout {
    VirtualScreen screen;
    std::vector<ScreenRect> monitors;
  };
  // 1920 x 1080 with 1280 x 1024 right of it, tops aligned: no monitor shows x 1920 .. 3199 at
  // y 1024 .. 1079.
  const Layout side_by_side{{0, 0, 3200, 1080}, {{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}}};
  // 1920 x 1080 with 1280 x 1024 above it at negative coordinates, lefts aligned: no monitor
  // shows x 1280 .. 1919 at y −1024 .. −1.
  const Layout stacked{{0, -1024, 1920, 2104}, {{0, 0, 1920, 1080}, {0, -1024, 1280, 0}}};
  struct Case {
    const char* name;
    const Layout& layout;
    std::optional<ScreenPoint> clickable;
    ScreenRect rect;
    ScreenPoint clicked;  // when `error` is nullptr
    const char* error;    // the innermost message
  };
  const Case cases[] = {
      {"a clickable point on the smaller monitor is used",
       side_by_side,
       ScreenPoint{2500, 500},
       {2400, 400, 2600, 700},
       {2500, 500},
       nullptr},
      // On the smaller monitor: 2400,1000 to 2600,1024.
      {"a clickable point in the dead area: the part on the monitor",
       side_by_side,
       ScreenPoint{2500, 1050},
       {2400, 1000, 2600, 1070},
       {2500, 1012},
       nullptr},
      // Across the gap: 120 x 70 on the primary monitor, 180 x 24 on the smaller one.
      {"across the gap: the monitor that shows most of it",
       side_by_side,
       {},
       {1800, 1000, 2100, 1070},
       {1860, 1035},
       nullptr},
      {"wholly in the dead area",
       side_by_side,
       ScreenPoint{2100, 1050},
       {2000, 1030, 2200, 1070},
       {},
       "element lies on no monitor: left 2000, top 1030, right 2200, bottom 1070"},
      {"a clickable point on the upper monitor is used",
       stacked,
       ScreenPoint{100, -1000},
       {50, -1020, 150, -980},
       {100, -1000},
       nullptr},
      // On the upper monitor: 1200,−600 to 1280,−400.
      {"above: a clickable point in the dead area",
       stacked,
       ScreenPoint{1300, -500},
       {1200, -600, 1400, -400},
       {1240, -500},
       nullptr},
      // 200 x 50 on the upper monitor, 200 x 100 on the primary one.
      {"above: across both monitors", stacked, {}, {100, -50, 300, 100}, {200, 50}, nullptr},
      {"above: wholly in the dead area",
       stacked,
       {},
       {1300, -900, 1900, -100},
       {},
       "element lies on no monitor: left 1300, top -900, right 1900, bottom -100"},
      {"above: wholly left of the virtual screen",
       stacked,
       {},
       {-300, -500, 0, -400},
       {},
       "element lies outside the virtual screen: left -300, top -500, right 0, bottom -400; "
       "virtual screen left 0, top -1024, width 1920, height 2104"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeTarget target;
    target.point = c.clickable;
    target.rect = c.rect;
    FakeMouse mouse;
    mouse.screen = c.layout.screen;
    mouse.monitors = c.layout.monitors;
    mouse.cursor = ScreenPoint{100, 100};
    expect_click_or_error(target, mouse, c.clicked, c.error);
  }
}

// A monitor that cannot be read ends the fallback before any input.
TEST(MouseFallback, AMonitorThatCannotBeReadEndsTheFallback) {
  for (const bool clickable : {true, false}) {
    SCOPED_TRACE(clickable ? "asked for the clickable point" : "asked for the rectangle");
    FakeTarget target;
    if (clickable) target.point = ScreenPoint{15, 20};
    FakeMouse mouse;
    mouse.monitor_fails = true;
    const Result<void> result = activate(ElementId{8}, target, mouse);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().alternate(),
              "invoking element failed: element.click() failed: GetMonitorInfoW failed");
    EXPECT_TRUE(mouse.steps.empty());
  }
}

TEST(MouseFallback, RefusedButtonUpIsSentOnceMoreBeforeTheError) {
  FakeTarget target;
  target.point = ScreenPoint{100, 100};
  {
    SCOPED_TRACE("the second button-up is taken");
    FakeMouse mouse;  // at (100, 100) already: one move, then down, then the refused up
    mouse.refuse_send_number = 3;
    const Result<void> result = click_element(target, mouse);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(mouse.steps, (std::vector<Step>{sent(move_to(100, 100)), kDown, pause(100), kUp}));
    EXPECT_TRUE(mouse.standard_error.empty());
  }
  {
    SCOPED_TRACE("the second button-up is refused too");
    FakeMouse mouse;
    mouse.refuse_sends_from = 3;
    const Result<void> result = click_element(target, mouse);
    ASSERT_FALSE(result.has_value());
    EXPECT_EQ(result.error().plain(), "inner");
    EXPECT_EQ(mouse.steps, (std::vector<Step>{sent(move_to(100, 100)), kDown, pause(100)}));
    ASSERT_EQ(mouse.standard_error.size(), 1u);
    EXPECT_NE(mouse.standard_error[0].find("SendInput refused"), std::string::npos)
        << mouse.standard_error[0];
  }
}

TEST(ActivationPath, NamesAndOrder) {
  const std::pair<ActivationPath, const char*> names[] = {
      {ActivationPath::Invoke, "Invoke"},
      {ActivationPath::Toggle, "Toggle"},
      {ActivationPath::SelectionItem, "SelectionItem"},
      {ActivationPath::ExpandCollapse, "ExpandCollapse"},
      {ActivationPath::LegacyDefaultAction, "LegacyDefaultAction"}};
  for (std::size_t i = 0; i < std::size(names); ++i) {
    EXPECT_EQ(debug_text(names[i].first), names[i].second);
    EXPECT_EQ(static_cast<std::size_t>(names[i].first), i);
    EXPECT_EQ(kActivationOrder[i], names[i].first);
  }
}

}  // namespace
}  // namespace vantro::picking
