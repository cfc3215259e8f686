#include "cli/clear_logs.h"

#include <gtest/gtest.h>

#include "support/fake_file_system.h"

namespace vantro::cli {
namespace {

using test_support::FakeFileSystem;
using test_support::StringOutput;

constexpr const char* kDir = "Z:\\data\\vantro";

struct Outcome {
  int exit_code;
  std::string out;
  std::string err;
};

Outcome clear(FakeFileSystem& fs, const std::optional<std::u16string>& dir) {
  StringOutput out, err;
  const int code = run_clear_logs(dir, fs, out, err);
  return {code, out.text(), err.text()};
}

TEST(ClearLogs, DeletesEveryEntryNamedVantroAndCountsFailures) {
  FakeFileSystem fs;
  fs.add(kDir, "vantro.2026-01-01.log");
  fs.add(kDir, "Vantro.log");
  fs.add(kDir, "vantro-dir", 0, log::EntryKind::Directory);
  fs.add(kDir, "xvantro.log");
  fs.add(kDir, "vantro");
  fs.add(kDir, "vantro.held.log");
  fs.undeletable.insert("vantro.held.log");
  fs.add(kDir, "vantro.txt");

  const Outcome run = clear(fs, text::to_utf16(kDir));
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "vantro: removed 3 log file(s) from Z:\\data\\vantro.\n");
  EXPECT_EQ(
      run.err,
      "vantro: could not delete Z:\\data\\vantro\\vantro-dir: Access is denied. (os error 5)\n"
      "vantro: could not delete Z:\\data\\vantro\\vantro.held.log: Access is denied. (os error 5)\n"
      "vantro: 2 file(s) could not be deleted (is vantro still running? Run `vantro --close` first).\n");
  EXPECT_EQ(fs.names(kDir),
            (std::vector<std::string>{"Vantro.log", "vantro-dir", "xvantro.log", "vantro.held.log"}));
}

TEST(ClearLogs, EachEarlyEnding) {
  struct Case {
    const char* name;
    bool has_dir;
    bool dir_exists;
    bool listing_fails;
    Outcome expected;
  };
  const Case cases[] = {
      {"no LOCALAPPDATA",
       false,
       false,
       false,
       {1, "", "vantro: %LOCALAPPDATA% is not set; nothing to clear.\n"}},
      {"directory absent",
       true,
       false,
       false,
       {0, "vantro: log directory does not exist; nothing to clear.\n", ""}},
      {"listing fails",
       true,
       true,
       true,
       {1, "",
        "vantro: cannot read log directory Z:\\data\\vantro: The system cannot find the path specified. (os "
        "error "
        "3)\n"}},
      {"empty directory",
       true,
       true,
       false,
       {0, "vantro: removed 0 log file(s) from Z:\\data\\vantro.\n", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeFileSystem fs;
    if (c.dir_exists) fs.add_dir(kDir);
    fs.fail_list = c.listing_fails;
    const Outcome run = clear(fs, c.has_dir ? std::optional(text::to_utf16(kDir)) : std::nullopt);
    EXPECT_EQ(run.exit_code, c.expected.exit_code);
    EXPECT_EQ(run.out, c.expected.out);
    EXPECT_EQ(run.err, c.expected.err);
  }
}

TEST(ClearLogs, NameThatIsNotUnicodeIsShownWithReplacement) {
  FakeFileSystem fs;
  fs.add(kDir, std::u16string(u"vantro\xD800.log"), log::EntryKind::File, 0);
  fs.add(kDir, "keep.log");
  const Outcome run = clear(fs, text::to_utf16(kDir));
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.out, "vantro: removed 1 log file(s) from Z:\\data\\vantro.\n");
  EXPECT_EQ(fs.names(kDir), (std::vector<std::string>{"keep.log"}));
}

}  // namespace
}  // namespace vantro::cli
