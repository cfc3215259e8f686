// The Win32 file access behind the log directory and "--clear-logs", on real files.
#include "windows/file_system.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include "core/text.h"
#include "windows/console.h"

namespace vantro::windows {
namespace {

class Win32FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH]{};
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    root_ = std::u16string(reinterpret_cast<const char16_t*>(temp)) +
            text::to_utf16(fmt::format("vantro-fs-test-{}", GetCurrentProcessId()));
  }
  void TearDown() override {
    // Best effort: whatever the test left behind, innermost first.
    for (const auto& path : {u"\\a\\b\\c", u"\\a\\b", u"\\a"}) RemoveDirectoryW(wide(root_ + path).c_str());
    if (auto entries = fs_.list(root_)) {
      for (const auto& e : *entries) {
        const std::u16string path = log::join_path(root_, e.name);
        if (e.kind == log::EntryKind::Directory) {
          RemoveDirectoryW(wide(path).c_str());
        } else {
          DeleteFileW(wide(path).c_str());
        }
      }
    }
    RemoveDirectoryW(wide(root_).c_str());
  }
  static std::wstring wide(const std::u16string& s) { return {s.begin(), s.end()}; }

  Win32FileSystem fs_;
  std::u16string root_;
};

TEST_F(Win32FileSystemTest, CreatesNestedDirectoriesAndListsKindsAndTimes) {
  EXPECT_FALSE(fs_.exists(root_));
  ASSERT_TRUE(fs_.create_directories(root_ + u"\\a\\b\\c"));
  EXPECT_TRUE(fs_.exists(root_ + u"\\a\\b\\c"));
  ASSERT_TRUE(fs_.create_directories(root_ + u"\\a\\b\\c")) << "an existing directory is fine";

  auto file = fs_.open_append(root_ + u"\\vantro.2026-01-01.log");
  ASSERT_TRUE(file) << file.error().debug();
  ASSERT_TRUE((*file)->write("one\n"));
  file->reset();

  auto entries = fs_.list(root_);
  ASSERT_TRUE(entries) << entries.error().debug();
  ASSERT_EQ(entries->size(), 2u);
  for (const auto& e : *entries) {
    SCOPED_TRACE(text::to_utf8(e.name));
    if (e.name == u"a") {
      EXPECT_EQ(e.kind, log::EntryKind::Directory);
    } else {
      EXPECT_EQ(e.name, u"vantro.2026-01-01.log");
      EXPECT_EQ(e.kind, log::EntryKind::File);
      EXPECT_GT(e.creation_time, 0);
      EXPECT_GE(e.last_write_time, e.creation_time);
    }
  }
}

TEST_F(Win32FileSystemTest, AppendsAcrossOpensInOneWriteWithoutCarriageReturns) {
  ASSERT_TRUE(fs_.create_directories(root_));
  const std::u16string path = root_ + u"\\vantro.log";
  for (const char* line : {"first\n", "second\n"}) {
    auto file = fs_.open_append(path);
    ASSERT_TRUE(file);
    ASSERT_TRUE((*file)->write(line));
  }
  HANDLE h =
      CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  char buffer[64]{};
  DWORD read = 0;
  ReadFile(h, buffer, sizeof(buffer), &read, nullptr);
  CloseHandle(h);
  EXPECT_EQ(std::string(buffer, read), "first\nsecond\n");
}

TEST_F(Win32FileSystemTest, RemoveDeletesFilesButNotDirectories) {
  ASSERT_TRUE(fs_.create_directories(root_ + u"\\a"));
  ASSERT_TRUE(fs_.open_append(root_ + u"\\x.log"));
  EXPECT_TRUE(fs_.remove_file(root_ + u"\\x.log"));
  EXPECT_FALSE(fs_.exists(root_ + u"\\x.log"));
  auto removed = fs_.remove_file(root_ + u"\\a");
  ASSERT_FALSE(removed);
  EXPECT_NE(removed.error().plain().find("(os error 5)"), std::string::npos) << removed.error().plain();
  EXPECT_TRUE(fs_.exists(root_ + u"\\a"));
}

TEST_F(Win32FileSystemTest, ListingAMissingDirectoryFailsWithTheSystemError) {
  auto entries = fs_.list(root_ + u"\\missing");
  ASSERT_FALSE(entries);
  EXPECT_NE(entries.error().plain().find("(os error 3)"), std::string::npos) << entries.error().plain();
}

TEST(StandardStream, MissingHandleDropsTheText) {
  const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  ASSERT_TRUE(SetStdHandle(STD_OUTPUT_HANDLE, nullptr));
  StandardStream out(STD_OUTPUT_HANDLE);
  const auto written = out.write("dropped\n");
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  EXPECT_TRUE(written);
}

}  // namespace
}  // namespace vantro::windows

namespace vantro::windows {
namespace {

TEST(StandardStream, ConsoleGetsTheTextAsUtf16) {
  const HANDLE console = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD mode = 0;
  if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode))
    GTEST_SKIP() << "no console in this process";
  CONSOLE_SCREEN_BUFFER_INFO info{};
  ASSERT_TRUE(GetConsoleScreenBufferInfo(console, &info));
  const HANDLE saved = GetStdHandle(STD_OUTPUT_HANDLE);
  SetStdHandle(STD_OUTPUT_HANDLE, console);
  const auto written = StandardStream(STD_OUTPUT_HANDLE).write("x \xe2\x80\x94 \xe2\x86\x92");
  SetStdHandle(STD_OUTPUT_HANDLE, saved);
  ASSERT_TRUE(written) << written.error().debug();
  wchar_t cells[5]{};
  DWORD read = 0;
  ASSERT_TRUE(ReadConsoleOutputCharacterW(console, cells, 5, info.dwCursorPosition, &read));
  CloseHandle(console);
  EXPECT_EQ(std::wstring(cells, read), L"x \u2014 \u2192");
}

}  // namespace
}  // namespace vantro::windows
