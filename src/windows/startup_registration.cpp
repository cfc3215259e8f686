#include "windows/startup_registration.h"

#include <windows.h>

#include <fmt/format.h>

#include "core/text.h"
#include "logging/log.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

constexpr std::string_view kTarget = "vantro::windows::startup";
constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"vantro";

std::wstring& run_key_override() {
  static std::wstring subkey;
  return subkey;
}

const wchar_t* run_key() {
  return run_key_override().empty() ? kRunKey : run_key_override().c_str();
}

Error registry_error(std::string_view function, LSTATUS status) {
  return Error(fmt::format("{} failed: 0x{:08X}", function, static_cast<std::uint32_t>(status)));
}

// Opens the Run key (never creating it) for one operation.
Result<HKEY> open_run_key(REGSAM access) {
  HKEY key = nullptr;
  const LSTATUS status = RegOpenKeyExW(HKEY_CURRENT_USER, run_key(), 0, access, &key);
  if (status != ERROR_SUCCESS) return fail(registry_error("RegOpenKeyExW", status));
  return key;
}

// The full path of the running executable, the buffer grown until it fits.
Result<std::wstring> executable_path() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return fail(last_error("getting current_exe path"));
    if (length < buffer.size() && GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
      buffer.resize(length);
      return buffer;
    }
    if (buffer.size() >= 32768) return fail(last_error("getting current_exe path"));
    buffer.resize(buffer.size() * 2);
  }
}

Result<void> enable() {
  auto path = executable_path();
  if (!path) return fail(std::move(path.error()));
  const std::u16string_view utf16(reinterpret_cast<const char16_t*>(path->data()), path->size());
  const auto utf8 = text::to_utf8_strict(utf16);
  if (!utf8) return fail(fmt::format("exe path is not valid UTF-8: {}", text::debug_quoted(utf16)));

  auto key = open_run_key(KEY_SET_VALUE);
  if (!key) return fail(std::move(key.error()));
  const std::wstring data = L"\"" + *path + L"\"";
  const auto size = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
  const LSTATUS status =
      RegSetValueExW(*key, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()), size);
  RegCloseKey(*key);
  if (status != ERROR_SUCCESS) return fail(registry_error("RegSetValueExW", status));
  VANTRO_LOG(log::Level::Info, kTarget, "registered for Windows startup", log::display("path", *utf8));
  return {};
}

Result<void> disable() {
  auto key = open_run_key(KEY_SET_VALUE);
  if (!key) return fail(std::move(key.error()));
  const LSTATUS status = RegDeleteValueW(*key, kValueName);
  RegCloseKey(*key);
  if (status == ERROR_SUCCESS) {
    VANTRO_LOG_MSG(log::Level::Info, kTarget, "removed Windows startup registration");
    return {};
  }
  if (status == ERROR_FILE_NOT_FOUND) {
    VANTRO_LOG_MSG(log::Level::Debug, kTarget, "startup key already absent");
    return {};
  }
  return fail(registry_error("RegDeleteValueW", status));
}

}  // namespace

Result<bool> is_startup_registered() {
  auto key = open_run_key(KEY_READ);
  if (!key) return fail(std::move(key.error()));
  const LSTATUS status = RegQueryValueExW(*key, kValueName, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(*key);
  if (status == ERROR_SUCCESS) return true;
  if (status == ERROR_FILE_NOT_FOUND) return false;
  return fail(registry_error("RegQueryValueExW", status));
}

Result<void> set_startup_registration(bool enable_at_login) {
  return enable_at_login ? enable() : disable();
}

void set_run_key_for_tests(std::wstring_view subkey) {
  run_key_override() = std::wstring(subkey);
}

}  // namespace vantro::windows
