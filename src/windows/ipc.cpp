#include "windows/ipc.h"

#include "logging/log.h"
#include "windows/hwnd_text.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

constexpr std::string_view kTarget = "vantro::windows::ipc";

}  // namespace

Result<SingleInstance> acquire_single_instance() {
  const HANDLE mutex = CreateMutexW(nullptr, TRUE, kSingleInstanceMutexName);
  const DWORD code = GetLastError();
  if (mutex == nullptr || mutex == INVALID_HANDLE_VALUE) {
    return fail(hresult_error(HRESULT_FROM_WIN32(code)).context("CreateMutexW for single-instance guard"));
  }
  if (code == ERROR_ALREADY_EXISTS) {
    CloseHandle(mutex);
    return SingleInstance{SingleInstance::AlreadyRunning{}};
  }
  return SingleInstance{SingleInstance::Acquired{UniqueHandle(mutex)}};
}

LRESULT CALLBACK ipc_wnd_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
  switch (message) {
    case WM_CLOSE:
      VANTRO_LOG_MSG(log::Level::Info, kTarget, "IPC: WM_CLOSE received \u2014 shutting down");
      // An open popup menu (the tray's) runs a modal loop of its own that may take the quit
      // message out of the queue and drop it (Wine's does): the menu is ended first, so that
      // the quit reaches the loop that is waiting for it. Without a menu this does nothing.
      (void)EndMenu();
      // The window stays: the main function destroys it after its loop has ended.
      PostQuitMessage(0);
      return 0;
    case WM_DESTROY:
      return 0;
    default:
      return DefWindowProcW(hwnd, message, wparam, lparam);
  }
}

Result<UniqueWindow> create_ipc_window() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  if (instance == nullptr) return fail(last_error("GetModuleHandleW for IPC window"));

  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = ipc_wnd_proc;
  window_class.hInstance = instance;
  window_class.lpszClassName = kIpcWindowClass;
  // A second registration fails harmlessly; a missing class makes the creation below fail.
  (void)RegisterClassExW(&window_class);

  const HWND hwnd = CreateWindowExW(0, kIpcWindowClass, kIpcWindowTitle, WS_OVERLAPPED, CW_USEDEFAULT,
                                    CW_USEDEFAULT, 0, 0, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) return fail(last_error("CreateWindowExW for IPC window"));
  VANTRO_LOG(log::Level::Debug, kTarget, "IPC window created", log::display("hwnd", hwnd_text(hwnd)));
  return UniqueWindow(hwnd);
}

Result<bool> signal_running_instance() {
  const HWND hwnd = FindWindowW(kIpcWindowClass, kIpcWindowTitle);
  if (hwnd == nullptr) return false;
  if (!PostMessageW(hwnd, WM_CLOSE, 0, 0)) {
    return fail(last_error("PostMessageW(WM_CLOSE) to running vantro instance"));
  }
  return true;
}

}  // namespace vantro::windows
