// View Log: Notepad on the newest file of the log directory.
#pragma once

#include "core/error.h"
#include "logging/log_files.h"

namespace vantro::app {

// Nothing happens without a log directory, a readable listing or a log file; an error only
// when Notepad cannot be started. The process is not waited for.
[[nodiscard]] Result<void> view_log(log::FileSystem& fs);

}  // namespace vantro::app
