// File operations of the configuration file, with the system's error texts: whole-file
// reading, removal, creating folders, and replacing a file's contents in one step. Every
// failure reads "{system message} (os error {code})" with the code of the system call that
// failed (a Win32 error code on Windows).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/error.h"

namespace vantro::config {

// The whole file as bytes.
[[nodiscard]] Result<std::string> read_file(const std::filesystem::path& path);

// Removes the file; a folder at the path is refused like any other removal failure.
[[nodiscard]] Result<void> remove_file(const std::filesystem::path& path);

// Creates the folder and any missing folders above it; an existing folder is success.
[[nodiscard]] Result<void> create_folders(const std::filesystem::path& folder);

// Replaces the file at `path` with `contents` in one step. The file that the path finally
// names is replaced, or made where it is missing: a link stays a link and its target gets the
// text, also a target that is not there yet (when the target's folder is missing, nothing is
// made and the replacement fails); with no link, a missing file is made at `path`. On Windows,
// where the volume cannot tell the final path, a path that is no link is taken as the file's
// own. The text goes to a new temporary file beside the file replaced, is flushed to disk,
// takes over the replaced file's attributes (hidden, system and not-indexed on Windows, the
// permission bits elsewhere), and is then moved over it. The temporary file gets a name of its
// own for each attempt, "{file name}.{process id}-{attempt}.tmp" after the file replaced,
// created only where nothing has that name yet, so nothing left beside the file can stand in
// the way. On any failure the previous file stays as it was, and the temporary file and a file
// made empty on the way (Windows) are removed. After a success, the files that earlier attempts
// left under such names (a crash, a killed process) are removed where they can be; nothing else
// is touched (folders and links under such names stay).
[[nodiscard]] Result<void> replace_file(const std::filesystem::path& path, std::string_view contents);

// Whether `name` is that of a temporary file made for replacing the file named `file_name`:
// `file_name`, ".", digits, "-", digits, ".tmp", exactly (both are bare file names).
[[nodiscard]] bool is_temporary_name(const std::filesystem::path& name,
                                     const std::filesystem::path& file_name);

// Tests only: writes of the temporary file fail once this many bytes have been written (as
// a full disk would); nothing resets the limit.
void set_write_limit_for_tests(std::optional<std::size_t> bytes);

#ifdef _WIN32
// Tests only: the query for the path that an open file finally has fails with this Win32
// error code (as on volumes that cannot tell it); nothing resets it.
void set_final_path_failure_for_tests(std::optional<std::uint32_t> code);
#endif

}  // namespace vantro::config
