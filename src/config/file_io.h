// File operations of the configuration file, with the system's error texts: whole-file
// reading, removal, and replacing a file's contents in one step.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "core/error.h"

namespace vantro::config {

// "{system message} (os error {code})".
[[nodiscard]] Error io_error(const std::error_code& code);

// The whole file as bytes.
[[nodiscard]] Result<std::string> read_file(const std::filesystem::path& path);

// Removes the file; a folder at the path is refused like any other removal failure.
[[nodiscard]] Result<void> remove_file(const std::filesystem::path& path);

// Replaces the file at `path` with `contents` in one step: the text goes to a temporary file
// in the same folder, is flushed to disk, and the temporary file is then moved over `path`.
// On any failure the previous file stays as it was and the temporary file is removed.
[[nodiscard]] Result<void> replace_file(const std::filesystem::path& path, std::string_view contents);

// The temporary file that replace_file writes beside `path`.
[[nodiscard]] std::filesystem::path temporary_path_for(const std::filesystem::path& path);

// Tests only: writes of the temporary file fail once this many bytes have been written (as
// a full disk would); nothing resets the limit.
void set_write_limit_for_tests(std::optional<std::size_t> bytes);

}  // namespace vantro::config
