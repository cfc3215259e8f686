#include "tray/tray_commands.h"

#include <array>
#include <utility>

namespace vantro::tray {

std::optional<TrayCommand> command_for_menu_id(const TrayMenuIds& ids, std::string_view id) {
  const std::array<std::pair<const std::string*, TrayCommand>, 5> table{{
      {&ids.pick_element, TrayCommand::PickElement},
      {&ids.pick_window, TrayCommand::PickWindow},
      {&ids.settings, TrayCommand::Settings},
      {&ids.view_log, TrayCommand::ViewLog},
      {&ids.quit, TrayCommand::Quit},
  }};
  for (const auto& [stored, command] : table)
    if (*stored == id) return command;
  return std::nullopt;
}

std::vector<TrayCommand> commands_for_events(const TrayMenuIds& ids, std::span<const MenuEvent> events) {
  std::vector<TrayCommand> commands;
  for (const MenuEvent& event : events)
    if (const auto command = command_for_menu_id(ids, event.id)) commands.push_back(*command);
  return commands;
}

}  // namespace vantro::tray
