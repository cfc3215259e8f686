// The settings window: edits the chords, the alphabet, the badge fills and opacities, the
// leader lines and start at login, and saves them to the configuration file.
#pragma once

#include "config/config.h"
#include "core/error.h"

namespace vantro::windows {

// Shows the window with the values of `config` and runs its message loop on this thread until
// it closes. True when Save wrote the configuration file; false after Cancel, the close
// button, Reset, or a quit request of the thread, which ends the window and is posted again
// for the caller's loop. An error when the window cannot be created.
[[nodiscard]] Result<bool> open_settings(const config::Config& config);

}  // namespace vantro::windows
