// The warning box for chords that could not be registered at start-up.
#pragma once

#include <span>

#include "hotkey/hotkey_failure.h"

namespace vantro::windows {

// With failures: one warning box "vantro: hotkey conflict" listing them, in list order; it
// returns when the user has closed the box. Without failures: nothing.
void report_hotkey_failures(std::span<const hotkey::HotkeyFailure> failures);

}  // namespace vantro::windows
