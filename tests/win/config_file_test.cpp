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
#include "support/host_program.h"
#include "support/log_capture.h"
#include "support/scoped_env_var.h"
#include "support/system_text.h"
#include "support/under_wine.h"
#include "windows/handle.h"
#include "windows/wide.h"

namespace vantro::config {
namespace {

namespace fs = std::filesystem;
using test_support::host_path;
using test_support::LogCapture;
using test_support::os_failure;
using test_support::read_bytes;
using test_support::running_under_wine;
using test_support::ScopedEnvVar;
using test_support::start_host_program;
using windows::UniqueHandle;

std::wstring temp_folder() {
  wchar_t buffer[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  return std::wstring(buffer, length);  // ends with a backslash
}

// The path that `path` finally names, links resolved; empty when it cannot be opened.
std::wstring final_path(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return {};
  wchar_t buffer[1024];
  const DWORD length = GetFinalPathNameByHandleW(file.get(), buffer, 1024, 0);
  return length == 0 || length >= 1024 ? std::wstring() : std::wstring(buffer, length);
}

// Makes `link` a symbolic link to the file `target`: with CreateSymbolicLinkW where it makes
// one, else under Wine (whose CreateSymbolicLinkW reports success and makes nothing) as a link
// of the host's file system, which Wine follows and shows as a plain file. False when neither
// works (Windows without the right to make links).
bool make_file_link(const std::wstring& link, const std::wstring& target) {
  if (CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) &&
      GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES)
    return true;
  if (!running_under_wine()) return false;
  const std::string host_link = host_path(link), host_target = host_path(target);
  if (host_link.empty() || host_target.empty() ||
      !start_host_program(windows::wide("/bin/ln -s \"" + host_target + "\" \"" + host_link + "\"")))
    return false;
  const std::wstring wanted = final_path(target);
  for (int i = 0; i < 200 && final_path(link) != wanted; ++i) Sleep(25);  // the host program runs on its own
  return final_path(link) == wanted;
}

class WindowsConfigFile : public ::testing::Test {
 protected:
  WindowsConfigFile()
      : app_data_(temp_folder() + L"vantro config Zo\u00eb " + std::to_wstring(GetCurrentProcessId()) +
                  L"\\Roaming\\"),
        env_("APPDATA", windows::narrow(app_data_)) {
    fs::create_directories(fs::path(app_data_));
  }
  ~WindowsConfigFile() override {
    set_final_path_failure_for_tests(std::nullopt);
    std::error_code ignored;
    fs::remove_all(fs::path(app_data_).parent_path().parent_path(), ignored);
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

TEST_F(WindowsConfigFile, FinalPathThatCannotBeReadSavesAFileThatIsNoLinkAtItsPath) {
  // RAM disks and mounted images report ERROR_INVALID_FUNCTION, drive letters made with
  // DefineDosDevice ERROR_PATH_NOT_FOUND.
  for (const DWORD code : {ERROR_INVALID_FUNCTION, ERROR_PATH_NOT_FOUND}) {
    for (const bool existing : {true, false}) {
      SCOPED_TRACE(testing::Message()
                   << "error " << code << (existing ? ", a hidden file" : ", no file yet"));
      fs::remove_all(fs::path(folder()));
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
  ASSERT_TRUE(CreateDirectoryW(folder().c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(elsewhere().c_str(), nullptr));
  std::ofstream(fs::path(target), std::ios::binary) << "previous";
  if (!make_file_link(file(), target)) GTEST_SKIP() << "no right to make a symbolic link here";
  const DWORD link_attributes = GetFileAttributesW(file().c_str());
  ASSERT_NE(link_attributes & FILE_ATTRIBUTE_REPARSE_POINT, 0u);
  set_final_path_failure_for_tests(ERROR_INVALID_FUNCTION);
  const auto saved = save_config(Config{});
  set_final_path_failure_for_tests(std::nullopt);
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().plain(), os_failure(ERROR_INVALID_FUNCTION));
  EXPECT_EQ(GetFileAttributesW(file().c_str()), link_attributes) << "the link stays";
  EXPECT_EQ(read_bytes(target), "previous");
  EXPECT_EQ(names_in(elsewhere()), std::vector<std::wstring>{L"vantro.toml"});
  EXPECT_EQ(names(), std::vector<std::wstring>{L"config.toml"});
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
