#include "app/log_viewer.h"

#include <windows.h>

#include "dispatch/log_viewer.h"
#include "windows/win_error.h"

namespace vantro::app {

Result<void> view_log(log::FileSystem& fs) {
  const auto dir = log::log_dir();
  if (!dir) return {};
  const auto entries = fs.list(*dir);
  if (!entries) return {};
  const auto chosen = dispatch::choose_log_to_view(*entries);
  if (!chosen) return {};

  const std::u16string line = dispatch::notepad_command_line(log::join_path(*dir, (*entries)[*chosen].name));
  std::wstring command_line(line.begin(), line.end());
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return fail(windows::last_io_error());
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return {};
}

}  // namespace vantro::app
