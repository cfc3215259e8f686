#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include "support/fake_file_system.h"

namespace vantro::cli {
namespace {

std::vector<Argument> args(std::initializer_list<const char*> texts) {
  std::vector<Argument> out;
  for (const char* t : texts) out.push_back({t, true});
  return out;
}

std::string unknown(std::string_view argument) {
  return fmt::format("vantro: unknown argument: {}\nTry 'vantro --help' for a list of options.\n", argument);
}

TEST(CommandLine, FirstPrintingArgumentEndsTheParse) {
  struct Case {
    std::vector<Argument> arguments;
    PrintAndExit expected;
  };
  const Case cases[] = {
      {args({"-h"}), {Stream::Out, help_text(), 0}},
      {args({"--help", "--bogus"}), {Stream::Out, help_text(), 0}},
      {args({"--bogus", "--help"}), {Stream::Err, unknown("--bogus"), 2}},
      {args({"--no-tray", "-V"}), {Stream::Out, "vantro 0.3.0\n", 0}},
      {args({"-V", "--help"}), {Stream::Out, "vantro 0.3.0\n", 0}},
      {args({"--help", "-V"}), {Stream::Out, help_text(), 0}},
      {args({"--version"}), {Stream::Out, "vantro 0.3.0\n", 0}},
      {args({"-x", "-V"}), {Stream::Err, unknown("-x"), 2}},
      {args({"--close", "--clear-logs", "--nope"}), {Stream::Err, unknown("--nope"), 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.front().text);
    EXPECT_EQ(parse_command_line(c.arguments), ParseOutcome(c.expected));
  }
}

TEST(CommandLine, MatchingIsExact) {
  for (const char* argument : {"", "-v", "-H", "--HELP", "--Help", "--help=1", "--no_tray", "-hV", "--",
                               "help", "--close ", "--versio", "-VERSION"}) {
    SCOPED_TRACE(argument);
    EXPECT_EQ(parse_command_line(args({argument})),
              ParseOutcome(PrintAndExit{Stream::Err, unknown(argument), 2}));
  }
  EXPECT_EQ(unknown(""), "vantro: unknown argument: \nTry 'vantro --help' for a list of options.\n");
}

TEST(CommandLine, ArgumentThatIsNotUnicodeIsUnknown) {
  const std::vector<Argument> arguments{{"--help\xef\xbf\xbd", false}};
  EXPECT_EQ(parse_command_line(arguments),
            ParseOutcome(PrintAndExit{Stream::Err, unknown("--help\xef\xbf\xbd"), 2}));
}

TEST(CommandLine, FlagsAndTheOrderOfTheirEffects) {
  struct Case {
    std::vector<Argument> arguments;
    CliFlags flags;
    Task task;
  };
  const Case cases[] = {
      {{}, {false, false, false}, Task::NormalRun},
      {args({"--no-tray"}), {true, false, false}, Task::NormalRun},
      {args({"--no-tray", "--no-tray"}), {true, false, false}, Task::NormalRun},
      {args({"--close"}), {false, true, false}, Task::Close},
      {args({"--quit"}), {false, true, false}, Task::Close},
      {args({"--clear-logs", "--close"}), {false, true, true}, Task::Close},
      {args({"--close", "--clear-logs", "--no-tray"}), {true, true, true}, Task::Close},
      {args({"--no-tray", "--clear-logs"}), {true, false, true}, Task::ClearLogs},
      {args({"--clear-logs", "--clear-logs"}), {false, false, true}, Task::ClearLogs},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments.front().text);
    const ParseOutcome outcome = parse_command_line(c.arguments);
    ASSERT_TRUE(std::holds_alternative<CliFlags>(outcome));
    EXPECT_EQ(std::get<CliFlags>(outcome), c.flags);
    EXPECT_EQ(task_for(std::get<CliFlags>(outcome)), c.task);
  }
}

TEST(CommandLine, HelpTextIsExact) {
  const std::string help = help_text();
  const std::string expected =
      "vantro 0.3.0 \xe2\x80\x94 system-wide keyboard navigation overlay\n"
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
      "    Repository:       " +
      std::string(kRepositoryUrl) + "\n";
  EXPECT_EQ(help, expected);
  EXPECT_EQ(std::count(help.begin(), help.end(), '\n'), 28);
  EXPECT_EQ(help.find('\r'), std::string::npos);
  // Every description starts at column 23 (index 22).
  EXPECT_EQ(help.find("Repository:       ") + 18 - help.rfind('\n', help.find("Repository:")) - 1, 22u);
}

TEST(CommandLine, CloseReportsEachOutcome) {
  struct Case {
    Result<bool> signalled;
    std::string out;
    std::string err;
    int exit_code;
  };
  const Case cases[] = {
      {true, "vantro: shutdown signal sent.\n", "", 0},
      {false, "vantro: no running instance found.\n", "", 0},
      {fail(Error("Access is denied. (0x80070005)")
                .context("PostMessageW(WM_CLOSE) to running vantro instance")),
       "", "vantro: failed to signal running instance: PostMessageW(WM_CLOSE) to running vantro instance\n",
       1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.exit_code);
    test_support::StringOutput out, err;
    EXPECT_EQ(report_close(c.signalled, out, err), c.exit_code);
    EXPECT_EQ(out.text(), c.out);
    EXPECT_EQ(err.text(), c.err);
  }
}

}  // namespace
}  // namespace vantro::cli
