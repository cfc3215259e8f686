// What the main loop does with the hotkey actions and tray commands it drains, behind a small
// interface so that the orders and texts are exercised without a desktop.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/actions.h"
#include "core/error.h"

namespace vantro::dispatch {

// The things an action or command can start. Each returns when its work (and any window it
// opened) is done.
class ActionHandlers {
 public:
  virtual ~ActionHandlers() = default;
  [[nodiscard]] virtual Result<void> pick_element() = 0;
  [[nodiscard]] virtual Result<void> pick_window() = 0;
  // Whether the user saved.
  [[nodiscard]] virtual Result<bool> open_settings() = 0;
  [[nodiscard]] virtual Result<void> view_log() = 0;
  // Asks the main loop to end once the current lists have run.
  virtual void post_quit() = 0;
  // A blocking message box.
  virtual void notify(std::string_view title, std::string_view body, NotificationLevel level) = 0;
};

// Where the main loop's messages and events come from.
class MessagePump {
 public:
  virtual ~MessagePump() = default;
  // Waits for the next message and dispatches it; false on the quit message or a failure.
  [[nodiscard]] virtual bool dispatch_next() = 0;
  [[nodiscard]] virtual std::vector<Action> drain_actions() = 0;
  // Nothing when there is no tray.
  [[nodiscard]] virtual std::optional<std::vector<TrayCommand>> drain_tray_commands() = 0;
};

// The body of the box for a hotkey action that failed: "PickElement failed:\n{plain}\n\n…".
[[nodiscard]] std::string action_failed_body(Action action, const Error& error);

// Runs each action to its end, in order; a failure is logged and shown, then the next runs.
void run_actions(std::span<const Action> actions, ActionHandlers& handlers);
// The same for tray commands; Quit posts the quit request and the rest of the list still runs.
void run_tray_commands(std::span<const TrayCommand> commands, ActionHandlers& handlers);

// After every dispatched message, rounds of drains: the hotkey actions, then (with a tray) the
// tray commands, again and again until a round finds both channels empty; only then the next
// message. Returns when the pump reports the end, without draining after it.
void run_main_loop(MessagePump& pump, ActionHandlers& handlers);

}  // namespace vantro::dispatch
