// "--clear-logs": deletes every entry of the log directory whose name begins with "vantro".
#pragma once

#include <optional>
#include <string>

#include "core/output.h"
#include "logging/log_files.h"

namespace vantro::cli {

// Runs the task over `log_dir` (none when it cannot be formed) and gives the exit code.
// Entries are deleted as files, so a matching subdirectory fails and is counted as a failure.
[[nodiscard]] int run_clear_logs(const std::optional<std::u16string>& log_dir, log::FileSystem& fs,
                                 TextOutput& out, TextOutput& err);

}  // namespace vantro::cli
