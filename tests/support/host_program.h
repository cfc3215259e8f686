// Host programs and host paths for tests that run under Wine: the Win32 side cannot make
// everything that a test needs (a symbolic link, a screenshot), the host system can.
#pragma once

#include <windows.h>

#include <string>

namespace vantro::test_support {

// Starts a program of the host system (Wine runs ELF binaries from CreateProcessW). Its
// handle cannot be waited for, so callers watch for its effects.
inline bool start_host_program(std::wstring command_line) {
  STARTUPINFOW si{sizeof(si)};
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

// The host path of a Windows path, under Wine; empty elsewhere.
inline std::string host_path(const std::wstring& path) {
  using Fn = char*(CDECL*)(const wchar_t*);
  const auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (fn == nullptr) return {};
  char* unix_path = fn(path.c_str());
  if (unix_path == nullptr) return {};
  std::string result(unix_path);
  HeapFree(GetProcessHeap(), 0, unix_path);
  return result;
}

}  // namespace vantro::test_support
