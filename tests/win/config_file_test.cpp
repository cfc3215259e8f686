// The configuration file operations on Windows paths: APPDATA set in this process to a
// Windows-style folder (backslashes, a trailing separator, spaces and non-ASCII letters).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "config/config_file.h"
#include "config/config_toml.h"
#include "config/file_io.h"
#include "support/file_bytes.h"
#include "support/file_links.h"
#include "support/log_capture.h"
#include "support/scoped_env_var.h"
#include "support/system_text.h"
#include "support/under_wine.h"
#include "windows/handle.h"
#include "windows/wide.h"

namespace vantro::config {
namespace {

namespace fs = std::filesystem;
using test_support::final_path;
using test_support::LogCapture;
using test_support::make_file_link;
using test_support::make_link_to_missing_file;
using test_support::os_failure;
using test_support::read_bytes;
using test_support::remove_tree;
using test_support::running_under_wine;
using test_support::ScopedEnvVar;
using windows::UniqueHandle;

std::wstring temp_folder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  return std::wstring(buffer, length);  // ends with a backslash
}

class WindowsConfigFile : public ::testing::Test {
 protected:
  WindowsConfigFile()
      : app_data_(temp_folder() + L"vantro config Zo\u00eb " + std::to_wstring(GetCurrentProcessId()) +
                  L"\\Roaming\\"),
        env_("APPDATA", windows::narrow(app_data_)) {
    remove_tree(own_folder());  // what an earlier run left there (Wine reuses process ids)
    fs::create_directories(fs::path(app_data_));
  }
  ~WindowsConfigFile() override {
    set_write_limit_for_tests(std::nullopt);
    set_final_path_failure_for_tests(std::nullopt);
    remove_tree(own_folder());
  }

  // The test's own folder, which holds APPDATA.
  [[nodiscard]] std::wstring own_folder() const {
    return fs::path(app_data_).parent_path().parent_path().wstring();
  }

  [[nodiscard]] std::wstring folder() const { return app_data_ + L"vantro"; }
  // A folder of the user's own beside the configuration's, as for settings files kept together.
  [[nodiscard]] std::wstring elsewhere() const { return app_data_ + L"dotfiles \u00e9"; }
  [[nodiscard]] std::wstring file() const { return app_data_ + L"vantro\\config.toml"; }
  // The names in the configuration's folder, sorted.
  [[nodiscard]] std::vector<std::wstring> names() const { return names_in(folder()); }
  [[nodiscard]] static std::vector<std::wstring> names_in(const std::wstring& where) {
    std::vector<std::wstring> found;
    for (const auto& entry : fs::directory_iterator(fs::path(where)))
      found.push_back(entry.path().filename());
    std::ranges::sort(found);
    return found;
  }

  std::wstring app_data_;
  ScopedEnvVar env_;
};

TEST_F(WindowsConfigFile, PathFollowsAppDataWithBackslashes) {
  const auto path = config_path();
  ASSERT_TRUE(path);
  EXPECT_EQ(path->wstring(), file());
}

TEST_F(WindowsConfigFile, SaveLoadAndDeleteRoundTrip) {
  Config config;
  config.hints.alphabet = "\u00e4\u00f6\u00fc";
  config.colors.element.show_leader = false;
  config.startup.launch_at_startup = true;
  {
    LogCapture capture;
    ASSERT_TRUE(save_config(config));
    const auto* saved = capture.find("config saved");
    ASSERT_NE(saved, nullptr);
    // The path's debug form: between double quotes, every backslash escaped.
    std::string expected = "\"";
    for (const char c : windows::narrow(file()))
      expected += c == '\\' ? std::string("\\\\") : std::string(1, c);
    expected += "\"";
    ASSERT_NE(saved->field("path"), nullptr);
    EXPECT_EQ(*saved->field("path"), expected);
  }
  EXPECT_EQ(read_bytes(file()), serialize_config(config));
  EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"}) << "no temporary file is left";
  {
    LogCapture capture;
    EXPECT_EQ(load_or_default(), config);
    EXPECT_NE(capture.find("loaded config from disk"), nullptr);
  }
  {
    LogCapture capture;
    ASSERT_TRUE(delete_config());
    EXPECT_NE(capture.find("config file deleted"), nullptr);
  }
  EXPECT_EQ(GetFileAttributesW(file().c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_NE(GetFileAttributesW((app_data_ + L"vantro").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(WindowsConfigFile, InvalidFileLogsWarningAndGivesDefaults) {
  ASSERT_TRUE(save_config(Config{}));
  {
    std::ofstream out(fs::path(file()), std::ios::binary | std::ios::trunc);
    out << "[colors.element]\r\nopacity = 300\r\n";
  }
  LogCapture capture;
  EXPECT_EQ(load_or_default(), Config{});
  const auto* warning = capture.find("config file is invalid, using defaults");
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(warning->level, log::Level::Warn);
  ASSERT_NE(warning->field("error"), nullptr);
  EXPECT_EQ(*warning->field("error"),
            "TOML parse error at line 2, column 11\n  |\n2 | opacity = 300\n  |           ^^^\n"
            "invalid value: integer `300`, expected u8");
  EXPECT_EQ(read_bytes(file()), "[colors.element]\r\nopacity = 300\r\n");
}

TEST_F(WindowsConfigFile, UnsetAppDataMeansNoFile) {
  const ScopedEnvVar unset("APPDATA", std::nullopt);
  EXPECT_EQ(config_path(), std::nullopt);
  LogCapture capture;
  EXPECT_EQ(load_or_default(), Config{});
  EXPECT_NE(capture.find("no config file found, using defaults"), nullptr);
  const auto saved = save_config(Config{});
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().plain(), "APPDATA env var not set; cannot save config");
  EXPECT_TRUE(delete_config());
}

TEST_F(WindowsConfigFile, SaveOverAFileHeldOpenKeepsItIntact) {
  Config previous;
  previous.hints.alphabet = "previous";
  ASSERT_TRUE(save_config(previous));
  const std::string before = read_bytes(file());
  // Another program holds the file open without letting it be deleted or replaced.
  UniqueHandle holder(CreateFileW(file().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);

  const auto saved = save_config(Config{});
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().plain(), os_failure(ERROR_ACCESS_DENIED));
  const auto deleted = delete_config();
  ASSERT_FALSE(deleted);
  EXPECT_EQ(deleted.error().plain(), os_failure(ERROR_SHARING_VIOLATION));
  holder.reset();

  EXPECT_EQ(read_bytes(file()), before);
  EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"}) << "the temporary file is removed";
}

TEST_F(WindowsConfigFile, FileHeldOpenWithoutSharingFailsWithTheSystemsError) {
  ASSERT_TRUE(save_config(Config{}));
  const std::string before = read_bytes(file());
  UniqueHandle holder(
      CreateFileW(file().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);

  const auto loaded = load_config();
  ASSERT_FALSE(loaded);
  EXPECT_EQ(loaded.error().plain(), os_failure(ERROR_SHARING_VIOLATION));
  {
    LogCapture capture;
    EXPECT_EQ(load_or_default(), Config{});
    const auto* warning = capture.find("config file is invalid, using defaults");
    ASSERT_NE(warning, nullptr);
    ASSERT_NE(warning->field("error"), nullptr);
    EXPECT_EQ(*warning->field("error"), os_failure(ERROR_SHARING_VIOLATION));
  }
  const auto deleted = delete_config();
  ASSERT_FALSE(deleted);
  EXPECT_EQ(deleted.error().plain(), os_failure(ERROR_SHARING_VIOLATION));
  const auto saved = save_config(Config{});  // the move over a file in use is refused
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().plain(), os_failure(ERROR_ACCESS_DENIED));
  holder.reset();
  EXPECT_EQ(read_bytes(file()), before);
  EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"});
}

TEST_F(WindowsConfigFile, FileWhereTheFolderBelongsFailsTheSaveWithTheSystemsError) {
  {
    std::ofstream out(fs::path(folder()), std::ios::binary);
    out << "a file where the folder belongs";
  }
  const auto saved = save_config(Config{});
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().plain(), os_failure(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(read_bytes(folder()), "a file where the folder belongs");
}

TEST_F(WindowsConfigFile, LeftoversBesideTheFileDoNotBlockASave) {
  // Left by anything under a temporary-looking name: each stays as it is and the save goes
  // through under a name of its own.
  const std::wstring leftover = folder() + L"\\config.toml.tmp";
  for (const bool is_folder : {true, false}) {
    SCOPED_TRACE(is_folder ? "a folder" : "a read-only file");
    ASSERT_TRUE(save_config(Config{}));
    if (is_folder) {
      ASSERT_TRUE(CreateDirectoryW(leftover.c_str(), nullptr));
    } else {
      {
        std::ofstream out(fs::path(leftover), std::ios::binary);
        out << "left behind";
      }
      ASSERT_TRUE(SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_READONLY));
    }
    Config changed;
    changed.hints.alphabet = "changed";
    const auto saved = save_config(changed);
    EXPECT_TRUE(saved) << saved.error().plain();
    EXPECT_EQ(read_bytes(file()), serialize_config(changed));
    EXPECT_EQ(names(), (std::vector<std::wstring>{L"config.toml", L"config.toml.tmp"}));
    if (is_folder) {
      EXPECT_TRUE(RemoveDirectoryW(leftover.c_str()));
    } else {
      EXPECT_EQ(read_bytes(leftover), "left behind");
      SetFileAttributesW(leftover.c_str(), FILE_ATTRIBUTE_NORMAL);
      EXPECT_TRUE(DeleteFileW(leftover.c_str()));
    }
  }
}

TEST_F(WindowsConfigFile, ReadOnlyFileIsNotDeleted) {
  ASSERT_TRUE(save_config(Config{}));
  ASSERT_TRUE(SetFileAttributesW(file().c_str(), FILE_ATTRIBUTE_READONLY));
  const auto deleted = delete_config();
  SetFileAttributesW(file().c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_FALSE(deleted);
  EXPECT_EQ(deleted.error().plain(), os_failure(ERROR_ACCESS_DENIED));
  EXPECT_EQ(read_bytes(file()), serialize_config(Config{}));
}

TEST_F(WindowsConfigFile, ReadOnlyFileIsNotReplaced) {
  if (running_under_wine()) GTEST_SKIP() << "Wine's MoveFileExW replaces a read-only file; Windows refuses";
  ASSERT_TRUE(save_config(Config{}));
  ASSERT_TRUE(SetFileAttributesW(file().c_str(), FILE_ATTRIBUTE_READONLY));
  Config changed;
  changed.hints.alphabet = "changed";
  const auto saved = save_config(changed);
  SetFileAttributesW(file().c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_FALSE(saved);
  EXPECT_EQ(read_bytes(file()), serialize_config(Config{}));
  EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"});
}

TEST_F(WindowsConfigFile, HiddenFileStaysHidden) {
  ASSERT_TRUE(save_config(Config{}));
  ASSERT_TRUE(SetFileAttributesW(file().c_str(), FILE_ATTRIBUTE_HIDDEN));
  const DWORD before = GetFileAttributesW(file().c_str());
  if (!(before & FILE_ATTRIBUTE_HIDDEN)) GTEST_SKIP() << "this file system keeps no hidden attribute";
  Config changed;
  changed.hints.alphabet = "changed";
  const auto saved = save_config(changed);
  ASSERT_TRUE(saved) << saved.error().plain();
  EXPECT_EQ(read_bytes(file()), serialize_config(changed));
  EXPECT_EQ(GetFileAttributesW(file().c_str()), before | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"});
}

TEST_F(WindowsConfigFile, SaveThroughALinkWritesItsTargetAndKeepsTheLink) {
  ASSERT_TRUE(CreateDirectoryW(folder().c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(elsewhere().c_str(), nullptr));
  const std::wstring target = elsewhere() + L"\\vantro.toml";
  {
    std::ofstream out(fs::path(target), std::ios::binary);
    out << "# mine\n[hints]\nalphabet = \"previous\"\n";
  }
  ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_HIDDEN));
  const DWORD target_attributes = GetFileAttributesW(target.c_str());
  if (!make_file_link(file(), target)) GTEST_SKIP() << "no right to make a symbolic link here";
  const DWORD link_attributes = GetFileAttributesW(file().c_str());
  const std::wstring target_path = final_path(target);
  ASSERT_FALSE(target_path.empty());
  // Leftovers of killed saves, beside the file that saves replace.
  for (const auto* name : {L"\\vantro.toml.12-3.tmp", L"\\vantro.toml.4-56.tmp"}) {
    std::ofstream out(fs::path(elsewhere() + name), std::ios::binary);
    out << "left behind";
  }

  Config changed;
  changed.hints.alphabet = "changed";
  const auto saved = save_config(changed);
  ASSERT_TRUE(saved) << saved.error().plain();
  EXPECT_EQ(read_bytes(target), serialize_config(changed)) << "the target, read through its own path";
  EXPECT_EQ(final_path(file()), target_path) << "config.toml still leads to the target";
  EXPECT_EQ(GetFileAttributesW(file().c_str()), link_attributes);
  EXPECT_EQ(GetFileAttributesW(target.c_str()), target_attributes | FILE_ATTRIBUTE_ARCHIVE);
  EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"});
  EXPECT_EQ(names_in(elsewhere()), std::vector<std::wstring>{L"vantro.toml"})
      << "no temporary file is left, and the leftovers are removed";

  // The next load reads the target through the link.
  EXPECT_EQ(load_or_default(), changed);
}

TEST_F(WindowsConfigFile, LeftoversThatCannotBeRemovedDoNotFailTheSave) {
  ASSERT_TRUE(save_config(Config{}));
  const std::wstring held = folder() + L"\\config.toml.12-3.tmp";
  const std::wstring read_only = folder() + L"\\config.toml.45-6.tmp";
  const std::wstring removable = folder() + L"\\config.toml.7-89.tmp";
  for (const auto& name : {held, read_only, removable}) {
    std::ofstream out(fs::path(name), std::ios::binary);
    out << "left behind";
  }
  ASSERT_TRUE(SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_READONLY));
  // Held open by another program that lets nobody delete it.
  UniqueHandle holder(CreateFileW(held.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_NE(holder.get(), INVALID_HANDLE_VALUE);

  Config changed;
  changed.hints.alphabet = "changed";
  const auto saved = save_config(changed);
  holder.reset();
  SetFileAttributesW(read_only.c_str(), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(saved) << saved.error().plain();
  EXPECT_EQ(read_bytes(file()), serialize_config(changed));
  EXPECT_EQ(names(),
            (std::vector<std::wstring>{L"config.toml", L"config.toml.12-3.tmp", L"config.toml.45-6.tmp"}));
  EXPECT_EQ(read_bytes(held), "left behind");
  EXPECT_EQ(read_bytes(read_only), "left behind");
}

// What Wine 8 cannot make, so that what depends on them is tested on Windows only.
constexpr char kNoReparsePointsUnderWine[] =
    "Wine 8 makes no reparse points (CreateSymbolicLinkW is a stub, FSCTL_SET_REPARSE_POINT fails with "
    "ERROR_NOT_SUPPORTED) and shows a host link as a plain file";

// What the open of a link into a missing folder reads as: Wine reports the file, Windows the path.
bool is_not_found(const std::string& error) {
  return error == os_failure(ERROR_FILE_NOT_FOUND) || error == os_failure(ERROR_PATH_NOT_FOUND);
}

TEST_F(WindowsConfigFile, SaveThroughALinkToAMissingFileCreatesItAndKeepsTheLink) {
  ASSERT_TRUE(CreateDirectoryW(folder().c_str(), nullptr));
  const std::wstring target = elsewhere() + L"\\vantro.toml";
  if (!make_link_to_missing_file(file(), elsewhere(), target, false))
    GTEST_SKIP() << "no right to make a symbolic link here";
  ASSERT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES);

  Config changed;
  changed.hints.alphabet = "changed";
  const auto saved = save_config(changed);
  ASSERT_TRUE(saved) << saved.error().plain();
  EXPECT_EQ(read_bytes(target), serialize_config(changed)) << "the target, read through its own path";
  EXPECT_EQ(final_path(file()), final_path(target)) << "config.toml still leads to the target";
  EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"});
  EXPECT_EQ(names_in(elsewhere()), std::vector<std::wstring>{L"vantro.toml"}) << "no temporary file is left";
  EXPECT_EQ(load_or_default(), changed);
}

TEST_F(WindowsConfigFile, FailedSaveWhereNoFileIsYetChangesNothing) {
  const std::wstring target = elsewhere() + L"\\vantro.toml";
  const struct {
    const char* name;
    bool linked;  // config.toml is a link into a folder that is missing; no file at all otherwise
  } cases[] = {{"no file at the path, the write fails", false}, {"a link into a missing folder", true}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    ASSERT_TRUE(CreateDirectoryW(folder().c_str(), nullptr));
    if (test.linked && !make_link_to_missing_file(file(), elsewhere(), target, true))
      GTEST_SKIP() << "no right to make a symbolic link here";
    if (!test.linked) set_write_limit_for_tests(10);

    LogCapture capture;
    const auto saved = save_config(Config{});
    set_write_limit_for_tests(std::nullopt);
    ASSERT_FALSE(saved);
    if (test.linked) {
      EXPECT_TRUE(is_not_found(saved.error().plain())) << saved.error().plain();
    } else {
      EXPECT_EQ(saved.error().plain(), os_failure(ERROR_DISK_FULL));
    }
    EXPECT_EQ(capture.find("config saved"), nullptr);
    EXPECT_EQ(GetFileAttributesW(elsewhere().c_str()), INVALID_FILE_ATTRIBUTES) << "no folder is made";
    if (test.linked) {
      // The link still leads where it did, once its folder and file are back.
      ASSERT_TRUE(CreateDirectoryW(elsewhere().c_str(), nullptr));
      std::ofstream(fs::path(target), std::ios::binary) << "back";
      EXPECT_EQ(final_path(file()), final_path(target));
      EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"}) << "no temporary file is left";
      EXPECT_EQ(names_in(elsewhere()), std::vector<std::wstring>{L"vantro.toml"});
    } else {
      EXPECT_TRUE(names().empty()) << "no file and no temporary file is left";
    }
    remove_tree(folder());
    remove_tree(elsewhere());
  }
}

TEST_F(WindowsConfigFile, FailedSaveThroughALinkToAMissingFileRemovesTheFileItMade) {
  if (running_under_wine())
    GTEST_SKIP() << "Wine's CreateFileW reports ERROR_ALREADY_EXISTS when OPEN_ALWAYS creates the missing "
                    "target of a host link, so the save cannot tell that it made the file and keeps it";
  ASSERT_TRUE(CreateDirectoryW(folder().c_str(), nullptr));
  const std::wstring target = elsewhere() + L"\\vantro.toml";
  if (!make_link_to_missing_file(file(), elsewhere(), target, false))
    GTEST_SKIP() << "no right to make a symbolic link here";
  const DWORD link_attributes = GetFileAttributesW(file().c_str());
  set_write_limit_for_tests(10);
  const auto saved = save_config(Config{});
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().plain(), os_failure(ERROR_DISK_FULL));
  EXPECT_EQ(GetFileAttributesW(target.c_str()), INVALID_FILE_ATTRIBUTES)
      << "the file that the save made is gone";
  EXPECT_TRUE(names_in(elsewhere()).empty()) << "no temporary file is left";
  EXPECT_EQ(GetFileAttributesW(file().c_str()), link_attributes) << "the link stays";
}

TEST_F(WindowsConfigFile, FinalPathThatCannotBeReadSavesAFileThatIsNoLinkAtItsPath) {
  // RAM disks and mounted images report ERROR_INVALID_FUNCTION, drive letters made with
  // DefineDosDevice ERROR_PATH_NOT_FOUND.
  for (const DWORD code : {ERROR_INVALID_FUNCTION, ERROR_PATH_NOT_FOUND}) {
    for (const bool existing : {true, false}) {
      SCOPED_TRACE(testing::Message()
                   << "error " << code << (existing ? ", a hidden file" : ", no file yet"));
      remove_tree(folder());
      ASSERT_TRUE(CreateDirectoryW(folder().c_str(), nullptr));
      DWORD before = 0;
      if (existing) {
        std::ofstream(fs::path(file()), std::ios::binary) << "[hints]\nalphabet = \"previous\"\n";
        ASSERT_TRUE(SetFileAttributesW(file().c_str(), FILE_ATTRIBUTE_HIDDEN));
        before = GetFileAttributesW(file().c_str());
      }
      set_final_path_failure_for_tests(code);
      Config changed;
      changed.hints.alphabet = "changed";
      const auto saved = save_config(changed);
      set_final_path_failure_for_tests(std::nullopt);
      ASSERT_TRUE(saved) << saved.error().plain();
      EXPECT_EQ(read_bytes(file()), serialize_config(changed));
      if (before & FILE_ATTRIBUTE_HIDDEN) {
        EXPECT_EQ(GetFileAttributesW(file().c_str()), before | FILE_ATTRIBUTE_ARCHIVE);
      }
      EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"}) << "no temporary file is left";
    }
  }
}

TEST_F(WindowsConfigFile, FinalPathThatCannotBeReadFailsTheSaveThroughALink) {
  if (running_under_wine()) GTEST_SKIP() << kNoReparsePointsUnderWine;
  const std::wstring target = elsewhere() + L"\\vantro.toml";
  for (const bool missing : {false, true}) {
    SCOPED_TRACE(missing ? "a link to a missing file" : "a link to a file");
    remove_tree(folder());
    remove_tree(elsewhere());
    ASSERT_TRUE(CreateDirectoryW(folder().c_str(), nullptr));
    if (missing) {
      if (!make_link_to_missing_file(file(), elsewhere(), target, false))
        GTEST_SKIP() << "no right to make a symbolic link here";
    } else {
      ASSERT_TRUE(CreateDirectoryW(elsewhere().c_str(), nullptr));
      std::ofstream(fs::path(target), std::ios::binary) << "previous";
      if (!make_file_link(file(), target)) GTEST_SKIP() << "no right to make a symbolic link here";
    }
    const DWORD link_attributes = GetFileAttributesW(file().c_str());
    ASSERT_NE(link_attributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
    set_final_path_failure_for_tests(ERROR_INVALID_FUNCTION);
    const auto saved = save_config(Config{});
    set_final_path_failure_for_tests(std::nullopt);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().plain(), os_failure(ERROR_INVALID_FUNCTION));
    EXPECT_EQ(GetFileAttributesW(file().c_str()), link_attributes) << "the link stays";
    if (missing) {
      EXPECT_TRUE(names_in(elsewhere()).empty()) << "the file that the save made is gone";
    } else {
      EXPECT_EQ(read_bytes(target), "previous");
      EXPECT_EQ(names_in(elsewhere()), std::vector<std::wstring>{L"vantro.toml"});
    }
    EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"});
  }
}

TEST_F(WindowsConfigFile, LinksUnderTemporaryNamesStayAfterASave) {
  if (running_under_wine()) GTEST_SKIP() << kNoReparsePointsUnderWine;
  ASSERT_TRUE(save_config(Config{}));
  const std::wstring kept = folder() + L"\\kept.txt";
  const std::wstring link = folder() + L"\\config.toml.12-3.tmp";
  std::ofstream(fs::path(kept), std::ios::binary) << "someone else's";
  if (!make_file_link(link, kept)) GTEST_SKIP() << "no right to make a symbolic link here";

  ASSERT_TRUE(save_config(Config{}));
  EXPECT_NE(GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT, 0u) << "the link stays";
  EXPECT_EQ(read_bytes(link), "someone else's");
  EXPECT_EQ(names(), (std::vector<std::wstring>{L"config.toml", L"config.toml.12-3.tmp", L"kept.txt"}));
}

}  // namespace
}  // namespace vantro::config
