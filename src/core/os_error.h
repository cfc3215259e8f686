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
// line break; "Unknown error" when the system has none.
[[nodiscard]] std::string os_error_text(std::uint32_t code);

// "{os_error_text(code)} (os error {code})".
[[nodiscard]] Error os_error(std::uint32_t code);

// The calling thread's last error (GetLastError on Windows, errno elsewhere) as an error value;
// call it right after the failed call, before anything else can overwrite the code.
[[nodiscard]] Error last_os_error();

}  // namespace vantro
