#include "app/normal_run.h"

#include <windows.h>

#include <optional>

#include "cli/command_line.h"
#include "logging/log.h"
#include "logging/pipeline.h"
#include "windows/console.h"
#include "windows/ipc.h"

namespace vantro::app {
namespace {

constexpr std::string_view kTarget = "vantro";

int error_exit(const Error& error) {
  VANTRO_LOG(log::Level::Error, kTarget, "vantro exited with error", log::debug("error", error));
  return cli::kExitFailure;
}

}  // namespace

int run_normal(bool /*no_tray*/) {
  log::init_logging();
  VANTRO_LOG(log::Level::Info, kTarget, "vantro starting", log::display("version", cli::kVersion));

  auto guard = windows::acquire_single_instance();
  if (!guard) return error_exit(guard.error());
  if (!guard->acquired()) {
    windows::StandardStream err(STD_ERROR_HANDLE);
    (void)err.write(
        "vantro is already running in this session.\n"
        "Use the existing tray icon, the `--close` flag, or quit it first.\n");
    return cli::kExitSuccess;
  }
  windows::UniqueHandle mutex = std::move(std::get<windows::SingleInstance::Acquired>(guard->state).mutex);

  std::optional<windows::UniqueWindow> ipc_window;
  if (auto window = windows::create_ipc_window()) {
    ipc_window = std::move(*window);
  } else {
    VANTRO_LOG(log::Level::Warn, kTarget, "failed to create IPC window; --close will not work",
               log::debug("error", window.error()));
  }

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }

  ipc_window.reset();
  mutex.reset();
  return cli::kExitSuccess;
}

}  // namespace vantro::app
