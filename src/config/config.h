// The user's settings: one record of four tables, each key with its default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantro::config {

struct HotkeyBindings {
  std::string pick_element = "Ctrl+Shift+Space";
  std::string pick_window = "Ctrl+Alt+Space";
  friend bool operator==(const HotkeyBindings&, const HotkeyBindings&) = default;
};

struct HintConfig {
  std::string alphabet = "asdfghjkl";
  friend bool operator==(const HintConfig&, const HintConfig&) = default;
};

struct BadgeColors {
  std::string badge_bg;
  std::string badge_fg;
  std::string border;
  std::uint8_t opacity = 0;  // percent; 0 keeps the overlay's preset, above 100 counts as 100
  std::optional<bool> show_leader;
  std::string leader_color;
  friend bool operator==(const BadgeColors&, const BadgeColors&) = default;
};

struct ColorConfig {
  BadgeColors element;
  BadgeColors window;
  friend bool operator==(const ColorConfig&, const ColorConfig&) = default;
};

struct StartupConfig {
  bool launch_at_startup = false;
  friend bool operator==(const StartupConfig&, const StartupConfig&) = default;
};

struct Config {
  HotkeyBindings hotkeys;
  HintConfig hints;
  ColorConfig colors;
  StartupConfig startup;
  friend bool operator==(const Config&, const Config&) = default;
};

}  // namespace vantro::config
