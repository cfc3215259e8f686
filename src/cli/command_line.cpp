#include "cli/command_line.h"

#include <fmt/format.h>

namespace vantro::cli {

std::string help_text() {
  return fmt::format(
      "vantro {0} \u2014 system-wide keyboard navigation overlay\n"
      "\n"
      "USAGE:\n"
      "    vantro [FLAGS]\n"
      "\n"
      "FLAGS:\n"
      "    -h, --help        Print help and exit\n"
      "    -V, --version     Print version and exit\n"
      "        --no-tray     Run without the system tray icon (hotkeys-only mode)\n"
      "        --close       Cleanly shut down a running vantro instance and exit\n"
      "                      (alias: --quit)\n"
      "        --clear-logs  Delete the on-disk log files and exit\n"
      "\n"
      "DEFAULT HOTKEYS:\n"
      "    Ctrl+Shift+Space  Pick element in foreground window\n"
      "    Ctrl+Alt+Space    Pick top-level window across all monitors\n"
      "    Esc               Cancel an open overlay\n"
      "\n"
      "LOGS (release builds):\n"
      "    Location:         %LOCALAPPDATA%\\vantro\\vantro.log[.YYYY-MM-DD]\n"
      "    Rotation:         daily, keeping the 7 most recent files\n"
      "    Manual purge:     vantro --clear-logs\n"
      "\n"
      "ENVIRONMENT:\n"
      "    RUST_LOG          Tracing filter, e.g. `vantro=debug` (default: info)\n"
      "\n"
      "PROJECT:\n"
      "    Repository:       {1}\n",
      kVersion, kRepositoryUrl);
}

std::string version_text() {
  return fmt::format("vantro {}\n", kVersion);
}

ParseOutcome parse_command_line(std::span<const Argument> arguments) {
  CliFlags flags;
  for (const Argument& argument : arguments) {
    const std::string_view a = argument.text;
    if (argument.valid && (a == "-h" || a == "--help"))
      return PrintAndExit{Stream::Out, help_text(), kExitSuccess};
    if (argument.valid && (a == "-V" || a == "--version"))
      return PrintAndExit{Stream::Out, version_text(), kExitSuccess};
    if (argument.valid && a == "--no-tray") {
      flags.no_tray = true;
    } else if (argument.valid && (a == "--close" || a == "--quit")) {
      flags.close = true;
    } else if (argument.valid && a == "--clear-logs") {
      flags.clear_logs = true;
    } else {
      return PrintAndExit{
          Stream::Err,
          fmt::format("vantro: unknown argument: {}\nTry 'vantro --help' for a list of options.\n", a),
          kExitUnknownArgument};
    }
  }
  return flags;
}

Task task_for(const CliFlags& flags) {
  if (flags.close) return Task::Close;
  if (flags.clear_logs) return Task::ClearLogs;
  return Task::NormalRun;
}

int report_close(const Result<bool>& signalled, TextOutput& out, TextOutput& err) {
  if (!signalled) {
    (void)err.write(
        fmt::format("vantro: failed to signal running instance: {}\n", signalled.error().plain()));
    return kExitFailure;
  }
  (void)out.write(*signalled ? "vantro: shutdown signal sent.\n" : "vantro: no running instance found.\n");
  return kExitSuccess;
}

}  // namespace vantro::cli
