// Starts the sample application (build/windows/tests/support/vantro_sample_app.exe) for a test,
// reads its output lines with time-outs, and closes it when the test is done.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantro::test_support {

class SampleApp {
 public:
  // Starts the application with the given arguments (controls, --title, ...) and waits up to
  // `timeout_ms` for its "ready" line. On failure returns nothing and describes it in `error`.
  static std::optional<SampleApp> start(const std::vector<std::wstring>& arguments, std::string& error,
                                        DWORD timeout_ms = 10000) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE read_end = nullptr;
    HANDLE write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) {
      error = "CreatePipe failed";
      return std::nullopt;
    }
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    std::wstring command_line = quote(program_path());
    for (const std::wstring& argument : arguments) command_line += L" " + quote(argument);
    STARTUPINFOW startup{sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = write_end;
    startup.hStdError = write_end;
    PROCESS_INFORMATION process{};
    const BOOL started = CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(write_end);
    if (!started) {
      error = "CreateProcessW failed for the sample application: " + std::to_string(GetLastError());
      CloseHandle(read_end);
      return std::nullopt;
    }
    CloseHandle(process.hThread);
    SampleApp app(process.hProcess, read_end);
    const std::optional<std::string> ready = app.wait_for_line("ready hwnd=", timeout_ms);
    if (!ready) {
      error = "the sample application did not get ready; its output: " + app.output_;
      return std::nullopt;
    }
    app.window_ = reinterpret_cast<HWND>(static_cast<std::uintptr_t>(
        std::strtoull(ready->c_str() + std::string_view("ready hwnd=").size(), nullptr, 16)));
    return app;
  }

  SampleApp(SampleApp&& other) noexcept
      : process_(std::exchange(other.process_, nullptr)),
        output_pipe_(std::exchange(other.output_pipe_, nullptr)),
        window_(other.window_),
        output_(std::move(other.output_)),
        consumed_(other.consumed_) {}
  SampleApp& operator=(SampleApp&&) = delete;
  SampleApp(const SampleApp&) = delete;
  SampleApp& operator=(const SampleApp&) = delete;

  ~SampleApp() {
    if (process_ != nullptr) {
      if (IsWindow(window_)) PostMessageW(window_, WM_CLOSE, 0, 0);
      if (WaitForSingleObject(process_, 5000) != WAIT_OBJECT_0) TerminateProcess(process_, 1);
      CloseHandle(process_);
    }
    if (output_pipe_ != nullptr) CloseHandle(output_pipe_);
  }

  // The application's top-level window.
  [[nodiscard]] HWND window() const { return window_; }
  [[nodiscard]] HANDLE process() const { return process_; }

  // The control with that id anywhere below the top-level window, or nullptr.
  [[nodiscard]] HWND control(int id) const {
    std::pair<int, HWND> search{id, nullptr};
    EnumChildWindows(
        window_,
        [](HWND child, LPARAM param) -> BOOL {
          auto* wanted = reinterpret_cast<std::pair<int, HWND>*>(param);
          if (GetDlgCtrlID(child) != wanted->first) return TRUE;
          wanted->second = child;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
  }

  // The next output line, after those returned before, that begins with `prefix`; waits at
  // most `timeout_ms`. Lines without the prefix that come first are skipped.
  std::optional<std::string> wait_for_line(std::string_view prefix, DWORD timeout_ms) {
    const ULONGLONG deadline = GetTickCount64() + timeout_ms;
    while (true) {
      while (true) {
        const std::size_t end = output_.find('\n', consumed_);
        if (end == std::string::npos) break;
        std::string line = output_.substr(consumed_, end - consumed_);
        consumed_ = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.starts_with(prefix)) return line;
      }
      if (GetTickCount64() >= deadline) return std::nullopt;
      if (!read_available()) Sleep(10);
    }
  }

  // Every line the application has written so far (for failure messages).
  [[nodiscard]] std::string output() {
    read_available();
    return output_;
  }

  // Whether any line beginning with `prefix` arrives within `timeout_ms`.
  bool sees(std::string_view prefix, DWORD timeout_ms) {
    return wait_for_line(prefix, timeout_ms).has_value();
  }

 private:
  SampleApp(HANDLE process, HANDLE output_pipe) : process_(process), output_pipe_(output_pipe) {}

  static std::wstring program_path() {
    std::wstring path(MAX_PATH, L'\0');
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    path.resize(length);
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + L"tests\\support\\vantro_sample_app.exe";
  }

  static std::wstring quote(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos) return argument;
    std::wstring quoted = L"\"";
    for (wchar_t c : argument) {
      if (c == L'"') quoted += L'\\';
      quoted += c;
    }
    return quoted + L"\"";
  }

  // Appends what the pipe holds now; false when nothing was there.
  bool read_available() {
    DWORD available = 0;
    if (!PeekNamedPipe(output_pipe_, nullptr, 0, nullptr, &available, nullptr) || available == 0)
      return false;
    std::string buffer(available, '\0');
    DWORD got = 0;
    if (!ReadFile(output_pipe_, buffer.data(), available, &got, nullptr)) return false;
    output_.append(buffer.data(), got);
    return got > 0;
  }

  HANDLE process_ = nullptr;
  HANDLE output_pipe_ = nullptr;
  HWND window_ = nullptr;
  std::string output_;
  std::size_t consumed_ = 0;
};

}  // namespace vantro::test_support
