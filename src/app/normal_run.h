// The normal run: set-up, the main message loop and shutdown.
#pragma once

namespace vantro::app {

// Returns the exit code: 0 when the loop ended (or another instance runs), 1 when start-up
// failed.
[[nodiscard]] int run_normal(bool no_tray);

}  // namespace vantro::app
