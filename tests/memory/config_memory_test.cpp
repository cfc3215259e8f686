// How much memory reading the configuration file needs at most, counted in operator new.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "allocation_count.h"
#include "config/config_file.h"
#include "support/file_bytes.h"
#include "support/scoped_env_var.h"

namespace vantro::config {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kTenMegabytes = 10'000'000;

// A value of ten million '[' is refused with the usual report, and reading its file needs no
// more memory than a few copies of the text: the file read into a string (which may have
// doubled its capacity while growing), the report that quotes the whole line and its
// formatting buffer.
TEST(ConfigMemory, DeeplyBracketedValueIsRefusedWithinAFewTimesItsSize) {
  const fs::path app_data =
      fs::temp_directory_path() / ("vantro-config-memory-" + std::to_string(std::random_device{}()));
  fs::create_directories(app_data / "vantro");
  const test_support::ScopedEnvVar env("APPDATA", app_data.string());
  const std::string bytes = "key = " + std::string(kTenMegabytes, '[');
  test_support::write_bytes(app_data / "vantro" / "config.toml", bytes);

  const std::size_t before = test_support::allocated_bytes();
  test_support::reset_allocation_peak();
  const auto loaded = load_config();
  const std::size_t peak = test_support::allocation_peak() - before;

  ASSERT_FALSE(loaded);
  const std::string& report = loaded.error().plain();
  EXPECT_TRUE(report.starts_with("TOML parse error at line 1, column 263\n")) << report.substr(0, 100);
  EXPECT_EQ(report.substr(report.rfind('\n') + 1),
            "arrays and inline tables may nest at most 256 levels deep");
  EXPECT_LE(peak, 6 * bytes.size()) << peak << " bytes at the peak for a text of " << bytes.size();
  std::error_code ignored;
  fs::remove_all(app_data, ignored);
}

}  // namespace
}  // namespace vantro::config
