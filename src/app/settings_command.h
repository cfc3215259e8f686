// The tray menu's Settings command: the settings window on the start-up configuration, and
// the boxes that tell the user how it went.
#pragma once

#include "config/config.h"

namespace vantro::app {

// Opens the settings window on `config` and returns when it has closed. A save is followed by
// the "Settings saved" box; a window that cannot open is logged and reported in the box
// "Couldn't open Settings". Never fails: the main loop goes on either way.
void run_settings_command(const config::Config& config);

}  // namespace vantro::app
