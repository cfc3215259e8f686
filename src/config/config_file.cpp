#include "config/config_file.h"

#include <string>
#include <system_error>

#include "config/config_toml.h"
#include "config/file_io.h"
#include "core/environment.h"
#include "core/text.h"
#include "logging/log.h"

namespace vantro::config {
namespace {

constexpr std::string_view kTarget = "vantro::config";

// The path between double quotes, backslashes and double quotes escaped.
std::string path_debug(const std::filesystem::path& path) {
#ifdef _WIN32
  const std::wstring& native = path.native();
  return text::debug_quoted(
      std::u16string_view(reinterpret_cast<const char16_t*>(native.data()), native.size()));
#else
  return text::debug_quoted(path.native());
#endif
}

bool has_metadata(const std::filesystem::path& path) {
  std::error_code error;
  (void)std::filesystem::status(path, error);
  return !error;
}

}  // namespace

std::optional<std::filesystem::path> config_path() {
  auto app_data = env::read_path("APPDATA");
  if (!app_data) return std::nullopt;
  return *app_data / "vantro" / "config.toml";
}

Result<std::optional<Config>> load_config() {
  const auto path = config_path();
  if (!path || !has_metadata(*path)) return std::optional<Config>();
  auto bytes = read_file(*path);
  if (!bytes) return fail(std::move(bytes.error()));
  if (!text::is_valid_utf8(*bytes)) return fail("stream did not contain valid UTF-8");
  auto config = deserialize_config(*bytes);
  if (!config) return fail(std::move(config.error()));
  return std::optional<Config>(std::move(*config));
}

Config load_or_default() {
  auto loaded = load_config();
  if (!loaded) {
    VANTRO_LOG(log::Level::Warn, kTarget, "config file is invalid, using defaults",
               log::debug("error", loaded.error()));
    return Config{};
  }
  if (!*loaded) {
    VANTRO_LOG_MSG(log::Level::Info, kTarget, "no config file found, using defaults");
    return Config{};
  }
  VANTRO_LOG_MSG(log::Level::Info, kTarget, "loaded config from disk");
  return std::move(**loaded);
}

Result<void> save_config(const Config& config) {
  const auto path = config_path();
  if (!path) return fail("APPDATA env var not set; cannot save config");
  if (auto folder = create_folders(path->parent_path()); !folder) return folder;
  if (auto written = replace_file(*path, serialize_config(config)); !written) return written;
  VANTRO_LOG(log::Level::Info, kTarget, "config saved", log::Field{"path", path_debug(*path)});
  return {};
}

Result<void> delete_config() {
  const auto path = config_path();
  if (!path || !has_metadata(*path)) return {};
  if (auto removed = remove_file(*path); !removed) return removed;
  VANTRO_LOG(log::Level::Info, kTarget, "config file deleted", log::Field{"path", path_debug(*path)});
  return {};
}

}  // namespace vantro::config
