// parse_hex_color and the overlay style builders over arbitrary text.
//
// Input: the first line is parsed on its own; the next four lines are the badge colours of a
// BadgeColors record, then one byte of opacity and one of the leader flag.
#include <fmt/format.h>

#include "config/config.h"
#include "core/text.h"
#include "fuzz_support.h"
#include "overlay/color.h"

namespace {

using vantro::overlay::ColorRef;
using vantro::overlay::OverlayStyle;

void check_parse(std::string_view text) {
  const auto color = vantro::overlay::parse_hex_color(text);
  if (!color) {
    const std::string& message = color.error().plain();
    VANTRO_FUZZ_CHECK(color.error().chain().size() == 1);
    VANTRO_FUZZ_CHECK(message == "invalid digit found in string" ||
                      message == fmt::format("hex color must be #RGB or #RRGGBB, got '{}'", text));
    return;
  }
  VANTRO_FUZZ_CHECK(*color <= 0xFFFFFFu);
  // A colour that parses reads back the same from its canonical #RRGGBB form.
  const std::string canonical =
      fmt::format("#{:02X}{:02X}{:02X}", *color & 0xFF, (*color >> 8) & 0xFF, (*color >> 16) & 0xFF);
  const auto again = vantro::overlay::parse_hex_color(canonical);
  VANTRO_FUZZ_CHECK(again && *again == *color);
  // What parsed is hexadecimal digits only, after blanks and '#' are gone.
  std::string_view digits = vantro::text::trim_white_space(text);
  while (!digits.empty() && digits.front() == '#') digits.remove_prefix(1);
  VANTRO_FUZZ_CHECK(digits.size() == 3 || digits.size() == 6);
  VANTRO_FUZZ_CHECK(digits.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos);
}

void check_style(OverlayStyle (*build)(const vantro::config::BadgeColors&),
                 const vantro::config::BadgeColors& colors) {
  const OverlayStyle preset = build({});
  const OverlayStyle style = build(colors);
  // What the configuration cannot change stays as preset.
  VANTRO_FUZZ_CHECK(style.font_height == preset.font_height && style.name_bg == preset.name_bg &&
                    style.name_fg == preset.name_fg && style.pad_x == preset.pad_x &&
                    style.pad_y == preset.pad_y && style.shadow == preset.shadow &&
                    style.placement == preset.placement);
  const auto expect_color = [](ColorRef built, ColorRef preset_value, std::string_view configured) {
    const auto parsed = vantro::overlay::parse_hex_color(configured);
    VANTRO_FUZZ_CHECK(built == (parsed ? *parsed : preset_value));
  };
  expect_color(style.badge_bg, preset.badge_bg, colors.badge_bg);
  expect_color(style.badge_fg, preset.badge_fg, colors.badge_fg);
  expect_color(style.border, preset.border, colors.border);
  expect_color(style.leader_color, preset.leader_color, colors.leader_color);
  if (colors.opacity == 0) {
    VANTRO_FUZZ_CHECK(style.alpha == preset.alpha);
  } else {
    VANTRO_FUZZ_CHECK(style.alpha >= 2);
    VANTRO_FUZZ_CHECK((style.alpha == 255) == (colors.opacity >= 100));
  }
  VANTRO_FUZZ_CHECK(style.show_leader == colors.show_leader.value_or(preset.show_leader));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vantro::fuzz::Input input(data, size);
  check_parse(input.line());

  vantro::config::BadgeColors colors;
  colors.badge_bg = input.line();
  colors.badge_fg = input.line();
  colors.border = input.line();
  colors.leader_color = input.line();
  colors.opacity = input.byte();
  const std::uint8_t leader = input.byte();
  if (leader % 3 != 2) colors.show_leader = leader % 3 == 1;
  check_style(&OverlayStyle::for_elements, colors);
  check_style(&OverlayStyle::for_windows, colors);
  return 0;
}
