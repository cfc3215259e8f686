#include "cli/clear_logs.h"

#include <fmt/format.h>

#include "cli/command_line.h"

namespace vantro::cli {

int run_clear_logs(const std::optional<std::u16string>& log_dir, log::FileSystem& fs, TextOutput& out,
                   TextOutput& err) {
  if (!log_dir) {
    (void)err.write("vantro: %LOCALAPPDATA% is not set; nothing to clear.\n");
    return kExitFailure;
  }
  if (!fs.exists(*log_dir)) {
    (void)out.write("vantro: log directory does not exist; nothing to clear.\n");
    return kExitSuccess;
  }
  const std::string dir_text = log::display_path(*log_dir);
  auto entries = fs.list(*log_dir);
  if (!entries) {
    (void)err.write(
        fmt::format("vantro: cannot read log directory {}: {}\n", dir_text, entries.error().alternate()));
    return kExitFailure;
  }
  std::size_t removed = 0;
  std::size_t failed = 0;
  for (const log::DirEntry& entry : *entries) {
    if (!log::is_log_file(entry)) continue;
    const std::u16string path = log::join_path(*log_dir, entry.name);
    if (auto deleted = fs.remove_file(path)) {
      ++removed;
    } else {
      ++failed;
      (void)err.write(fmt::format("vantro: could not delete {}: {}\n", log::display_path(path),
                                  deleted.error().alternate()));
    }
  }
  (void)out.write(fmt::format("vantro: removed {} log file(s) from {}.\n", removed, dir_text));
  if (failed > 0) {
    (void)err.write(fmt::format(
        "vantro: {} file(s) could not be deleted (is vantro still running? Run `vantro --close` first).\n",
        failed));
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace vantro::cli
