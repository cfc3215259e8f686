// The command-line parse over arbitrary argument lists.
//
// Input: arguments separated by NUL bytes; an argument whose first byte is 0x01 counts as
// not valid UTF-16 (that byte is dropped).
#include <vector>

#include "cli/command_line.h"
#include "fuzz_support.h"

using namespace vantro::cli;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<Argument> arguments;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\0');
    std::string_view text = rest.substr(0, end);
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
    const bool valid = !(text.starts_with('\x01'));
    if (!valid) text.remove_prefix(1);
    arguments.push_back({std::string(text), valid});
  }

  const ParseOutcome outcome = parse_command_line(arguments);

  // The first argument that is not a run flag decides; otherwise the flags are collected.
  CliFlags expected;
  for (const Argument& a : arguments) {
    const std::string_view t = a.text;
    if (a.valid && t == "--no-tray") {
      expected.no_tray = true;
    } else if (a.valid && (t == "--close" || t == "--quit")) {
      expected.close = true;
    } else if (a.valid && t == "--clear-logs") {
      expected.clear_logs = true;
    } else {
      const auto* printed = std::get_if<PrintAndExit>(&outcome);
      VANTRO_FUZZ_CHECK(printed != nullptr);
      if (a.valid && (t == "-h" || t == "--help")) {
        VANTRO_FUZZ_CHECK(printed->stream == Stream::Out && printed->exit_code == kExitSuccess);
        VANTRO_FUZZ_CHECK(printed->text == help_text());
      } else if (a.valid && (t == "-V" || t == "--version")) {
        VANTRO_FUZZ_CHECK(printed->stream == Stream::Out && printed->exit_code == kExitSuccess);
        VANTRO_FUZZ_CHECK(printed->text == version_text());
      } else {
        VANTRO_FUZZ_CHECK(printed->stream == Stream::Err && printed->exit_code == kExitUnknownArgument);
        VANTRO_FUZZ_CHECK(printed->text.starts_with("vantro: unknown argument: " + a.text + "\n"));
      }
      return 0;
    }
  }
  const auto* flags = std::get_if<CliFlags>(&outcome);
  VANTRO_FUZZ_CHECK(flags != nullptr && *flags == expected);
  return 0;
}
