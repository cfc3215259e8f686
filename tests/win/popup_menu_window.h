// Finds the popup menu a thread has open, for the tests that drive the tray menu.
#pragma once

#include <windows.h>

#include <string_view>

namespace vantro::test_support {

// The visible popup-menu window ("#32768") of that thread, or null. Only the thread's own
// windows count: the shell has menus of its own.
inline HWND open_popup_menu(DWORD thread_id) {
  HWND found = nullptr;
  EnumThreadWindows(
      thread_id,
      [](HWND hwnd, LPARAM out) -> BOOL {
        wchar_t name[16] = {};
        GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
        if (std::wstring_view(name) != L"#32768" || !IsWindowVisible(hwnd)) return TRUE;
        *reinterpret_cast<HWND*>(out) = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// Presses the keys in an open menu, each a key-down and a key-up.
inline void press_in_menu(HWND menu, std::initializer_list<WPARAM> keys) {
  for (const WPARAM key : keys) {
    PostMessageW(menu, WM_KEYDOWN, key, 0);
    PostMessageW(menu, WM_KEYUP, key, 0xC0000000);
  }
}

}  // namespace vantro::test_support
