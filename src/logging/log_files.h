// The log directory and its files: names, the name test, pruning, and the file system access
// they need (behind an interface so that the rules can be exercised with made-up listings).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/error.h"
#include "core/output.h"

namespace vantro::log {

// Times in a directory listing: 100-nanosecond intervals, as the listing reports them.
using FileTime = std::int64_t;

enum class EntryKind : std::uint8_t { File, Directory, Symlink };

struct DirEntry {
  std::u16string name;  // as the system gave it; not necessarily valid UTF-16
  EntryKind kind = EntryKind::File;
  FileTime creation_time = 0;
  FileTime last_write_time = 0;
};

// Paths are UTF-16 text at this boundary; they may hold names that are not valid Unicode.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // The entries of a directory, without "." and "..".
  [[nodiscard]] virtual Result<std::vector<DirEntry>> list(std::u16string_view dir) = 0;
  // Whether the attributes of the path can be read (it exists and is reachable).
  [[nodiscard]] virtual bool exists(std::u16string_view path) = 0;
  [[nodiscard]] virtual Result<void> create_directories(std::u16string_view dir) = 0;
  // Deletes a file; a directory is not removed by this and fails.
  [[nodiscard]] virtual Result<void> remove_file(std::u16string_view path) = 0;
  // Opens a file for appending, creating it when it is missing.
  [[nodiscard]] virtual Result<std::unique_ptr<TextOutput>> open_append(std::u16string_view path) = 0;
};

// `base` joined with `name` by a backslash (none after a trailing separator, none after a bare
// drive such as "C:", and just `name` after an empty base).
[[nodiscard]] std::u16string join_path(std::u16string_view base, std::u16string_view name);
// A path as text for messages: each invalid UTF-16 sequence becomes U+FFFD.
[[nodiscard]] std::string display_path(std::u16string_view path);

// LOCALAPPDATA joined with "vantro", given LOCALAPPDATA's value when it is set and valid
// Unicode. Nothing is checked or created.
[[nodiscard]] std::optional<std::u16string> log_dir_for(const std::optional<std::string>& local_app_data);
// The same from the process environment.
[[nodiscard]] std::optional<std::u16string> log_dir();

// Whether an entry's name, with invalid UTF-16 replaced, begins with the bytes "vantro".
// Nothing else counts: not the rest of the name, nor whether the entry is a directory.
[[nodiscard]] bool is_log_file(const DirEntry& entry);
[[nodiscard]] bool is_log_file_name(std::u16string_view name);

// "vantro.YYYY-MM-DD.log" for the UTC date of `time`.
[[nodiscard]] std::u16string log_file_name(std::chrono::system_clock::time_point time);
// The first 00:00 UTC after `time`.
[[nodiscard]] std::chrono::system_clock::time_point next_rotation(std::chrono::system_clock::time_point time);

// Of `entries`, those that pruning deletes, oldest first: the regular files whose names are
// valid Unicode, begin with "vantro" and end with "log" are sorted by creation time (equal
// times keep their listing order); with `max_files` or more of them, all but the newest
// (max_files - 1) are chosen, which leaves room for the file about to be opened.
[[nodiscard]] std::vector<const DirEntry*> select_for_pruning(std::span<const DirEntry> entries,
                                                              std::size_t max_files);

// Log files kept in the directory, the current one included.
inline constexpr std::size_t kMaxLogFiles = 7;

// Prunes `dir`: failures are reported on `errors` and deletion goes on with the next file.
void prune_log_dir(FileSystem& fs, std::u16string_view dir, TextOutput& errors);

}  // namespace vantro::log
