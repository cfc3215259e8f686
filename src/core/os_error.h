// Failures of the operating system's calls as error values: "{system message} (os error {code})".
// On Windows the code is a Win32 error code (GetLastError) and the message the system's text
// for it (FormatMessageW); elsewhere the code is an errno value and the message its strerror
// text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"

namespace vantro {

// The system's text for a message number (on Windows also an HRESULT), without the trailing
// line break; empty when the system has none.
[[nodiscard]] std::string os_system_text(std::uint32_t code);

// The system's text for a message number; "Unknown error" when the system has none.
[[nodiscard]] std::string os_error_text(std::uint32_t code);

// The short description of a UI Automation code ("the element is no longer available" for
// UIA_E_ELEMENTNOTAVAILABLE); nothing for any other code.
[[nodiscard]] std::optional<std::string_view> element_code_description(std::uint32_t code);

// The text of an element-layer failure, given the system's text for the code (empty when it has
// none): the UI Automation code's description before the system's text, which for those numbers
// is another facility's; then the system's text; then "error 0x{code:08X}".
[[nodiscard]] std::string element_error_text(std::uint32_t code, std::string_view system_text);

// element_error_text(code, the system's text for the HRESULT).
[[nodiscard]] std::string hresult_text(std::uint32_t code);

// "{os_error_text(code)} (os error {code})".
[[nodiscard]] Error os_error(std::uint32_t code);

// The calling thread's last error (GetLastError on Windows, errno elsewhere) as an error value;
// call it right after the failed call, before anything else can overwrite the code.
[[nodiscard]] Error last_os_error();

}  // namespace vantro
