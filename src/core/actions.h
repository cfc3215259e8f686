// What the hotkeys and the tray menu ask the main loop to do.
#pragma once

#include <cstdint>
#include <string_view>

namespace vantro {

enum class Action : std::uint8_t { PickElement = 0, PickWindow = 1 };

// "Pick element", "Pick window".
[[nodiscard]] constexpr std::string_view display_text(Action action) {
  return action == Action::PickElement ? "Pick element" : "Pick window";
}
// "PickElement", "PickWindow".
[[nodiscard]] constexpr std::string_view debug_name(Action action) {
  return action == Action::PickElement ? "PickElement" : "PickWindow";
}

enum class TrayCommand : std::uint8_t { PickElement = 0, PickWindow = 1, Settings = 2, ViewLog = 3, Quit = 4 };

[[nodiscard]] constexpr std::string_view debug_name(TrayCommand command) {
  switch (command) {
    case TrayCommand::PickElement: return "PickElement";
    case TrayCommand::PickWindow: return "PickWindow";
    case TrayCommand::Settings: return "Settings";
    case TrayCommand::ViewLog: return "ViewLog";
    case TrayCommand::Quit: return "Quit";
  }
  return "?";
}

enum class NotificationLevel : std::uint8_t { Info = 0, Warning = 1, Error = 2 };

}  // namespace vantro
