// Which log file View Log opens, and the command line that opens it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "logging/log_files.h"

namespace vantro::dispatch {

// Of the entries whose names pass the log-file name test (of any kind), the one with the
// latest last-write time; of equal times the one listed later. Nothing when none passes.
[[nodiscard]] std::optional<std::size_t> choose_log_to_view(std::span<const log::DirEntry> entries);

// One argument quoted by the rules that CommandLineToArgvW and the C runtime undo: in double
// quotes when it is empty or holds a space or tab (or always when asked), with the backslashes
// before a double quote, and before the closing quote, doubled and each double quote escaped.
[[nodiscard]] std::u16string quote_argument(std::u16string_view argument, bool always);

// "notepad.exe" (found on the system's search path) with the file as its one argument.
[[nodiscard]] std::u16string notepad_command_line(std::u16string_view path);

}  // namespace vantro::dispatch
