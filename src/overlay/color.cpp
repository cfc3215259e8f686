#include "overlay/color.h"

#include <algorithm>
#include <optional>

#include <fmt/format.h>

#include "config/config.h"
#include "core/text.h"
#include "logging/log.h"

namespace vantro::overlay {
namespace {

constexpr std::string_view kTarget = "vantro::windows::overlay";

constexpr OverlayStyle kElementPreset{
    .font_height = 16,
    .badge_bg = rgb(0xFF, 0xE5, 0x00),
    .badge_fg = rgb(0x00, 0x00, 0x00),
    .border = rgb(0x20, 0x20, 0x20),
    .name_bg = rgb(0x20, 0x20, 0x20),
    .name_fg = rgb(0xFF, 0xFF, 0xFF),
    .pad_x = 5,
    .pad_y = 2,
    .leader_color = rgb(0x20, 0x20, 0x20),
    .alpha = 230,
    .shadow = false,
    .show_leader = true,
    .placement = Placement::AboveFirst,
};

constexpr OverlayStyle kWindowPreset{
    .font_height = 30,
    .badge_bg = rgb(0x33, 0xAA, 0xFF),
    .badge_fg = rgb(0xFF, 0xFF, 0xFF),
    .border = rgb(0x10, 0x10, 0x10),
    .name_bg = rgb(0x20, 0x20, 0x20),
    .name_fg = rgb(0xFF, 0xFF, 0xFF),
    .pad_x = 12,
    .pad_y = 6,
    .leader_color = rgb(0x10, 0x10, 0x10),
    .alpha = 240,
    .shadow = false,
    .show_leader = false,
    .placement = Placement::InsideOnly,
};

std::optional<std::uint8_t> hex_digit(char c) {
  if (c >= '0' && c <= '9') return static_cast<std::uint8_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<std::uint8_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
  return std::nullopt;
}

OverlayStyle build(OverlayStyle style, const config::BadgeColors& colors) {
  apply_config_color(style.badge_bg, colors.badge_bg);
  apply_config_color(style.badge_fg, colors.badge_fg);
  apply_config_color(style.border, colors.border);
  apply_config_color(style.leader_color, colors.leader_color);
  style.alpha = alpha_for_opacity(colors.opacity, style.alpha);
  if (colors.show_leader) style.show_leader = *colors.show_leader;
  return style;
}

}  // namespace

Result<ColorRef> parse_hex_color(std::string_view text) {
  std::string_view digits = text::trim_white_space(text);
  while (!digits.empty() && digits.front() == '#') digits.remove_prefix(1);
  if (digits.size() != 3 && digits.size() != 6)
    return fail(fmt::format("hex color must be #RGB or #RRGGBB, got '{}'", text));

  std::uint8_t values[6];
  for (std::size_t i = 0; i < digits.size(); ++i) {
    const auto value = hex_digit(digits[i]);
    if (!value) return fail("invalid digit found in string");
    values[i] = *value;
  }
  if (digits.size() == 3)
    return rgb(static_cast<std::uint8_t>(values[0] * 17), static_cast<std::uint8_t>(values[1] * 17),
               static_cast<std::uint8_t>(values[2] * 17));
  return rgb(static_cast<std::uint8_t>(values[0] * 16 + values[1]),
             static_cast<std::uint8_t>(values[2] * 16 + values[3]),
             static_cast<std::uint8_t>(values[4] * 16 + values[5]));
}

void apply_config_color(ColorRef& field, std::string_view configured) {
  if (text::trim_white_space(configured).empty()) return;
  auto color = parse_hex_color(configured);
  if (color) {
    field = *color;
    return;
  }
  VANTRO_LOG(log::Level::Warn, kTarget, "invalid color in config; keeping default",
             log::display("value", configured), log::debug("error", color.error()));
}

std::uint8_t alpha_for_opacity(std::uint8_t opacity, std::uint8_t preset) {
  if (opacity == 0) return preset;
  return static_cast<std::uint8_t>(std::min<unsigned>(opacity, 100) * 255 / 100);
}

OverlayStyle OverlayStyle::for_elements(const config::BadgeColors& colors) {
  return build(kElementPreset, colors);
}

OverlayStyle OverlayStyle::for_windows(const config::BadgeColors& colors) {
  return build(kWindowPreset, colors);
}

}  // namespace vantro::overlay
