// The end-to-end suite's eyes and hands on the Windows side of the Wine session: waits for
// windows, reads and closes message boxes, reports the foreground window. One command per
// run, bounded by its time-out; the result is one line on standard output.
//
//   vantro_e2e_probe wait-window CLASS TIMEOUT_MS     found hwnd=0x… unix_ms=N  (rc 1: timeout)
//   vantro_e2e_probe wait-gone CLASS TIMEOUT_MS       gone unix_ms=N
//   vantro_e2e_probe wait-foreground TITLE TIMEOUT_MS foreground hwnd=0x… title=…
//   vantro_e2e_probe foreground                       foreground hwnd=0x… title=…
//   vantro_e2e_probe close-box TITLE TIMEOUT_MS       box text=… (the box is then closed)
//   vantro_e2e_probe activate TITLE TIMEOUT_MS        brings that top-level window forward
//   vantro_e2e_probe close-title TITLE                posts WM_CLOSE to that top-level window
//   vantro_e2e_probe control-rect HWND ID             rect left top right bottom
//   vantro_e2e_probe post-command CLASS ID TIMEOUT_MS posts WM_COMMAND ID to that window (hidden too)
//   vantro_e2e_probe set-text CLASS ID TEXT           sets the text of control ID of that window
//   vantro_e2e_probe control-text CLASS ID            text=… of control ID of that window
//   vantro_e2e_probe click CLASS ID                   clicks button ID of that window; checked=0|1
//   vantro_e2e_probe run COMMAND_LINE TIMEOUT_MS      starts it as the shell starts a Run entry
//                                                     (CreateProcessW, no application name, the
//                                                     standard handles inherited); exit=N
//   vantro_e2e_probe pickable-windows                 window hwnd=0x… title=…  (one per line)
//   vantro_e2e_probe unix-ms                          N
//   vantro_e2e_probe wait-key-up VK TIMEOUT_MS        key up vk=0x… unix_ms=N, once the desktop's
//                                                     key state (GetAsyncKeyState) has it up
//   vantro_e2e_probe post-message CLASS MSG WPARAM LPARAM TIMEOUT_MS
//                                                     posts that message to that window (hidden too)
//   vantro_e2e_probe close-request-with-key CLASS VK  posts WM_CLOSE to vantro's close-request
//                                                     window and WM_KEYDOWN VK to that visible
//                                                     window while their thread is held still
//   vantro_e2e_probe version-info PATH                the exe's version resource (lines below)
//       fixed FileVersion=A.B.C.D ProductVersion=A.B.C.D
//       NAME=TEXT    for FileVersion, ProductVersion, ProductName, FileDescription,
//                    OriginalFilename (NAME missing: no such text)
//
// Only top-level windows count as found: Wine's FindWindowW also finds message-only windows.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

long long unix_ms() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  const unsigned long long ticks =
      (static_cast<unsigned long long>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<long long>(ticks / 10000ULL) - 11644473600000LL;
}

std::string utf8(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                       nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr,
                      nullptr);
  return out;
}

std::wstring window_text(HWND window) {
  wchar_t buffer[1024];
  const int length = GetWindowTextW(window, buffer, 1024);
  return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

bool is_top_level(HWND window) {
  return GetAncestor(window, GA_PARENT) == GetDesktopWindow();
}

// A visible top-level window of the class (and title, when given).
HWND find_top_level(const wchar_t* class_name, const wchar_t* title) {
  for (HWND window = FindWindowExW(nullptr, nullptr, class_name, title); window != nullptr;
       window = FindWindowExW(nullptr, window, class_name, title)) {
    if (is_top_level(window) && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

template <class Condition>
bool wait_until(DWORD timeout_ms, Condition condition) {
  const ULONGLONG deadline = GetTickCount64() + timeout_ms;
  for (;;) {
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    Sleep(1);
  }
}

void print(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string hex(HWND window) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)));
  return buffer;
}

BOOL CALLBACK collect_static_text(HWND child, LPARAM out) {
  wchar_t class_name[64];
  GetClassNameW(child, class_name, 64);
  if (_wcsicmp(class_name, L"Static") == 0) {
    const std::wstring text = window_text(child);
    if (!text.empty()) *reinterpret_cast<std::wstring*>(out) += text;
  }
  return TRUE;
}

std::string one_line(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = '|';
  return text;
}

// The windows a user would pick from, in EnumWindows order: visible, not owned, not tool
// windows, not the shell's, with a title.
BOOL CALLBACK print_pickable(HWND window, LPARAM) {
  if (!IsWindowVisible(window) || GetAncestor(window, GA_ROOTOWNER) != window) return TRUE;
  if ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) != 0) return TRUE;
  wchar_t class_name[256];
  if (GetClassNameW(window, class_name, 256) == 0) class_name[0] = L'\0';
  for (const wchar_t* shell : {L"Shell_TrayWnd", L"Progman", L"WorkerW"})
    if (std::wcscmp(class_name, shell) == 0) return TRUE;
  const std::wstring title = window_text(window);
  if (title.empty()) return TRUE;
  print("window hwnd=" + hex(window) + " title=" + utf8(title));
  return TRUE;
}

std::string four_numbers(DWORD most, DWORD least) {
  return std::to_string(HIWORD(most)) + "." + std::to_string(LOWORD(most)) + "." +
         std::to_string(HIWORD(least)) + "." + std::to_string(LOWORD(least));
}

// The version resource of an executable as Windows reads it: the fixed numbers, then the
// texts of its first translation.
int print_version_info(const wchar_t* path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  std::vector<unsigned char> data(size);
  if (size == 0 || !GetFileVersionInfoW(path, 0, size, data.data())) {
    print("no version resource (error " + std::to_string(GetLastError()) + ")");
    return 1;
  }
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
      length < sizeof *fixed) {
    print("no fixed version numbers");
    return 1;
  }
  print("fixed FileVersion=" + four_numbers(fixed->dwFileVersionMS, fixed->dwFileVersionLS) +
        " ProductVersion=" + four_numbers(fixed->dwProductVersionMS, fixed->dwProductVersionLS));
  struct Translation {
    WORD language;
    WORD code_page;
  };
  Translation* translation = nullptr;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &length) ||
      length < sizeof *translation) {
    print("no translation");
    return 1;
  }
  wchar_t block[64];
  std::swprintf(block, 64, L"\\StringFileInfo\\%04x%04x\\", translation->language, translation->code_page);
  for (const wchar_t* name :
       {L"FileVersion", L"ProductVersion", L"ProductName", L"FileDescription", L"OriginalFilename"}) {
    wchar_t* text = nullptr;
    if (VerQueryValueW(data.data(), (block + std::wstring(name)).c_str(), reinterpret_cast<void**>(&text),
                       &length) &&
        text != nullptr) {
      print(utf8(name) + "=" + utf8(std::wstring(text, wcsnlen(text, length))));
    } else {
      print(utf8(name) + " missing");
    }
  }
  return 0;
}

int usage() {
  std::fputs("usage: vantro_e2e_probe COMMAND ARGS... (see the source)\n", stderr);
  return 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return usage();
  const std::wstring command = argv[1];
  const auto timeout_arg = [&](int index) {
    return static_cast<DWORD>(std::wcstoul(argv[index], nullptr, 10));
  };

  if (command == L"unix-ms") {
    print(std::to_string(unix_ms()));
    return 0;
  }
  if (command == L"version-info" && argc == 3) return print_version_info(argv[2]);
  if (command == L"pickable-windows") {
    EnumWindows(print_pickable, 0);
    return 0;
  }
  if (command == L"wait-window" && argc == 4) {
    print("waiting");
    HWND found = nullptr;
    if (!wait_until(timeout_arg(3), [&] { return (found = find_top_level(argv[2], nullptr)) != nullptr; })) {
      print("timeout waiting for a window of class " + utf8(argv[2]));
      return 1;
    }
    print("found hwnd=" + hex(found) + " unix_ms=" + std::to_string(unix_ms()));
    return 0;
  }
  if (command == L"wait-gone" && argc == 4) {
    if (!wait_until(timeout_arg(3), [&] { return find_top_level(argv[2], nullptr) == nullptr; })) {
      print("timeout waiting for the window of class " + utf8(argv[2]) + " to go");
      return 1;
    }
    print("gone unix_ms=" + std::to_string(unix_ms()));
    return 0;
  }
  if (command == L"wait-key-up" && argc == 4) {
    const int key = static_cast<int>(std::wcstol(argv[2], nullptr, 0));
    char vk[16];
    std::snprintf(vk, sizeof vk, "0x%02x", key);
    if (!wait_until(timeout_arg(3), [&] { return (GetAsyncKeyState(key) & 0x8000) == 0; })) {
      print(std::string("timeout: key vk=") + vk + " still down");
      return 1;
    }
    print(std::string("key up vk=") + vk + " unix_ms=" + std::to_string(unix_ms()));
    return 0;
  }
  if (command == L"foreground" || (command == L"wait-foreground" && argc == 4)) {
    const bool waiting = command == L"wait-foreground";
    HWND foreground = nullptr;
    const bool ok = wait_until(waiting ? timeout_arg(3) : 0, [&] {
      foreground = GetForegroundWindow();
      return !waiting || (foreground != nullptr && window_text(foreground) == argv[2]);
    });
    print(std::string(ok ? "" : "timeout: ") + "foreground hwnd=" + hex(foreground) +
          " title=" + utf8(foreground ? window_text(foreground) : L""));
    return ok ? 0 : 1;
  }
  if (command == L"close-box" && argc == 4) {
    HWND box = nullptr;
    if (!wait_until(timeout_arg(3), [&] { return (box = find_top_level(L"#32770", argv[2])) != nullptr; })) {
      print("timeout waiting for a message box titled " + utf8(argv[2]));
      return 1;
    }
    std::wstring text;
    EnumChildWindows(box, collect_static_text, reinterpret_cast<LPARAM>(&text));
    print("box text=" + one_line(utf8(text)));
    // The OK button ends the box as the user's click would.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!wait_until(5000, [&] { return !IsWindow(box); })) PostMessageW(box, WM_CLOSE, 0, 0);
    return 0;
  }
  if (command == L"activate" && argc == 4) {
    HWND target = nullptr;
    const bool ok = wait_until(timeout_arg(3), [&] {
      if (target == nullptr) target = find_top_level(nullptr, argv[2]);
      if (target == nullptr) return false;
      if (GetForegroundWindow() == target) return true;
      SetForegroundWindow(target);
      return false;
    });
    print(std::string(ok ? "" : "timeout: ") + "activate hwnd=" + hex(target));
    return ok ? 0 : 1;
  }
  if (command == L"close-title" && argc == 3) {
    HWND target = find_top_level(nullptr, argv[2]);
    if (target == nullptr) {
      print("no such window");
      return 1;
    }
    PostMessageW(target, WM_CLOSE, 0, 0);
    print("closed hwnd=" + hex(target));
    return 0;
  }
  if (command == L"control-rect" && argc == 4) {
    HWND parent = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoull(argv[2], nullptr, 16)));
    HWND control = GetDlgItem(parent, static_cast<int>(std::wcstol(argv[3], nullptr, 10)));
    RECT r{};
    if (control == nullptr || !GetWindowRect(control, &r)) {
      print("no such control");
      return 1;
    }
    print("rect " + std::to_string(r.left) + " " + std::to_string(r.top) + " " + std::to_string(r.right) +
          " " + std::to_string(r.bottom));
    return 0;
  }
  if ((command == L"post-command" && argc == 5) || (command == L"post-message" && argc == 7)) {
    const bool command_only = command == L"post-command";
    const auto number = [&](int index) { return std::wcstoull(argv[index], nullptr, 0); };
    const UINT message = command_only ? WM_COMMAND : static_cast<UINT>(number(3));
    const WPARAM wparam = command_only ? MAKEWPARAM(number(3), 0) : static_cast<WPARAM>(number(4));
    const LPARAM lparam = command_only ? 0 : static_cast<LPARAM>(number(5));
    // Hidden windows count here (a menu's owner window is usually not shown); a visible one
    // of the class comes first.
    HWND target = nullptr;
    const bool found = wait_until(timeout_arg(command_only ? 4 : 6), [&] {
      target = find_top_level(argv[2], nullptr);
      for (HWND w = FindWindowExW(nullptr, nullptr, argv[2], nullptr); w != nullptr && target == nullptr;
           w = FindWindowExW(nullptr, w, argv[2], nullptr)) {
        if (is_top_level(w)) target = w;
      }
      return target != nullptr;
    });
    if (!found) {
      print("timeout waiting for a window of class " + utf8(argv[2]));
      return 1;
    }
    PostMessageW(target, message, wparam, lparam);
    print("posted hwnd=" + hex(target));
    return 0;
  }
  if (command == L"close-request-with-key" && argc == 4) {
    // What "vantro --close" posts, and a key press right behind it in the same thread's queue.
    // The thread is held still meanwhile, so that it meets both before it has handled either:
    // otherwise it could take the first message before the second one is posted.
    const HWND close_request = FindWindowW(L"VantroIpcWindowClass_v1", L"Vantro IPC");
    const HWND target = find_top_level(argv[2], nullptr);
    if (close_request == nullptr || target == nullptr) {
      print(close_request == nullptr ? "no close-request window" : "no window of class " + utf8(argv[2]));
      return 1;
    }
    const DWORD thread_id = GetWindowThreadProcessId(target, nullptr);
    if (thread_id != GetWindowThreadProcessId(close_request, nullptr)) {
      print("the close-request window belongs to another thread");
      return 1;
    }
    const HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, thread_id);
    if (thread == nullptr || SuspendThread(thread) == static_cast<DWORD>(-1)) {
      print("cannot hold the thread still: error " + std::to_string(GetLastError()));
      if (thread != nullptr) CloseHandle(thread);
      return 1;
    }
    const UINT key = static_cast<UINT>(std::wcstoul(argv[3], nullptr, 0));
    const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    const bool posted = PostMessageW(close_request, WM_CLOSE, 0, 0) &&
                        PostMessageW(target, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    ResumeThread(thread);
    CloseHandle(thread);
    print(std::string(posted ? "posted" : "post failed:") + " close=" + hex(close_request) +
          " key=" + hex(target));
    return posted ? 0 : 1;
  }
  if ((command == L"set-text" && argc == 5) || (command == L"control-text" && argc == 4)) {
    HWND parent = find_top_level(argv[2], nullptr);
    HWND control = parent ? GetDlgItem(parent, static_cast<int>(std::wcstol(argv[3], nullptr, 10))) : nullptr;
    if (control == nullptr) {
      print("no such control");
      return 1;
    }
    if (command == L"set-text") {
      DWORD_PTR ignored = 0;
      SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[4]), SMTO_ABORTIFHUNG, 5000,
                          &ignored);
    }
    // WM_GETTEXT itself: GetWindowTextW does not ask a control of another process.
    wchar_t buffer[1024] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    print("text=" + utf8(std::wstring(buffer, static_cast<std::size_t>(copied))));
    return 0;
  }
  if (command == L"click" && argc == 4) {
    HWND parent = find_top_level(argv[2], nullptr);
    HWND button = parent ? GetDlgItem(parent, static_cast<int>(std::wcstol(argv[3], nullptr, 10))) : nullptr;
    if (button == nullptr) {
      print("no such control");
      return 1;
    }
    DWORD_PTR checked = 0;
    SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr);
    SendMessageTimeoutW(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &checked);
    print("checked=" + std::to_string(checked));
    return 0;
  }
  if (command == L"run" && argc == 4) {
    std::wstring line = argv[2];
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                        &process)) {
      print("CreateProcessW failed: " + std::to_string(GetLastError()));
      return 1;
    }
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process.hProcess, timeout_arg(3)) == WAIT_OBJECT_0;
    if (ended) GetExitCodeProcess(process.hProcess, &code);
    if (!ended) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    print(ended ? "exit=" + std::to_string(code) : std::string("timeout"));
    return ended ? 0 : 1;
  }
  return usage();
}
