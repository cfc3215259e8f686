// Whether the test runs under Wine rather than on Windows.
#pragma once

#include <windows.h>

namespace vantro::test_support {

inline bool running_under_wine() {
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace vantro::test_support
