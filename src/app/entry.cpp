#include "app/entry.h"

#include <windows.h>

#include <shellapi.h>

#include "app/normal_run.h"
#include "cli/clear_logs.h"
#include "core/text.h"
#include "logging/log_files.h"
#include "windows/console.h"
#include "windows/file_system.h"
#include "windows/ipc.h"

namespace vantro::app {

std::vector<cli::Argument> process_arguments() {
  int count = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<cli::Argument> arguments;
  if (argv == nullptr) return arguments;
  for (int i = 1; i < count; ++i) {
    const std::u16string_view wide(reinterpret_cast<const char16_t*>(argv[i]));
    if (auto utf8 = text::to_utf8_strict(wide)) {
      arguments.push_back({std::move(*utf8), true});
    } else {
      arguments.push_back({text::to_utf8(wide), false});
    }
  }
  LocalFree(argv);
  return arguments;
}

int run_program() {
  windows::StandardStream out(STD_OUTPUT_HANDLE);
  windows::StandardStream err(STD_ERROR_HANDLE);

  const std::vector<cli::Argument> arguments = process_arguments();
  const cli::ParseOutcome outcome = cli::parse_command_line(arguments);
  if (const auto* print = std::get_if<cli::PrintAndExit>(&outcome)) {
    (void)(print->stream == cli::Stream::Out ? out : err).write(print->text);
    return print->exit_code;
  }
  const auto& flags = std::get<cli::CliFlags>(outcome);
  switch (cli::task_for(flags)) {
    case cli::Task::Close:
      return cli::report_close(windows::signal_running_instance(), out, err);
    case cli::Task::ClearLogs: {
      windows::Win32FileSystem fs;
      return cli::run_clear_logs(log::log_dir(), fs, out, err);
    }
    case cli::Task::NormalRun:
      break;
  }
  return run_normal(flags.no_tray);
}

}  // namespace vantro::app
