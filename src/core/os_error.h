// Failures of the operating system's calls as error values: "{system message} (os error {code})".
// On Windows the code is a Win32 error code (GetLastError) and the message the system's text
// for it (FormatMessageW); elsewhere the code is an errno value and the message its strerror
// text.
#pragma once

#include <cstdint>
#include <string>

#include "core/error.h"

namespace vantro {

// The system's text for a message number (on Windows also an HRESULT), without the trailing
// line break; empty when the system has none.
[[nodiscard]] std::string os_system_text(std::uint32_t code);

// The system's text for a message number; "Unknown error" when the system has none.
[[nodiscard]] std::string os_error_text(std::uint32_t code);

// A text that names a code for which the system has none: a short description of the UI
// Automation codes, "error 0x{code:08X}" for any other.
[[nodiscard]] std::string code_description(std::uint32_t code);

// The system's text for an HRESULT (on Windows); code_description(code) when the system has
// none.
[[nodiscard]] std::string hresult_text(std::uint32_t code);

// "{os_error_text(code)} (os error {code})".
[[nodiscard]] Error os_error(std::uint32_t code);

// The calling thread's last error (GetLastError on Windows, errno elsewhere) as an error value;
// call it right after the failed call, before anything else can overwrite the code.
[[nodiscard]] Error last_os_error();

}  // namespace vantro
