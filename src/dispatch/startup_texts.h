// The console texts of a normal run.
#pragma once

#include <string>
#include <string_view>

#include "config/config.h"

namespace vantro::dispatch {

// Standard error of a second instance in the same session.
inline constexpr std::string_view kAlreadyRunningText =
    "vantro is already running in this session.\n"
    "Use the existing tray icon, the `--close` flag, or quit it first.\n";

// The start-up banner on standard output: the chords exactly as configured (also one that
// did not register) and the way to quit, which depends on whether the tray exists.
[[nodiscard]] std::string banner_text(const config::HotkeyBindings& hotkeys, bool with_tray);

}  // namespace vantro::dispatch
