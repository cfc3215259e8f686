#include "config/config_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include <fmt/format.h>

#include "config/config_toml.h"
#include "config/file_io.h"
#include "core/os_error.h"
#include "core/text.h"
#include "support/file_bytes.h"
#include "support/log_capture.h"
#include "support/scoped_env_var.h"

namespace vantro::config {
namespace {

namespace fs = std::filesystem;
using test_support::LogCapture;
using test_support::read_bytes;
using test_support::ScopedEnvVar;
using test_support::write_bytes;

std::string path_debug(const fs::path& path) {
  const std::u16string wide = path.u16string();
  return text::debug_quoted(std::u16string_view(wide));
}

// The names in a folder, sorted.
std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::ranges::sort(names);
  return names;
}

// What a failed system call reads as: the Win32 error code with the system's text for it on
// Windows; errno's number and text elsewhere (glibc's, written out).
struct OsFailure {
  std::uint32_t win32_code;
  const char* posix;
};
std::string text_of(const OsFailure& failure) {
#ifdef _WIN32
  return fmt::format("{} (os error {})", os_error_text(failure.win32_code), failure.win32_code);
#else
  return failure.posix;
#endif
}
constexpr OsFailure kAccessDeniedOrIsAFolder{5, "Is a directory (os error 21)"};
constexpr OsFailure kDiskFull{112, "No space left on device (os error 28)"};
constexpr OsFailure kFileWhereTheFolderBelongs{183, "File exists (os error 17)"};

// A fresh APPDATA folder for each test, removed afterwards.
class ConfigFile : public ::testing::Test {
 protected:
  ConfigFile()
      : app_data_(fs::temp_directory_path() /
                  ("vantro-config-test-" + std::to_string(std::random_device{}()))),
        env_("APPDATA", app_data_.string()) {
    fs::create_directories(app_data_);
  }
  ~ConfigFile() override {
    set_write_limit_for_tests(std::nullopt);
    std::error_code ignored;
    fs::remove_all(app_data_, ignored);
  }

  [[nodiscard]] fs::path folder() const { return app_data_ / "vantro"; }
  [[nodiscard]] fs::path file() const { return folder() / "config.toml"; }
  // A folder of the user's own beside the configuration's, as for settings files kept together.
  [[nodiscard]] fs::path elsewhere() const { return app_data_ / "dotfiles"; }
  // The configuration's folder and elsewhere(), both empty.
  void empty_folders() const {
    for (const fs::path& each : {folder(), elsewhere()}) {
      fs::remove_all(each);
      fs::create_directories(each);
    }
  }
  void put_file(std::string_view bytes) const {
    fs::create_directories(folder());
    write_bytes(file(), bytes);
  }

  fs::path app_data_;
  ScopedEnvVar env_;
};

TEST_F(ConfigFile, PathIsTheFileUnderAppData) {
  EXPECT_EQ(config_path(), app_data_ / "vantro" / "config.toml");
  // A trailing separator gives no doubled one.
  const ScopedEnvVar trailing("APPDATA", (app_data_ / "").string());
  EXPECT_EQ(config_path()->string(), (app_data_ / "vantro" / "config.toml").string());
}

TEST_F(ConfigFile, PathIsFormedAnewAtEachCall) {
  const fs::path other = app_data_ / "elsewhere";
  {
    const ScopedEnvVar moved("APPDATA", other.string());
    EXPECT_EQ(config_path(), other / "vantro" / "config.toml");
  }
  EXPECT_EQ(config_path(), file());
}

TEST_F(ConfigFile, WithoutAppDataThereIsNoFile) {
  const ScopedEnvVar unset("APPDATA", std::nullopt);
  EXPECT_EQ(config_path(), std::nullopt);

  LogCapture capture;
  const auto loaded = load_config();
  ASSERT_TRUE(loaded);
  EXPECT_FALSE(loaded->has_value());
  EXPECT_EQ(load_or_default(), Config{});
  ASSERT_EQ(capture.events().size(), 1u);
  EXPECT_EQ(capture.events()[0].level, log::Level::Info);
  EXPECT_EQ(capture.events()[0].target, "vantro::config");
  EXPECT_EQ(capture.events()[0].message, "no config file found, using defaults");
  EXPECT_TRUE(capture.events()[0].fields.empty());

  const auto saved = save_config(Config{});
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().plain(), "APPDATA env var not set; cannot save config");
  EXPECT_EQ(saved.error().chain().size(), 1u);
  EXPECT_TRUE(delete_config());
  EXPECT_EQ(capture.events().size(), 1u) << "save and delete log nothing here";
}

TEST_F(ConfigFile, MissingFileGivesTheDefaults) {
  LogCapture capture;
  EXPECT_EQ(load_or_default(), Config{});
  ASSERT_NE(capture.find("no config file found, using defaults"), nullptr);
  EXPECT_FALSE(fs::exists(folder())) << "loading creates nothing";
}

TEST_F(ConfigFile, EmptyFileLoadsAsTheDefaultsFromDisk) {
  put_file("");
  LogCapture capture;
  EXPECT_EQ(load_or_default(), Config{});
  ASSERT_EQ(capture.events().size(), 1u);
  EXPECT_EQ(capture.events()[0].level, log::Level::Info);
  EXPECT_EQ(capture.events()[0].message, "loaded config from disk");
  EXPECT_TRUE(capture.events()[0].fields.empty());
}

TEST_F(ConfigFile, ValidFileIsLoaded) {
  put_file("# mine\n[hints]\nalphabet = \"qwerty\"\n");
  const Config loaded = load_or_default();
  EXPECT_EQ(loaded.hints.alphabet, "qwerty");
  EXPECT_EQ(loaded.hotkeys, HotkeyBindings{});
}

TEST_F(ConfigFile, InvalidFilesFallBackToTheDefaultsAndStayUntouched) {
  const struct {
    const char* name;
    std::string bytes;
    std::string error;  // the whole message, or its last line for reports
  } cases[] = {
      {"UTF-16 with byte-order mark", std::string("\xFF\xFE[\0h\0i\0n\0t\0s\0]\0\n\0", 18),
       "stream did not contain valid UTF-8"},
      {"stray byte", "[hints]\nalphabet = \"a\xC3\"\n", "stream did not contain valid UTF-8"},
      {"one wrong value", "[hints]\nalphabet = \"qwer\"\n[colors.element]\nopacity = 300\n",
       "invalid value: integer `300`, expected u8"},
      {"syntax error", "[hints\n", ""},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    put_file(test.bytes);
    LogCapture capture;
    EXPECT_EQ(load_or_default(), Config{});
    ASSERT_EQ(capture.events().size(), 1u);
    const auto& event = capture.events()[0];
    EXPECT_EQ(event.level, log::Level::Warn);
    EXPECT_EQ(event.target, "vantro::config");
    EXPECT_EQ(event.message, "config file is invalid, using defaults");
    const std::string* error = event.field("error");
    ASSERT_NE(error, nullptr);
    const auto loaded = load_config();
    ASSERT_FALSE(loaded);
    EXPECT_EQ(*error, loaded.error().debug());
    if (test.error.starts_with("stream")) {
      EXPECT_EQ(*error, test.error);
    } else {
      EXPECT_TRUE(error->starts_with("TOML parse error at line ")) << *error;
      EXPECT_TRUE(error->ends_with(test.error)) << *error;
    }
    EXPECT_EQ(read_bytes(file()), test.bytes);
  }
}

TEST_F(ConfigFile, FolderAtThePathLoadsAsInvalidAndCannotBeDeleted) {
  fs::create_directories(file());
  LogCapture capture;
  EXPECT_EQ(load_or_default(), Config{});
  ASSERT_NE(capture.find("config file is invalid, using defaults"), nullptr);
  const std::string* error = capture.find("config file is invalid, using defaults")->field("error");
  ASSERT_NE(error, nullptr);
  EXPECT_EQ(*error, text_of(kAccessDeniedOrIsAFolder));

  const auto deleted = delete_config();
  ASSERT_FALSE(deleted);
  EXPECT_EQ(deleted.error().plain(), text_of(kAccessDeniedOrIsAFolder));
  EXPECT_TRUE(fs::is_directory(file()));
  EXPECT_EQ(capture.events().size(), 1u);
}

TEST_F(ConfigFile, SaveCreatesTheFolderAndWritesTheRendering) {
  Config config;
  config.hints.alphabet = "jkl;";
  config.colors.window.show_leader = true;
  LogCapture capture;
  ASSERT_TRUE(save_config(config));
  EXPECT_TRUE(fs::is_directory(folder()));
  EXPECT_EQ(read_bytes(file()), serialize_config(config));
  ASSERT_EQ(capture.events().size(), 1u);
  EXPECT_EQ(capture.events()[0].level, log::Level::Info);
  EXPECT_EQ(capture.events()[0].target, "vantro::config");
  EXPECT_EQ(capture.events()[0].message, "config saved");
  ASSERT_NE(capture.events()[0].field("path"), nullptr);
  EXPECT_EQ(*capture.events()[0].field("path"), path_debug(file()));

  // Twice gives the same text, and it reads back as the record.
  ASSERT_TRUE(save_config(config));
  EXPECT_EQ(read_bytes(file()), serialize_config(config));
  EXPECT_EQ(load_or_default(), config);
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{"config.toml"}) << "no temporary file is left";
}

TEST_F(ConfigFile, SaveReplacesHandEditsWithTheRendering) {
  put_file("# my comment\n[hints]\nalphabet = \"x\"\n[theme]\nsize = 3\n");
  ASSERT_TRUE(save_config(Config{}));
  EXPECT_EQ(read_bytes(file()), serialize_config(Config{}));
}

TEST_F(ConfigFile, FailedWriteLeavesThePreviousFileAsItWas) {
  const std::string previous = "# hand made\n[hints]\nalphabet = \"previous\"\n";
  put_file(previous);
  set_write_limit_for_tests(10);
  Config config;
  config.hints.alphabet = "new";
  LogCapture capture;
  const auto saved = save_config(config);
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().plain(), text_of(kDiskFull));
  EXPECT_EQ(read_bytes(file()), previous);
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{"config.toml"}) << "the temporary file is removed";
  EXPECT_EQ(capture.find("config saved"), nullptr);

  // The next attempt writes a temporary file of its own and succeeds.
  set_write_limit_for_tests(std::nullopt);
  ASSERT_TRUE(save_config(config));
  EXPECT_EQ(read_bytes(file()), serialize_config(config));
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{"config.toml"});
}

TEST_F(ConfigFile, WhatOthersLeftBesideTheFileDoesNotBlockASave) {
  // Leftovers of other programs, or of an older save under a fixed temporary name: each is
  // kept as it is, and the save goes through under a name of its own.
  const struct {
    const char* name;
    const char* leftover;
    bool folder;
  } cases[] = {
      {"a folder", "config.toml.tmp", true},
      {"a file", "config.toml.tmp", false},
      {"a folder named like a temporary file", "config.toml.1-1.tmp", true},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    fs::remove_all(folder());
    put_file("[hints]\nalphabet = \"previous\"\n");
    const fs::path leftover = folder() / test.leftover;
    if (test.folder) {
      fs::create_directories(leftover / "inside");
    } else {
      write_bytes(leftover, "left behind");
    }
    Config config;
    config.hints.alphabet = "new";
    const auto saved = save_config(config);
    ASSERT_TRUE(saved) << saved.error().plain();
    EXPECT_EQ(read_bytes(file()), serialize_config(config));
    if (test.folder) {
      EXPECT_TRUE(fs::is_directory(leftover / "inside"));
    } else {
      EXPECT_EQ(read_bytes(leftover), "left behind");
    }
    EXPECT_EQ(names_in(folder()), (std::vector<std::string>{"config.toml", test.leftover}));
  }
}

TEST(TemporaryName, IsTheFileNameWithDigitsDashDigitsAndTmp) {
  const struct {
    const char* name;
    bool temporary;
  } cases[] = {
      {"config.toml.12-3.tmp", true},
      {"config.toml.0-0.tmp", true},
      {"config.toml.4294967295-18446744073709551615.tmp", true},
      {"config.toml", false},
      {"config.toml.tmp", false},
      {"config.toml.12-x.tmp", false},
      {"config.toml.x-3.tmp", false},
      {"config.toml.-3.tmp", false},
      {"config.toml.12-.tmp", false},
      {"config.toml.12.tmp", false},
      {"config.toml.12--3.tmp", false},
      {"config.toml.+1-2.tmp", false},
      {"config.toml.12-3.tmp.bak", false},
      {"config.toml.12-3.tm", false},
      {"config.toml.12-3.TMP", false},
      {"config.toml.12-3tmp", false},
      {"config.toml12-3.tmp", false},
      {"xconfig.toml.1-2.tmp", false},
      {"vantro.toml.1-2.tmp", false},
      {"config.toml.1-2.tmp.1-2.tmp", false},
      {"", false},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    EXPECT_EQ(is_temporary_name(test.name, "config.toml"), test.temporary);
  }
  // Named after the file that is replaced, whatever its name.
  EXPECT_TRUE(is_temporary_name("vantro.toml.1-2.tmp", "vantro.toml"));
  EXPECT_FALSE(is_temporary_name("config.toml.1-2.tmp", "vantro.toml"));
  EXPECT_FALSE(is_temporary_name(".1-2.tmp", ""));
}

TEST_F(ConfigFile, SuccessfulSaveRemovesTheTemporaryFilesThatEarlierSavesLeft) {
  put_file("[hints]\nalphabet = \"previous\"\n");
  const std::vector<std::string> leftovers = {"config.toml.12-3.tmp", "config.toml.4567-89.tmp"};
  // Named alike but not as this program names its temporary files, or no file: all stay.
  const std::vector<std::string> others = {"config.toml.12-3.tmp.bak", "config.toml.12-x.tmp",
                                           "config.toml.tmp", "xconfig.toml.1-2.tmp"};
  for (const auto& name : leftovers) write_bytes(folder() / name, "left by a killed save");
  for (const auto& name : others) write_bytes(folder() / name, "someone else's");
  fs::create_directories(folder() / "config.toml.8-9.tmp" / "inside");

  // A failed save removes nothing.
  set_write_limit_for_tests(10);
  ASSERT_FALSE(save_config(Config{}));
  set_write_limit_for_tests(std::nullopt);
  for (const auto& name : leftovers) EXPECT_TRUE(fs::exists(folder() / name)) << name;

  ASSERT_TRUE(save_config(Config{}));
  EXPECT_EQ(read_bytes(file()), serialize_config(Config{}));
  std::vector<std::string> expected = others;
  expected.push_back("config.toml");
  expected.push_back("config.toml.8-9.tmp");
  std::ranges::sort(expected);
  EXPECT_EQ(names_in(folder()), expected);
  for (const auto& name : others) EXPECT_EQ(read_bytes(folder() / name), "someone else's") << name;
  EXPECT_TRUE(fs::is_directory(folder() / "config.toml.8-9.tmp" / "inside"));
}

#ifndef _WIN32
// POSIX links and permission bits; the Windows counterparts are tested with the Win32 tests.
constexpr fs::perms kUnusualMode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;

TEST_F(ConfigFile, SaveReplacesTheFileThePathNamesAndKeepsItsPermissions) {
  const struct {
    const char* name;
    bool linked;
  } cases[] = {{"a plain file", false}, {"a link to a file in another folder", true}};
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    empty_folders();
    const fs::path target = test.linked ? elsewhere() / "vantro.toml" : file();
    write_bytes(target, "[hints]\nalphabet = \"previous\"\n");
    // Bits that no usual umask leaves on a new file, so only a save that carries them keeps them.
    fs::permissions(target, kUnusualMode);
    if (test.linked) fs::create_symlink(target, file());
    const fs::path leftover = target.parent_path() / (target.filename().string() + ".77-1.tmp");
    write_bytes(leftover, "left by a killed save");

    Config config;
    config.hints.alphabet = "new";
    const auto saved = save_config(config);
    ASSERT_TRUE(saved) << saved.error().plain();
    EXPECT_EQ(read_bytes(target), serialize_config(config));
    EXPECT_EQ(fs::status(target).permissions(), kUnusualMode);
    EXPECT_EQ(names_in(target.parent_path()), std::vector<std::string>{target.filename().string()})
        << "no temporary file is left, and the leftover is removed";
    if (test.linked) {
      ASSERT_TRUE(fs::is_symlink(file()));
      EXPECT_EQ(fs::read_symlink(file()), target);
      EXPECT_EQ(names_in(folder()), std::vector<std::string>{"config.toml"});
    }
  }
}

TEST_F(ConfigFile, SaveThroughALinkToAMissingFileCreatesItAndKeepsTheLink) {
  const fs::path target = elsewhere() / "vantro.toml";
  const struct {
    const char* name;
    fs::path link;     // what config.toml holds
    fs::path between;  // a link that config.toml leads to, holding "vantro.toml"; none when empty
  } cases[] = {
      {"an absolute link", target, {}},
      {"a relative link", fs::path("..") / "dotfiles" / "vantro.toml", {}},
      {"a link to a link", elsewhere() / "between.toml", elsewhere() / "between.toml"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    empty_folders();
    fs::create_symlink(test.link, file());
    if (!test.between.empty()) fs::create_symlink("vantro.toml", test.between);

    Config config;
    config.hints.alphabet = "new";
    const auto saved = save_config(config);
    ASSERT_TRUE(saved) << saved.error().plain();
    EXPECT_EQ(read_bytes(target), serialize_config(config));
    ASSERT_TRUE(fs::is_symlink(file()));
    EXPECT_EQ(fs::read_symlink(file()), test.link);
    EXPECT_EQ(names_in(folder()), std::vector<std::string>{"config.toml"});
    std::vector<std::string> expected{"vantro.toml"};
    if (!test.between.empty()) expected.insert(expected.begin(), "between.toml");
    EXPECT_EQ(names_in(elsewhere()), expected) << "no temporary file is left";
    EXPECT_EQ(load_or_default(), config);
  }
}

TEST_F(ConfigFile, FailedSaveWhereNoFileIsYetChangesNothing) {
  const struct {
    const char* name;
    fs::path link;  // none when empty
    bool write_fails;
    std::string error;
  } cases[] = {
      {"no file at the path, the write fails", {}, true, text_of(kDiskFull)},
      {"a link to a missing file, the write fails", elsewhere() / "vantro.toml", true, text_of(kDiskFull)},
      {"a link into a missing folder", app_data_ / "unplugged" / "vantro.toml", false,
       "No such file or directory (os error 2)"},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    empty_folders();
    if (!test.link.empty()) fs::create_symlink(test.link, file());
    set_write_limit_for_tests(test.write_fails ? std::optional<std::size_t>(10) : std::nullopt);

    LogCapture capture;
    const auto saved = save_config(Config{});
    set_write_limit_for_tests(std::nullopt);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().plain(), test.error);
    EXPECT_EQ(capture.find("config saved"), nullptr);
    if (test.link.empty()) {
      EXPECT_TRUE(names_in(folder()).empty()) << "no file and no temporary file is left";
    } else {
      ASSERT_TRUE(fs::is_symlink(file()));
      EXPECT_EQ(fs::read_symlink(file()), test.link);
      EXPECT_EQ(names_in(folder()), std::vector<std::string>{"config.toml"});
    }
    EXPECT_TRUE(names_in(elsewhere()).empty());
    EXPECT_FALSE(fs::exists(app_data_ / "unplugged")) << "no folder is made";
  }
}
#endif

TEST_F(ConfigFile, ReplacingAFolderFailsAndRemovesTheTemporaryFile) {
  fs::create_directories(file() / "inside");
  const auto saved = save_config(Config{});
  ASSERT_FALSE(saved);
  EXPECT_TRUE(fs::is_directory(file() / "inside"));
  EXPECT_EQ(names_in(folder()), std::vector<std::string>{"config.toml"}) << "the temporary file is removed";
}

TEST_F(ConfigFile, SaveFailsWhenTheFolderCannotBeCreated) {
  write_bytes(folder(), "a file where the folder belongs");
  const auto saved = save_config(Config{});
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.error().plain(), text_of(kFileWhereTheFolderBelongs));
  EXPECT_EQ(saved.error().chain().size(), 1u);
  EXPECT_EQ(read_bytes(folder()), "a file where the folder belongs");
}

TEST_F(ConfigFile, DeleteRemovesTheFileAndKeepsTheFolder) {
  put_file("[hints]\nalphabet = \"x\"\n");
  LogCapture capture;
  ASSERT_TRUE(delete_config());
  EXPECT_FALSE(fs::exists(file()));
  EXPECT_TRUE(fs::is_directory(folder()));
  ASSERT_EQ(capture.events().size(), 1u);
  EXPECT_EQ(capture.events()[0].level, log::Level::Info);
  EXPECT_EQ(capture.events()[0].message, "config file deleted");
  ASSERT_NE(capture.events()[0].field("path"), nullptr);
  EXPECT_EQ(*capture.events()[0].field("path"), path_debug(file()));
}

TEST_F(ConfigFile, DeletingAMissingFileSucceedsSilently) {
  LogCapture capture;
  EXPECT_TRUE(delete_config());
  fs::create_directories(folder());
  EXPECT_TRUE(delete_config());
  EXPECT_TRUE(capture.events().empty());
}

#ifndef _WIN32
// The C runtime on Windows cannot hold an empty variable; a set but empty value is a POSIX case.
TEST(ConfigPath, EmptyAppDataGivesARelativePath) {
  const ScopedEnvVar empty("APPDATA", "");
  EXPECT_EQ(config_path(), fs::path("vantro") / "config.toml");
}
#endif

}  // namespace
}  // namespace vantro::config
