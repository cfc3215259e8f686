// The logging pipeline over the real environment, file system, clock and standard streams.
#include <windows.h>

#include "core/environment.h"
#include "logging/log_files.h"
#include "logging/pipeline.h"
#include "windows/console.h"
#include "windows/file_system.h"

namespace vantro::log {

void init_logging() {
  install_pipeline(LoggingEnvironment{
      env::read("RUST_LOG"),
      env::read("NO_COLOR"),
      log_dir(),
      std::make_shared<windows::Win32FileSystem>(),
      [] { return std::chrono::system_clock::now(); },
      std::make_shared<windows::StandardStream>(STD_OUTPUT_HANDLE),
      std::make_shared<windows::StandardStream>(STD_ERROR_HANDLE),
  });
}

}  // namespace vantro::log
