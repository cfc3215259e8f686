#include "logging/log_files.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include "logging/rolling_writer.h"
#include "support/fake_file_system.h"

namespace vantro::log {
namespace {

using namespace std::chrono;
using test_support::FakeFileSystem;
using test_support::StringOutput;

constexpr const char* kDir = "C:\\Users\\u\\AppData\\Local\\vantro";

TEST(LogFiles, LogDirIsLocalAppDataJoinedWithVantro) {
  struct Case {
    std::optional<std::string> local_app_data;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {"C:\\Users\\u\\AppData\\Local", "C:\\Users\\u\\AppData\\Local\\vantro"},
      {"Z:\\tmp\\", "Z:\\tmp\\vantro"},
      {"D:", "D:vantro"},
      {"", "vantro"},
      {std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.local_app_data.value_or("(unset)"));
    const auto dir = log_dir_for(c.local_app_data);
    ASSERT_EQ(dir.has_value(), c.expected.has_value());
    if (dir) {
      EXPECT_EQ(display_path(*dir), *c.expected);
    }
  }
}

TEST(LogFiles, NameTestIsACaseSensitivePrefixOnly) {
  struct Case {
    std::u16string name;
    bool expected;
  };
  const Case cases[] = {
      {u"vantro.2026-01-01.log", true},
      {u"vantro", true},
      {u"vantro-dir", true},
      {u"vantro.txt", true},
      {u"Vantro.log", false},
      {u"xvantro.log", false},
      {u"vantr", false},
      {u"", false},
      {u"vantro\xD800.log", true},
      {u"\xD800vantro.log", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(text::to_utf8(c.name));
    EXPECT_EQ(is_log_file_name(c.name), c.expected);
  }
  EXPECT_TRUE(is_log_file(DirEntry{u"vantro-dir", EntryKind::Directory, 0, 0})) << "kind is not looked at";
}

TEST(LogFiles, FileNameAndRotationFollowUtc) {
  const auto t = sys_days{2026y / December / 9} + hours(23) + minutes(59) + seconds(59);
  EXPECT_EQ(log_file_name(t), u"vantro.2026-12-09.log");
  EXPECT_EQ(next_rotation(t), sys_days{2026y / December / 10});
  EXPECT_EQ(next_rotation(sys_days{2026y / December / 10}), sys_days{2026y / December / 11});
  EXPECT_EQ(log_file_name(sys_days{2027y / January / 1}), u"vantro.2027-01-01.log");
}

TEST(LogFiles, PruningKeepsRoomForTheNewFile) {
  // Created in an order unlike the listing order, to show the sort.
  std::vector<DirEntry> entries;
  const FileTime created[] = {50, 10, 90, 30, 70, 20, 80, 60, 40};
  for (int i = 0; i < 9; ++i)
    entries.push_back(
        {text::to_utf16(fmt::format("vantro.2026-01-0{}.log", i + 1)), EntryKind::File, created[i], 0});
  entries.push_back({u"vantro-dir.log", EntryKind::Directory, 1, 0});
  entries.push_back({u"vantro-link.log", EntryKind::Symlink, 1, 0});
  entries.push_back({u"vantro.txt", EntryKind::File, 1, 0});
  entries.push_back({u"other.log", EntryKind::File, 1, 0});
  entries.push_back({u"Vantro.log", EntryKind::File, 1, 0});
  entries.push_back({u"vantro\xDC00.log", EntryKind::File, 1, 0});

  std::vector<std::string> chosen;
  for (const DirEntry* e : select_for_pruning(entries, kMaxLogFiles))
    chosen.push_back(text::to_utf8(e->name));
  EXPECT_EQ(chosen, (std::vector<std::string>{"vantro.2026-01-02.log", "vantro.2026-01-06.log",
                                              "vantro.2026-01-04.log"}));
}

TEST(LogFiles, PruningCountsAndTies) {
  struct Case {
    std::size_t files;
    std::size_t expected_deleted;
  };
  for (const Case c : {Case{0, 0}, Case{5, 0}, Case{6, 0}, Case{7, 1}, Case{8, 2}, Case{12, 6}}) {
    SCOPED_TRACE(c.files);
    std::vector<DirEntry> entries;
    for (std::size_t i = 0; i < c.files; ++i)
      entries.push_back({text::to_utf16(fmt::format("vantro.{}.log", i)), EntryKind::File, 5, 0});
    const auto chosen = select_for_pruning(entries, kMaxLogFiles);
    ASSERT_EQ(chosen.size(), c.expected_deleted);
    // Equal creation times keep the listing order: the first listed go first.
    for (std::size_t i = 0; i < chosen.size(); ++i) EXPECT_EQ(chosen[i], &entries[i]);
  }
}

struct FakeClock {
  system_clock::time_point now;
  Clock clock() {
    return [this] { return now; };
  }
};

TEST(RollingWriter, NewDayWithNineFilesPrunesThreeThenRestartKeepsSix) {
  auto fs = std::make_shared<FakeFileSystem>();
  for (int day = 1; day <= 9; ++day) fs->add(kDir, fmt::format("vantro.2026-01-0{}.log", day), day * 100);
  fs->add(kDir, "notes.txt", 1);
  auto errors = std::make_shared<StringOutput>();
  FakeClock clock{sys_days{2026y / January / 10} + hours(8)};

  {
    auto writer = RollingFileWriter::create(fs, clock.clock(), text::to_utf16(kDir), errors);
    ASSERT_TRUE(writer) << writer.error().debug();
    ASSERT_TRUE((*writer)->write("first run\n"));
  }
  EXPECT_EQ(fs->names(kDir), (std::vector<std::string>{"vantro.2026-01-04.log", "vantro.2026-01-05.log",
                                                       "vantro.2026-01-06.log", "vantro.2026-01-07.log",
                                                       "vantro.2026-01-08.log", "vantro.2026-01-09.log",
                                                       "notes.txt", "vantro.2026-01-10.log"}));

  // A restart later that day: the day's file is among the 6 kept, and is appended to.
  clock.now += hours(3);
  {
    auto writer = RollingFileWriter::create(fs, clock.clock(), text::to_utf16(kDir), errors);
    ASSERT_TRUE(writer);
    ASSERT_TRUE((*writer)->write("second run\n"));
  }
  const auto names = fs->names(kDir);
  EXPECT_EQ(
      std::count_if(names.begin(), names.end(), [](const std::string& n) { return n.ends_with(".log"); }), 6);
  EXPECT_EQ(fs->find(kDir, "vantro.2026-01-04.log"), nullptr);
  ASSERT_NE(fs->find(kDir, "vantro.2026-01-10.log"), nullptr);
  EXPECT_EQ(fs->find(kDir, "vantro.2026-01-10.log")->content, "first run\nsecond run\n");
  EXPECT_EQ(errors->text(), "");
}

TEST(RollingWriter, RotatesOnTheFirstWriteAfterMidnightUtc) {
  auto fs = std::make_shared<FakeFileSystem>();
  fs->add_dir(kDir);
  auto errors = std::make_shared<StringOutput>();
  // At UTC+2, 01:00 local on 10 Jan is 23:00 UTC on 9 Jan: still the previous day's file.
  FakeClock clock{sys_days{2026y / January / 9} + hours(23)};
  auto writer = RollingFileWriter::create(fs, clock.clock(), text::to_utf16(kDir), errors);
  ASSERT_TRUE(writer);
  ASSERT_TRUE((*writer)->write("01:00 local\n"));
  clock.now += minutes(59);
  ASSERT_TRUE((*writer)->write("01:59 local\n"));
  EXPECT_EQ(fs->names(kDir), (std::vector<std::string>{"vantro.2026-01-09.log"}));

  // 02:00 local is midnight UTC; nothing happens until a line is written.
  clock.now += hours(5);
  EXPECT_EQ(fs->names(kDir).size(), 1u);
  ASSERT_TRUE((*writer)->write("07:00 local\n"));
  EXPECT_EQ(fs->find(kDir, "vantro.2026-01-09.log")->content, "01:00 local\n01:59 local\n");
  EXPECT_EQ(fs->find(kDir, "vantro.2026-01-10.log")->content, "07:00 local\n");
}

TEST(RollingWriter, RotationPrunesAndAFailedOpenKeepsThePreviousFile) {
  auto fs = std::make_shared<FakeFileSystem>();
  for (int day = 1; day <= 6; ++day) fs->add(kDir, fmt::format("vantro.2026-02-0{}.log", day), day);
  auto errors = std::make_shared<StringOutput>();
  FakeClock clock{sys_days{2026y / February / 6} + hours(12)};
  auto writer = RollingFileWriter::create(fs, clock.clock(), text::to_utf16(kDir), errors);
  ASSERT_TRUE(writer);

  ASSERT_TRUE((*writer)->write("day 6\n"));

  clock.now += days(1);
  fs->fail_open = 1;
  ASSERT_TRUE((*writer)->write("still day 6\n"));
  EXPECT_EQ(errors->text(), "Couldn't create writer for logs: Access is denied. (os error 5)\n");
  EXPECT_EQ(fs->find(kDir, "vantro.2026-02-06.log")->content, "day 6\nstill day 6\n");
  EXPECT_EQ(fs->find(kDir, "vantro.2026-02-07.log"), nullptr);

  // The next rotation is the following midnight: 6 candidates, nothing pruned, a 7th file.
  clock.now += days(1);
  ASSERT_TRUE((*writer)->write("day 8\n"));
  EXPECT_EQ(fs->find(kDir, "vantro.2026-02-08.log")->content, "day 8\n");
  EXPECT_EQ(fs->names(kDir).size(), 7u);

  // With 7, the oldest goes before the next day's file is opened.
  clock.now += days(1);
  ASSERT_TRUE((*writer)->write("day 9\n"));
  EXPECT_EQ(fs->find(kDir, "vantro.2026-02-01.log"), nullptr);
  EXPECT_EQ(fs->find(kDir, "vantro.2026-02-09.log")->content, "day 9\n");
  EXPECT_EQ(fs->names(kDir).size(), 7u);
}

TEST(RollingWriter, ReportsListingAndDeletionFailuresAndRetriesTheOpenOnce) {
  auto fs = std::make_shared<FakeFileSystem>();
  for (int day = 1; day <= 8; ++day) fs->add(kDir, fmt::format("vantro.2026-03-0{}.log", day), day);
  fs->undeletable.insert("vantro.2026-03-01.log");
  auto errors = std::make_shared<StringOutput>();
  FakeClock clock{sys_days{2026y / March / 9}};
  fs->fail_open = 1;
  auto writer = RollingFileWriter::create(fs, clock.clock(), text::to_utf16(kDir), errors);
  ASSERT_TRUE(writer);
  EXPECT_EQ(fs->open_attempts, 2);
  EXPECT_EQ(errors->text(),
            fmt::format("Failed to remove old log file {}\\vantro.2026-03-01.log: Access is denied. "
                        "(os error 5)\n",
                        kDir));
  EXPECT_EQ(fs->find(kDir, "vantro.2026-03-02.log"), nullptr);

  fs->fail_list = true;
  fs->fail_open = 2;
  auto failed = RollingFileWriter::create(fs, clock.clock(), text::to_utf16(kDir), errors);
  ASSERT_FALSE(failed);
  EXPECT_TRUE(errors->text().ends_with(
      "Error reading the log directory/files: The system cannot find the path specified. (os error 3)\n"));
}

}  // namespace
}  // namespace vantro::log
