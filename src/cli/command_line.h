// The command line: exact flags, the texts they print and the exit codes.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "core/error.h"
#include "core/output.h"

namespace vantro::cli {

inline constexpr std::string_view kVersion = VANTRO_VERSION;
// Shown on the help text's last line.
inline constexpr std::string_view kRepositoryUrl = "https://github.com/vantro-app/vantro";

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUnknownArgument = 2;

struct CliFlags {
  bool no_tray = false;
  bool close = false;
  bool clear_logs = false;

  friend bool operator==(const CliFlags&, const CliFlags&) = default;
};

enum class Stream : std::uint8_t { Out, Err };

// A text to print before the process ends with `exit_code`.
struct PrintAndExit {
  Stream stream;
  std::string text;
  int exit_code;

  friend bool operator==(const PrintAndExit&, const PrintAndExit&) = default;
};

using ParseOutcome = std::variant<CliFlags, PrintAndExit>;

// The arguments after the program's own path; an argument that is not valid UTF-16 is given
// as its text with U+FFFD in place of the invalid part and `valid` false.
struct Argument {
  std::string text;
  bool valid = true;
};

// The first argument that prints (help, version or an unrecognised one) ends the parse;
// otherwise the flags are collected. Comparison is exact and case-sensitive.
[[nodiscard]] ParseOutcome parse_command_line(std::span<const Argument> arguments);

[[nodiscard]] std::string help_text();
[[nodiscard]] std::string version_text();

// What a parse without a print leads to: only the first that applies runs.
enum class Task : std::uint8_t { Close, ClearLogs, NormalRun };
[[nodiscard]] Task task_for(const CliFlags& flags);

// Prints the outcome of signalling the running instance and gives the exit code.
[[nodiscard]] int report_close(const Result<bool>& signalled, TextOutput& out, TextOutput& err);

}  // namespace vantro::cli
