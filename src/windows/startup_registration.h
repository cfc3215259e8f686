// Start at login: the value "vantro" in the current user's Run key.
#pragma once

#include <string>
#include <string_view>

#include "core/error.h"

namespace vantro::windows {

// Whether a value "vantro" exists in HKCU\Software\Microsoft\Windows\CurrentVersion\Run,
// whatever its type and data. A Run key that cannot be opened is an error, not false.
[[nodiscard]] Result<bool> is_startup_registered();

// Enable writes the running executable's path, in double quotes (so that a path with spaces
// cannot be read as a shorter program), as the REG_SZ value; disable deletes the value, and
// an absent value is success. The Run key is never created.
[[nodiscard]] Result<void> set_startup_registration(bool enable);

// Tests only: the subkey of HKEY_CURRENT_USER used in place of the Run key; empty restores it.
void set_run_key_for_tests(std::wstring_view subkey);

}  // namespace vantro::windows
