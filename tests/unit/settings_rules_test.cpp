#include "settings/settings_rules.h"

#include <gtest/gtest.h>

namespace vantro::settings {
namespace {

TEST(SettingsRules, OpacityEntries) {
  const struct {
    const char* entry;
    int expected;
  } cases[] = {
      {" 42 ", 42},
      {"+7", 7},
      {"250", 100},
      {"100", 100},
      {"0", 0},
      {"", 0},
      {"   ", 0},
      {"+", 0},
      {"-", 0},
      {"-5", 0},
      {"-0", 0},
      {"50%", 0},
      {"5 0", 0},
      {"++5", 0},
      {"0x10", 0},
      {"4294967295", 100},
      {"4294967296", 0},
      {"99999999999", 0},
      {"007", 7},
      {"\xE3\x80\x80"
       "12\t",
       12},
      {"\xEF\xBC\x91", 0},  // a full-width digit is no ASCII digit
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.entry);
    EXPECT_EQ(parse_opacity(test.entry), test.expected);
  }
}

TEST(SettingsRules, AlphabetEntries) {
  EXPECT_EQ(alphabet_from_entry(""), "asdfghjkl");
  EXPECT_EQ(alphabet_from_entry(" \t "), "asdfghjkl");
  EXPECT_EQ(alphabet_from_entry(" qwer "), " qwer ") << "kept untrimmed";
  EXPECT_EQ(alphabet_from_entry("jk"), "jk");
}

TEST(SettingsRules, InitialEntriesOfTheDefaultRecord) {
  const SettingsEntries entries = initial_entries(config::Config{}, false);
  EXPECT_EQ(entries, (SettingsEntries{
                         .pick_element = "Ctrl+Shift+Space",
                         .pick_window = "Ctrl+Alt+Space",
                         .alphabet = "asdfghjkl",
                         .element_fill = "#FFE500",
                         .window_fill = "#33AAFF",
                         .element_opacity = "",
                         .window_opacity = "",
                         .draw_leaders = true,
                         .launch_at_startup = false,
                     }));
}

TEST(SettingsRules, InitialFillsAndOpacities) {
  config::Config config;
  config.colors.element.badge_bg = " #123 ";
  config.colors.window.badge_bg = " \t";
  config.colors.element.opacity = 150;
  config.colors.window.opacity = 7;
  const SettingsEntries entries = initial_entries(config, std::nullopt);
  EXPECT_EQ(entries.element_fill, " #123 ") << "as stored, untrimmed";
  EXPECT_EQ(entries.window_fill, "#33AAFF");
  EXPECT_EQ(entries.element_opacity, "150");
  EXPECT_EQ(entries.window_opacity, "7");
  EXPECT_EQ(initial_opacity(255), "255");
}

TEST(SettingsRules, LeaderCheckbox) {
  const std::optional<bool> absent;
  const struct {
    std::optional<bool> element;
    std::optional<bool> window;
    bool ticked;
  } cases[] = {
      {true, false, true},  {false, true, false},   {false, absent, false}, {true, absent, true},
      {absent, true, true}, {absent, false, false}, {absent, absent, true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(testing::Message() << "element " << test.element.has_value() << test.element.value_or(false)
                                    << " window " << test.window.has_value() << test.window.value_or(false));
    config::BadgeColors element, window;
    element.show_leader = test.element;
    window.show_leader = test.window;
    EXPECT_EQ(initial_draw_leaders(element, window), test.ticked);
  }
}

TEST(SettingsRules, StartAtLoginFollowsTheQueryElseTheRecord) {
  config::Config config;
  config.startup.launch_at_startup = true;
  EXPECT_TRUE(initial_entries(config, std::nullopt).launch_at_startup);
  EXPECT_FALSE(initial_entries(config, false).launch_at_startup);
  config.startup.launch_at_startup = false;
  EXPECT_TRUE(initial_entries(config, true).launch_at_startup);
  EXPECT_FALSE(initial_entries(config, std::nullopt).launch_at_startup);
}

TEST(SettingsRules, RecordBuiltFromTheEntries) {
  config::Config carried;
  carried.hotkeys.pick_element = "never used";
  carried.hints.alphabet = "never used";
  carried.colors.element = {"#000", "#e1", "#e2", 33, std::nullopt, "#e3"};
  carried.colors.window = {"#000", "#w1", "#w2", 44, true, "#w3"};
  carried.startup.launch_at_startup = true;

  const SettingsEntries entries{
      .pick_element = " Alt+Q ",
      .pick_window = "Alt+W",
      .alphabet = "  ",
      .element_fill = " #FFE500",
      .window_fill = "",
      .element_opacity = "150",
      .window_opacity = "99999999999",
      .draw_leaders = false,
      .launch_at_startup = false,
  };
  const config::Config built = build_config(entries, carried);
  EXPECT_EQ(built.hotkeys.pick_element, " Alt+Q ");
  EXPECT_EQ(built.hotkeys.pick_window, "Alt+W");
  EXPECT_EQ(built.hints.alphabet, "asdfghjkl");
  EXPECT_EQ(built.colors.element, (config::BadgeColors{" #FFE500", "#e1", "#e2", 100, false, "#e3"}));
  EXPECT_EQ(built.colors.window, (config::BadgeColors{"", "#w1", "#w2", 0, false, "#w3"}));
  EXPECT_FALSE(built.startup.launch_at_startup);
}

TEST(SettingsRules, UnchangedDefaultsSaveTheShownFills) {
  const config::Config start;
  const config::Config built = build_config(initial_entries(start, false), start);
  EXPECT_EQ(built.colors.element.badge_bg, "#FFE500");
  EXPECT_EQ(built.colors.window.badge_bg, "#33AAFF");
  EXPECT_EQ(built.colors.element.show_leader, std::optional<bool>(true));
  EXPECT_EQ(built.colors.window.show_leader, std::optional<bool>(true));
  EXPECT_EQ(built.colors.element.opacity, 0);
  EXPECT_EQ(built.hotkeys, start.hotkeys);
  EXPECT_TRUE(validate(built));
}

TEST(SettingsRules, ValidationStopsAtTheFirstFailingEntry) {
  const auto config_with = [](const char* element_chord, const char* window_chord, const char* element_fill,
                              const char* window_fill) {
    config::Config config;
    config.hotkeys = {element_chord, window_chord};
    config.colors.element.badge_bg = element_fill;
    config.colors.window.badge_bg = window_fill;
    return config;
  };
  const struct {
    const char* name;
    config::Config config;
    const char* message;  // empty: passes
  } cases[] = {
      {"all valid, chords with spaces", config_with(" Ctrl+Shift+Space ", "Alt+W", "#fff", "#123456"), ""},
      {"blank fills pass", config_with("Alt+Q", "Alt+W", "", "   "), ""},
      {"both chords invalid", config_with("Ctrl+Nope", "", "zz", "zz"),
       "Pick element hotkey is invalid:\n  unrecognized key 'Nope' in 'Ctrl+Nope'"},
      {"window chord invalid", config_with("Alt+Q", "", "zz", "zz"),
       "Pick window hotkey is invalid:\n  empty hotkey string"},
      {"element fill invalid", config_with("Alt+Q", "Alt+W", "#12", "zz"),
       "Element badge color is invalid:\n  hex color must be #RGB or #RRGGBB, got '#12'"},
      {"window fill invalid", config_with("Alt+Q", "Alt+W", "#123", "#12345g"),
       "Window badge color is invalid:\n  invalid digit found in string"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    const auto result = validate(test.config);
    if (std::string_view(test.message).empty()) {
      EXPECT_TRUE(result) << result.error().plain();
      continue;
    }
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().plain(), test.message);
    EXPECT_EQ(result.error().chain().size(), 1u);
  }
}

TEST(SettingsRules, WrappersAndInvalidSettingsBody) {
  const Error inner = Error("unknown key 'NOPE'").context("unrecognized key 'nope' in 'Alt+nope'");
  EXPECT_EQ(pick_element_error(inner).plain(),
            "Pick element hotkey is invalid:\n  unrecognized key 'nope' in 'Alt+nope'");
  EXPECT_EQ(pick_window_error(inner).plain(),
            "Pick window hotkey is invalid:\n  unrecognized key 'nope' in 'Alt+nope'");
  EXPECT_EQ(element_color_error(Error("x")).plain(), "Element badge color is invalid:\n  x");
  EXPECT_EQ(window_color_error(Error("x")).plain(), "Window badge color is invalid:\n  x");
  EXPECT_EQ(invalid_settings_body(pick_window_error(Error("empty hotkey string"))),
            "Pick window hotkey is invalid:\n  empty hotkey string\n\nPlease fix and try again.");
}

}  // namespace
}  // namespace vantro::settings
