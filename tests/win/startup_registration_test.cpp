// Start-at-login registration against a Run key of the test's own under HKEY_CURRENT_USER, so
// that the real Run key is never touched.
#include "windows/startup_registration.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support/log_capture.h"
#include "windows/wide.h"

namespace vantro::windows {
namespace {

using test_support::LogCapture;

std::wstring test_parent() {
  return L"Software\\vantro-tests\\startup-" + std::to_wstring(GetCurrentProcessId());
}

std::wstring own_path() {
  wchar_t buffer[32768];
  const DWORD length = GetModuleFileNameW(nullptr, buffer, 32768);
  return std::wstring(buffer, length);
}

struct StoredValue {
  DWORD type = 0;
  std::vector<BYTE> data;
};

std::optional<StoredValue> stored_value(const std::wstring& subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return std::nullopt;
  StoredValue value;
  DWORD size = 0;
  LSTATUS status = RegQueryValueExW(key, L"vantro", nullptr, &value.type, nullptr, &size);
  if (status == ERROR_SUCCESS) {
    value.data.resize(size);
    status = RegQueryValueExW(key, L"vantro", nullptr, &value.type, value.data.data(), &size);
    value.data.resize(size);
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return std::nullopt;
  return value;
}

bool key_exists(const std::wstring& subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

class StartupRegistration : public ::testing::Test {
 protected:
  StartupRegistration() : run_key_(test_parent() + L"\\Run") {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, run_key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    if (key) RegCloseKey(key);
    set_run_key_for_tests(run_key_);
  }
  ~StartupRegistration() override {
    set_run_key_for_tests(L"");
    RegDeleteTreeW(HKEY_CURRENT_USER, test_parent().c_str());
  }

  std::wstring run_key_;
};

TEST_F(StartupRegistration, EnableWritesTheQuotedExecutablePathOnce) {
  ASSERT_EQ(is_startup_registered(), false);
  LogCapture capture;
  ASSERT_TRUE(set_startup_registration(true));
  ASSERT_TRUE(set_startup_registration(true));

  const auto value = stored_value(run_key_);
  ASSERT_TRUE(value);
  EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
  const std::wstring expected = L"\"" + own_path() + L"\"";
  // The size counts both quotes and the terminating NUL.
  ASSERT_EQ(value->data.size(), (own_path().size() + 3) * sizeof(wchar_t));
  const std::wstring stored(reinterpret_cast<const wchar_t*>(value->data.data()), value->data.size() / 2 - 1);
  EXPECT_EQ(stored, expected);
  EXPECT_EQ(reinterpret_cast<const wchar_t*>(value->data.data())[value->data.size() / 2 - 1], L'\0');

  ASSERT_EQ(capture.events().size(), 2u);
  for (const auto& event : capture.events()) {
    EXPECT_EQ(event.level, log::Level::Info);
    EXPECT_EQ(event.target, "vantro::windows::startup");
    EXPECT_EQ(event.message, "registered for Windows startup");
    ASSERT_NE(event.field("path"), nullptr);
    EXPECT_EQ(*event.field("path"), narrow(own_path())) << "the path as plain text, without the quotes";
  }
  EXPECT_EQ(is_startup_registered(), true);

  // Only the one value exists in the key.
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, run_key_.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD values = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr,
                   nullptr, nullptr);
  RegCloseKey(key);
  EXPECT_EQ(values, 1u);
}

TEST_F(StartupRegistration, DisableRemovesTheValueAndAnAbsentOneIsSuccess) {
  ASSERT_TRUE(set_startup_registration(true));
  {
    LogCapture capture;
    ASSERT_TRUE(set_startup_registration(false));
    ASSERT_EQ(capture.events().size(), 1u);
    EXPECT_EQ(capture.events()[0].level, log::Level::Info);
    EXPECT_EQ(capture.events()[0].message, "removed Windows startup registration");
    EXPECT_TRUE(capture.events()[0].fields.empty());
  }
  EXPECT_EQ(is_startup_registered(), false);
  {
    LogCapture capture;
    ASSERT_TRUE(set_startup_registration(false));
    ASSERT_EQ(capture.events().size(), 1u);
    EXPECT_EQ(capture.events()[0].level, log::Level::Debug);
    EXPECT_EQ(capture.events()[0].target, "vantro::windows::startup");
    EXPECT_EQ(capture.events()[0].message, "startup key already absent");
  }
}

TEST_F(StartupRegistration, AForeignValueCountsAsRegistered) {
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, run_key_.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  const DWORD number = 7;
  ASSERT_EQ(
      RegSetValueExW(key, L"vantro", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number),
      ERROR_SUCCESS);
  RegCloseKey(key);

  LogCapture capture;
  EXPECT_EQ(is_startup_registered(), true);
  EXPECT_TRUE(capture.events().empty()) << "the query logs nothing";
  ASSERT_TRUE(set_startup_registration(false));
  EXPECT_FALSE(stored_value(run_key_));
}

TEST_F(StartupRegistration, MissingRunKeyFailsEveryOperationAndIsNotCreated) {
  ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, test_parent().c_str()), ERROR_SUCCESS);
  LogCapture capture;
  const auto query = is_startup_registered();
  ASSERT_FALSE(query);
  EXPECT_EQ(query.error().plain(), "RegOpenKeyExW failed: 0x00000002");
  const auto enabled = set_startup_registration(true);
  ASSERT_FALSE(enabled);
  EXPECT_EQ(enabled.error().plain(), "RegOpenKeyExW failed: 0x00000002");
  EXPECT_EQ(enabled.error().chain().size(), 1u);
  const auto disabled = set_startup_registration(false);
  ASSERT_FALSE(disabled);
  EXPECT_EQ(disabled.error().plain(), "RegOpenKeyExW failed: 0x00000002");
  EXPECT_FALSE(key_exists(run_key_));
  EXPECT_TRUE(capture.events().empty()) << "failures are returned, not logged";
}

}  // namespace
}  // namespace vantro::windows
