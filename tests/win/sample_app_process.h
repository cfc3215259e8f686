// Starts the sample target application (tests/support/sample_app) and reads its output lines
// with bounded waits. Used by the Win32 tests that need a foreground window of another
// process.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "windows/handle.h"

namespace vantro::test_support {

// The directory of the running test program.
inline std::wstring test_program_dir() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, length);
  return dir.substr(0, dir.find_last_of(L"\\/"));
}

// build/windows/tests/support/<file>, next to the test program's build/windows.
inline std::wstring support_file(std::wstring_view file) {
  return test_program_dir() + L"\\tests\\support\\" + std::wstring(file);
}

// The control with that id anywhere below the window (GetDlgItem looks at direct children
// only); nullptr when there is none.
inline HWND find_control(HWND window, int id) {
  std::pair<int, HWND> search{id, nullptr};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        auto* wanted = reinterpret_cast<std::pair<int, HWND>*>(param);
        if (GetDlgCtrlID(child) != wanted->first) return TRUE;
        wanted->second = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

class SampleAppProcess {
 public:
  // Starts the application with the given arguments; nothing when it cannot be started or
  // does not report its window in time.
  static std::optional<SampleAppProcess> start(const std::wstring& arguments,
                                               std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    return start_program(support_file(L"vantro_sample_app.exe"), arguments, timeout);
  }

  static std::optional<SampleAppProcess> start_program(const std::wstring& program,
                                                       const std::wstring& arguments,
                                                       std::chrono::milliseconds timeout) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return std::nullopt;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    SampleAppProcess app;
    app.output_ = windows::UniqueHandle(read_end);
    windows::UniqueHandle child_output(write_end);

    STARTUPINFOW startup{sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::wstring command = L"\"" + program + L"\" " + arguments;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info)) {
      std::fprintf(stderr, "CreateProcessW of the sample application failed: %lu\n",
                   static_cast<unsigned long>(GetLastError()));
      return std::nullopt;
    }
    CloseHandle(info.hThread);
    app.process_ = windows::UniqueHandle(info.hProcess);
    child_output.reset();

    const auto line = app.wait_for_line("ready hwnd=", timeout);
    if (!line) {
      // Say why on standard error, so that a failed start can be told apart in the test log.
      DWORD exit_code = STILL_ACTIVE;
      GetExitCodeProcess(app.process_.get(), &exit_code);
      std::fprintf(stderr, "sample application did not get ready (exit code %lu); its output: %s\n",
                   static_cast<unsigned long>(exit_code), app.buffer_.c_str());
      return std::nullopt;
    }
    app.window_ =
        reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::stoull(line->substr(11), nullptr, 16)));
    return app;
  }

  SampleAppProcess(SampleAppProcess&&) noexcept = default;
  SampleAppProcess& operator=(SampleAppProcess&&) noexcept = default;
  ~SampleAppProcess() { stop(); }

  [[nodiscard]] HWND window() const { return window_; }
  [[nodiscard]] HWND control(int id) const { return GetDlgItem(window_, id); }
  [[nodiscard]] DWORD process_id() const { return GetProcessId(process_.get()); }

  // Brings the window to the foreground and waits until it is there.
  [[nodiscard]] bool bring_to_foreground(std::chrono::milliseconds timeout = std::chrono::seconds(5)) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      if (GetForegroundWindow() == window_) return true;
      SetForegroundWindow(window_);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return GetForegroundWindow() == window_;
  }

  // The next output line that begins with `prefix`, waiting at most `timeout`.
  [[nodiscard]] std::optional<std::string> wait_for_line(std::string_view prefix,
                                                         std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
      for (std::size_t end; (end = buffer_.find('\n')) != std::string::npos;) {
        std::string line = buffer_.substr(0, end);
        buffer_.erase(0, end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with(prefix)) return line;
      }
      if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
      DWORD available = 0;
      if (!PeekNamedPipe(output_.get(), nullptr, 0, nullptr, &available, nullptr)) return std::nullopt;
      if (available == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        continue;
      }
      char chunk[512];
      DWORD read = 0;
      if (!ReadFile(output_.get(), chunk, std::min<DWORD>(available, sizeof chunk), &read, nullptr))
        return std::nullopt;
      buffer_.append(chunk, read);
    }
  }

  // Closes the window and waits for the process; terminates it when it does not end.
  void stop() {
    if (!process_) return;
    if (window_ != nullptr) PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.get(), 5000) != WAIT_OBJECT_0) TerminateProcess(process_.get(), 1);
    process_.reset();
    window_ = nullptr;
  }

 private:
  SampleAppProcess() = default;

  windows::UniqueHandle process_;
  windows::UniqueHandle output_;
  HWND window_ = nullptr;
  std::string buffer_;
};

}  // namespace vantro::test_support
