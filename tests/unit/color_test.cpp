#include "overlay/color.h"

#include <gtest/gtest.h>

#include "config/config.h"
#include "support/log_capture.h"

namespace vantro::overlay {
namespace {

using test_support::LogCapture;

constexpr std::string_view kLengthError = "hex color must be #RGB or #RRGGBB, got '{}'";
constexpr std::string_view kDigitError = "invalid digit found in string";

std::string length_error(std::string_view text) {
  std::string message(kLengthError);
  message.replace(message.find("{}"), 2, text);
  return message;
}

TEST(ParseHexColor, AcceptedForms) {
  struct Case {
    std::string_view text;
    ColorRef expected;
  } cases[] = {
      {"#FFE500", 0x0000E5FF},
      {" #ffe500 ", 0x0000E5FF},
      {"FFE500", 0x0000E5FF},
      {"##FFE500", 0x0000E5FF},
      {"FFF", 0x00FFFFFF},
      {"###FFF", 0x00FFFFFF},
      {"#F80", 0x000088FF},
      {"#000", 0x00000000},
      {"#123456", 0x00563412},  // red in the low byte
      {"#aBcDeF", 0x00EFCDAB},
      {"\t#102030\n", 0x00302010},
      {"\xE2\x80\x83#1a2\xE3\x80\x80", 0x0022AA11},  // Unicode blanks (em space, ideographic space)
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
    const auto color = parse_hex_color(c.text);
    ASSERT_TRUE(color.has_value()) << color.error().plain();
    EXPECT_EQ(*color, c.expected);
  }
}

TEST(ParseHexColor, RejectedForms) {
  struct Case {
    std::string_view text;
    std::string expected;
  } cases[] = {
      {"#FFFF", length_error("#FFFF")},
      {" #FFFF ", length_error(" #FFFF ")},  // the blanks stay inside the quotes
      {"# FFF", length_error("# FFF")},
      {"", length_error("")},
      {"#", length_error("#")},
      {"red", std::string(kDigitError)},
      {"#GGG", std::string(kDigitError)},
      {"#12345Z", std::string(kDigitError)},
      {"#+F+F+F", std::string(kDigitError)},
      {"#-1-1-1", std::string(kDigitError)},
      {"#0x1", std::string(kDigitError)},
      {"#\xC3\xA9"
       "1",
       std::string(kDigitError)},  // é1: three bytes, not hexadecimal
      {"#F F F F", length_error("#F F F F")},
      {"#FF FFF", std::string(kDigitError)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
    const auto color = parse_hex_color(c.text);
    ASSERT_FALSE(color.has_value()) << *color;
    EXPECT_EQ(color.error().plain(), c.expected);
    EXPECT_EQ(color.error().alternate(), c.expected);  // a single message, no context
  }
}

TEST(ParseHexColor, LogsNothing) {
  LogCapture capture;
  (void)parse_hex_color("#FFF");
  (void)parse_hex_color("bad");
  EXPECT_TRUE(capture.events().empty());
}

TEST(ApplyConfigColor, ValidBlankAndInvalidStrings) {
  LogCapture capture;
  ColorRef field = 0x00123456;
  apply_config_color(field, "  ");
  EXPECT_EQ(field, 0x00123456u);
  apply_config_color(field, "");
  EXPECT_EQ(field, 0x00123456u);
  EXPECT_TRUE(capture.events().empty());

  apply_config_color(field, " #00FF00 ");
  EXPECT_EQ(field, 0x0000FF00u);
  EXPECT_TRUE(capture.events().empty());

  apply_config_color(field, "red");
  EXPECT_EQ(field, 0x0000FF00u);
  ASSERT_EQ(capture.events().size(), 1u);
  const auto& event = capture.events().front();
  EXPECT_EQ(event.level, log::Level::Warn);
  EXPECT_EQ(event.target, "vantro::windows::overlay");
  EXPECT_EQ(event.message, "invalid color in config; keeping default");
  ASSERT_NE(event.field("value"), nullptr);
  EXPECT_EQ(*event.field("value"), "red");
  ASSERT_NE(event.field("error"), nullptr);
  EXPECT_EQ(*event.field("error"), kDigitError);
}

TEST(OverlayStyle, Presets) {
  struct Case {
    const char* name;
    OverlayStyle built;
    OverlayStyle expected;
  } cases[] = {
      {"element",
       OverlayStyle::for_elements({}),
       {.font_height = 16,
        .badge_bg = 0x0000E5FF,
        .badge_fg = 0x00000000,
        .border = 0x00202020,
        .name_bg = 0x00202020,
        .name_fg = 0x00FFFFFF,
        .pad_x = 5,
        .pad_y = 2,
        .leader_color = 0x00202020,
        .alpha = 230,
        .shadow = false,
        .show_leader = true,
        .placement = Placement::AboveFirst}},
      {"window",
       OverlayStyle::for_windows({}),
       {.font_height = 30,
        .badge_bg = 0x00FFAA33,
        .badge_fg = 0x00FFFFFF,
        .border = 0x00101010,
        .name_bg = 0x00202020,
        .name_fg = 0x00FFFFFF,
        .pad_x = 12,
        .pad_y = 6,
        .leader_color = 0x00101010,
        .alpha = 240,
        .shadow = false,
        .show_leader = false,
        .placement = Placement::InsideOnly}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.built.font_height, c.expected.font_height);
    EXPECT_EQ(c.built.badge_bg, c.expected.badge_bg);
    EXPECT_EQ(c.built.badge_fg, c.expected.badge_fg);
    EXPECT_EQ(c.built.border, c.expected.border);
    EXPECT_EQ(c.built.leader_color, c.expected.leader_color);
    EXPECT_EQ(c.built.alpha, c.expected.alpha);
    EXPECT_EQ(c.built.show_leader, c.expected.show_leader);
    EXPECT_TRUE(c.built == c.expected);  // every field, also the ones the configuration cannot change
  }
}

TEST(OverlayStyle, OpacityTable) {
  struct Case {
    std::uint8_t opacity;
    std::uint8_t element, window;
  } cases[] = {
      {0, 230, 240},  {1, 2, 2},       {10, 25, 25},    {50, 127, 127},  {90, 229, 229},
      {99, 252, 252}, {100, 255, 255}, {101, 255, 255}, {200, 255, 255}, {255, 255, 255},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.opacity));
    config::BadgeColors colors;
    colors.opacity = c.opacity;
    EXPECT_EQ(OverlayStyle::for_elements(colors).alpha, c.element);
    EXPECT_EQ(OverlayStyle::for_windows(colors).alpha, c.window);
  }
}

TEST(OverlayStyle, ShowLeaderOverridesThePreset) {
  config::BadgeColors colors;
  colors.show_leader = false;
  EXPECT_FALSE(OverlayStyle::for_elements(colors).show_leader);
  colors.show_leader = true;
  EXPECT_TRUE(OverlayStyle::for_windows(colors).show_leader);
  EXPECT_TRUE(OverlayStyle::for_elements(colors).show_leader);
}

TEST(OverlayStyle, ConfiguredColoursReplaceOnlyTheirFields) {
  config::BadgeColors colors;
  colors.badge_bg = "#010203";
  colors.badge_fg = "fff";
  colors.border = " #A0B0C0 ";
  colors.leader_color = "##400";
  OverlayStyle expected = OverlayStyle::for_windows({});
  expected.badge_bg = 0x00030201;
  expected.badge_fg = 0x00FFFFFF;
  expected.border = 0x00C0B0A0;
  expected.leader_color = 0x00000044;
  EXPECT_EQ(OverlayStyle::for_windows(colors), expected);
}

TEST(OverlayStyle, BadColoursKeepThePresetAndWarnInFieldOrder) {
  LogCapture capture;
  config::BadgeColors colors;
  colors.badge_bg = "red";
  colors.badge_fg = "#00FF00";
  colors.border = "#12";
  colors.leader_color = "   ";
  OverlayStyle expected = OverlayStyle::for_elements({});
  expected.badge_fg = 0x0000FF00;
  EXPECT_EQ(OverlayStyle::for_elements(colors), expected);

  ASSERT_EQ(capture.events().size(), 2u);
  EXPECT_EQ(*capture.events()[0].field("value"), "red");
  EXPECT_EQ(*capture.events()[0].field("error"), kDigitError);
  EXPECT_EQ(*capture.events()[1].field("value"), "#12");
  EXPECT_EQ(*capture.events()[1].field("error"), length_error("#12"));
}

}  // namespace
}  // namespace vantro::overlay
