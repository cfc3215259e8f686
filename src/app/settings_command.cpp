#include "app/settings_command.h"

#include "logging/log.h"
#include "windows/notification.h"
#include "windows/settings_window.h"

namespace vantro::app {

void run_settings_command(const config::Config& config) {
  const auto saved = windows::open_settings(config);
  if (!saved) {
    VANTRO_LOG(log::Level::Error, "vantro", "settings window failed", log::debug("error", saved.error()));
    windows::notify("Couldn't open Settings", saved.error().plain(), NotificationLevel::Error);
    return;
  }
  if (*saved) {
    windows::notify("Settings saved", "Restart vantro to apply hotkey, alphabet, and color changes.",
                    NotificationLevel::Info);
  }
}

}  // namespace vantro::app
