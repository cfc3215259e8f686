#include "dispatch/dispatch.h"

#include <fmt/format.h>

#include "logging/log.h"

namespace vantro::dispatch {
namespace {

constexpr std::string_view kTarget = "vantro";

void report_tray_pick_failure(ActionHandlers& handlers, std::string_view event, std::string_view title,
                              const Error& error) {
  VANTRO_LOG(log::Level::Error, kTarget, event, log::debug("error", error));
  handlers.notify(title, fmt::format("{}\n\nSee log for details.", error.plain()), NotificationLevel::Error);
}

}  // namespace

std::string action_failed_body(Action action, const Error& error) {
  return fmt::format("{} failed:\n{}\n\nSee log for details.", debug_name(action), error.plain());
}

void run_actions(std::span<const Action> actions, ActionHandlers& handlers) {
  for (const Action action : actions) {
    const Result<void> done = action == Action::PickWindow ? handlers.pick_window() : handlers.pick_element();
    if (done) continue;
    VANTRO_LOG(log::Level::Error, kTarget, "hotkey handler failed",
               log::display("action", debug_name(action)), log::debug("error", done.error()));
    handlers.notify("vantro: action failed", action_failed_body(action, done.error()),
                    NotificationLevel::Error);
  }
}

void run_tray_commands(std::span<const TrayCommand> commands, ActionHandlers& handlers) {
  for (const TrayCommand command : commands) {
    switch (command) {
      case TrayCommand::PickElement:
        if (auto done = handlers.pick_element(); !done)
          report_tray_pick_failure(handlers, "tray PickElement failed", "vantro: pick element failed",
                                   done.error());
        break;
      case TrayCommand::PickWindow:
        if (auto done = handlers.pick_window(); !done)
          report_tray_pick_failure(handlers, "tray PickWindow failed", "vantro: pick window failed",
                                   done.error());
        break;
      case TrayCommand::Settings: {
        const Result<bool> saved = handlers.open_settings();
        if (!saved) {
          VANTRO_LOG(log::Level::Error, kTarget, "settings window failed",
                     log::debug("error", saved.error()));
          handlers.notify("Couldn't open Settings", saved.error().plain(), NotificationLevel::Error);
        } else if (*saved) {
          handlers.notify("Settings saved", "Restart vantro to apply hotkey, alphabet, and color changes.",
                          NotificationLevel::Info);
        }
        break;
      }
      case TrayCommand::ViewLog:
        if (auto done = handlers.view_log(); !done)
          VANTRO_LOG(log::Level::Error, kTarget, "failed to open log file",
                     log::debug("error", done.error()));
        break;
      case TrayCommand::Quit:
        VANTRO_LOG_MSG(log::Level::Info, kTarget, "quit requested from tray");
        handlers.post_quit();
        break;
    }
  }
}

namespace {

// One round: the hotkey actions, then (with a tray) the tray commands. Whether any ran.
bool drain_and_run(MessagePump& pump, ActionHandlers& handlers) {
  const std::vector<Action> actions = pump.drain_actions();
  run_actions(actions, handlers);
  const auto commands = pump.drain_tray_commands();
  if (commands) run_tray_commands(*commands, handlers);
  return !actions.empty() || (commands && !commands->empty());
}

}  // namespace

void run_main_loop(MessagePump& pump, ActionHandlers& handlers) {
  while (pump.dispatch_next()) {
    // An action or command runs a loop of its own (overlay, settings window, message box),
    // whose window procedures may fill the channels again; no message of the main loop follows
    // them, so drain until a round finds both empty before waiting.
    while (drain_and_run(pump, handlers)) {
    }
  }
}

}  // namespace vantro::dispatch
