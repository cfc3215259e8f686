// One instance per logon session, and the hidden window through which a later "--close"
// asks the running instance to end.
#pragma once

#include <windows.h>

#include <variant>

#include "core/error.h"
#include "windows/handle.h"

namespace vantro::windows {

inline constexpr wchar_t kSingleInstanceMutexName[] = L"VantroSingleInstanceMutex";
inline constexpr wchar_t kIpcWindowClass[] = L"VantroIpcWindowClass_v1";
inline constexpr wchar_t kIpcWindowTitle[] = L"Vantro IPC";

struct SingleInstance {
  // This process created the mutex and holds it until the handle is closed.
  struct Acquired {
    UniqueHandle mutex;
  };
  // Another process holds it; nothing is held here.
  struct AlreadyRunning {};

  std::variant<Acquired, AlreadyRunning> state;

  [[nodiscard]] bool acquired() const { return std::holds_alternative<Acquired>(state); }
};

// Creates the named mutex (in the caller's session namespace). ERROR_ALREADY_EXISTS means
// another instance runs: the handle is closed again and AlreadyRunning returned.
[[nodiscard]] Result<SingleInstance> acquire_single_instance();

// The close-request window: an invisible top-level window of zero size (not message-only, so
// that FindWindowW finds it on Windows), never shown.
[[nodiscard]] Result<UniqueWindow> create_ipc_window();

// WM_CLOSE logs, ends an open popup menu of the thread and posts WM_QUIT; WM_DESTROY does
// nothing; the rest goes to DefWindowProcW.
LRESULT CALLBACK ipc_wnd_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

// Posts WM_CLOSE to the running instance's close-request window, found by class and title.
// False when there is none. It does not wait for the instance to end.
[[nodiscard]] Result<bool> signal_running_instance();

}  // namespace vantro::windows
