// Which tray command a chosen menu item stands for.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/actions.h"
#include "tray/menu_events.h"

namespace vantro::tray {

// The menu ids of the items that carry a command (the about item carries none).
struct TrayMenuIds {
  std::string pick_element;
  std::string pick_window;
  std::string settings;
  std::string view_log;
  std::string quit;
};

// The command of the item with this id, compared in the order pick element, pick window,
// settings, view log, quit; nothing for any other id.
[[nodiscard]] std::optional<TrayCommand> command_for_menu_id(const TrayMenuIds& ids, std::string_view id);

// The commands of these events in their order; events of other ids are dropped.
[[nodiscard]] std::vector<TrayCommand> commands_for_events(const TrayMenuIds& ids,
                                                           std::span<const MenuEvent> events);

}  // namespace vantro::tray
