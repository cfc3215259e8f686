#include "settings/settings_rules.h"

#include <algorithm>
#include <limits>

#include <fmt/format.h>

#include "core/text.h"
#include "hotkey/chord.h"
#include "overlay/color.h"

namespace vantro::settings {
namespace {

bool blank(std::string_view text) {
  return text::trim_white_space(text).empty();
}

Error wrapped(std::string_view line, const Error& error) {
  return Error(fmt::format("{}\n  {}", line, error.plain()));
}

void take_shown_fields(config::BadgeColors& colors, const std::string& fill, const std::string& opacity,
                       bool draw_leaders) {
  colors.badge_bg = fill;
  colors.opacity = parse_opacity(opacity);
  colors.show_leader = draw_leaders;
}

}  // namespace

std::string initial_fill(const std::string& configured, std::string_view fallback) {
  return blank(configured) ? std::string(fallback) : configured;
}

std::string initial_opacity(std::uint8_t opacity) {
  return opacity == 0 ? std::string() : fmt::format("{}", opacity);
}

bool initial_draw_leaders(const config::BadgeColors& element, const config::BadgeColors& window) {
  if (element.show_leader) return *element.show_leader;
  return window.show_leader.value_or(true);
}

SettingsEntries initial_entries(const config::Config& config, std::optional<bool> startup_registered) {
  return {
      .pick_element = config.hotkeys.pick_element,
      .pick_window = config.hotkeys.pick_window,
      .alphabet = config.hints.alphabet,
      .element_fill = initial_fill(config.colors.element.badge_bg, kDefaultElementFill),
      .window_fill = initial_fill(config.colors.window.badge_bg, kDefaultWindowFill),
      .element_opacity = initial_opacity(config.colors.element.opacity),
      .window_opacity = initial_opacity(config.colors.window.opacity),
      .draw_leaders = initial_draw_leaders(config.colors.element, config.colors.window),
      .launch_at_startup = startup_registered.value_or(config.startup.launch_at_startup),
  };
}

std::uint8_t parse_opacity(std::string_view entry) {
  std::string_view digits = text::trim_white_space(entry);
  if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
  if (digits.empty()) return 0;
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
    if (value > std::numeric_limits<std::uint32_t>::max()) return 0;
  }
  return static_cast<std::uint8_t>(std::min<std::uint64_t>(value, 100));
}

std::string alphabet_from_entry(std::string_view entry) {
  return blank(entry) ? std::string(kDefaultAlphabet) : std::string(entry);
}

config::Config build_config(const SettingsEntries& entries, const config::Config& carried) {
  config::Config config;
  config.hotkeys.pick_element = entries.pick_element;
  config.hotkeys.pick_window = entries.pick_window;
  config.hints.alphabet = alphabet_from_entry(entries.alphabet);
  config.colors = carried.colors;
  take_shown_fields(config.colors.element, entries.element_fill, entries.element_opacity,
                    entries.draw_leaders);
  take_shown_fields(config.colors.window, entries.window_fill, entries.window_opacity, entries.draw_leaders);
  config.startup.launch_at_startup = entries.launch_at_startup;
  return config;
}

Error pick_element_error(const Error& error) {
  return wrapped("Pick element hotkey is invalid:", error);
}
Error pick_window_error(const Error& error) {
  return wrapped("Pick window hotkey is invalid:", error);
}
Error element_color_error(const Error& error) {
  return wrapped("Element badge color is invalid:", error);
}
Error window_color_error(const Error& error) {
  return wrapped("Window badge color is invalid:", error);
}

Result<void> validate(const config::Config& config) {
  if (auto chord = hotkey::parse_hotkey(config.hotkeys.pick_element); !chord)
    return fail(pick_element_error(chord.error()));
  if (auto chord = hotkey::parse_hotkey(config.hotkeys.pick_window); !chord)
    return fail(pick_window_error(chord.error()));
  if (!blank(config.colors.element.badge_bg)) {
    if (auto color = overlay::parse_hex_color(config.colors.element.badge_bg); !color)
      return fail(element_color_error(color.error()));
  }
  if (!blank(config.colors.window.badge_bg)) {
    if (auto color = overlay::parse_hex_color(config.colors.window.badge_bg); !color)
      return fail(window_color_error(color.error()));
  }
  return {};
}

std::string invalid_settings_body(const Error& error) {
  return fmt::format("{}\n\nPlease fix and try again.", error.plain());
}

}  // namespace vantro::settings
