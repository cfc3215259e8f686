// The process-wide menu event channel: unbounded, created on first use. The menu sends one
// event per chosen item; the main loop receives without waiting.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantro::tray {

struct MenuEvent {
  std::string id;  // the chosen item's menu id
  friend bool operator==(const MenuEvent&, const MenuEvent&) = default;
};

// Safe from any thread.
void send_menu_event(MenuEvent event);

// The oldest event not yet received, or nothing; never blocks.
[[nodiscard]] std::optional<MenuEvent> try_receive_menu_event();

// Every event not yet received, oldest first; never blocks.
[[nodiscard]] std::vector<MenuEvent> receive_pending_menu_events();

}  // namespace vantro::tray
