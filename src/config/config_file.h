// The configuration file, %APPDATA%\vantro\config.toml: loading with a fall-back to the
// defaults, saving and deleting. The path is formed anew at each call.
#pragma once

#include <filesystem>
#include <optional>

#include "config/config.h"
#include "core/error.h"

namespace vantro::config {

// APPDATA joined with "vantro" and "config.toml"; nothing when APPDATA is unset (an empty value
// gives the relative path vantro\config.toml).
[[nodiscard]] std::optional<std::filesystem::path> config_path();

// Nothing when there is no file to read (APPDATA unset, or no metadata for the path); an error
// when the file cannot be read, is not UTF-8, or is no valid configuration document.
[[nodiscard]] Result<std::optional<Config>> load_config();

// The file's record, or the default one when there is no file or it is invalid (logged at
// WARN with the error; the file is left as it is). Never fails.
[[nodiscard]] Config load_or_default();

// Writes the whole record as the file, creating its folders. The file is replaced in one step,
// so a failed save leaves the previous file as it was.
[[nodiscard]] Result<void> save_config(const Config& config);

// Removes the file; no file (or APPDATA unset) is success.
[[nodiscard]] Result<void> delete_config();

}  // namespace vantro::config
