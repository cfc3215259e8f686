// The settings window's rules over plain values: what its controls show for a configuration,
// and the configuration that its entries make on Save, with the checks Save runs first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "config/config.h"
#include "core/error.h"

namespace vantro::settings {

// Fill colours shown when the configured fill is blank.
inline constexpr std::string_view kDefaultElementFill = "#FFE500";
inline constexpr std::string_view kDefaultWindowFill = "#33AAFF";
inline constexpr std::string_view kDefaultAlphabet = "asdfghjkl";

// The entries of the window: the texts of its edits (UTF-8) and its two checkboxes.
struct SettingsEntries {
  std::string pick_element;
  std::string pick_window;
  std::string alphabet;
  std::string element_fill;
  std::string window_fill;
  std::string element_opacity;
  std::string window_opacity;
  bool draw_leaders = false;
  bool launch_at_startup = false;
  friend bool operator==(const SettingsEntries&, const SettingsEntries&) = default;
};

// What the controls show when the window opens. `startup_registered` is the answer of the
// start-at-login query, nothing when the query failed (the configured choice is shown then).
[[nodiscard]] SettingsEntries initial_entries(const config::Config& config,
                                              std::optional<bool> startup_registered);

// The fill shown for a configured fill: as stored when it holds anything besides white
// space, else the fallback.
[[nodiscard]] std::string initial_fill(const std::string& configured, std::string_view fallback);
// The opacity shown: decimal, empty for 0.
[[nodiscard]] std::string initial_opacity(std::uint8_t opacity);
// Whether the one leader checkbox starts ticked: the element set's choice when it has one,
// else the window set's, ticked when neither has one.
[[nodiscard]] bool initial_draw_leaders(const config::BadgeColors& element,
                                        const config::BadgeColors& window);

// An opacity entry as a percentage: trimmed, an optional '+', ASCII digits of an unsigned
// 32-bit value; anything else (empty, a sign alone, a '-', other characters, too large) gives
// 0, a number gives min(number, 100).
[[nodiscard]] std::uint8_t parse_opacity(std::string_view entry);

// A blank alphabet entry becomes the default alphabet; any other stays as typed.
[[nodiscard]] std::string alphabet_from_entry(std::string_view entry);

// The record Save writes: every field the window shows from its entries (chords and fills as
// typed), and the colour fields it does not show (badge_fg, border, leader_color) carried over
// from `carried` so that they survive a save.
[[nodiscard]] config::Config build_config(const SettingsEntries& entries, const config::Config& carried);

// The checks of Save, in order, stopping at the first failure: the pick-element chord, the
// pick-window chord, then each non-blank badge fill. The error names the entry.
[[nodiscard]] Result<void> validate(const config::Config& config);

// The wrappers around the error of one check: a fixed line, then the check's message.
[[nodiscard]] Error pick_element_error(const Error& error);
[[nodiscard]] Error pick_window_error(const Error& error);
[[nodiscard]] Error element_color_error(const Error& error);
[[nodiscard]] Error window_color_error(const Error& error);

// The body of the "Invalid settings" box.
[[nodiscard]] std::string invalid_settings_body(const Error& error);

}  // namespace vantro::settings
