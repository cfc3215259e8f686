// Error values for failed Windows calls.
#pragma once

#include <windows.h>

#include <string>

#include "core/error.h"

namespace vantro::windows {

// The system's message text for an HRESULT, without the trailing line break.
[[nodiscard]] std::string system_message(HRESULT hr);

// An HRESULT as an error value: "{system message} (0x{hr:08X})".
[[nodiscard]] Error hresult_error(HRESULT hr);

// The calling thread's last Windows error as an error value; call it right after the failed
// call, before anything else can overwrite the code.
[[nodiscard]] Error last_error();

// The same, wrapped in one context message.
[[nodiscard]] inline Error last_error(std::string context) { return last_error().context(std::move(context)); }

// The calling thread's last Windows error as a system input/output error:
// "{system message} (os error {code})".
[[nodiscard]] Error last_io_error();
[[nodiscard]] Error io_error(DWORD code);

}  // namespace vantro::windows
