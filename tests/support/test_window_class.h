// A window class that one test registers for its own windows and unregisters when it goes out
// of scope (declare it before the windows, so that they are destroyed first). Class names are
// process-wide and matched without regard to case: a class that one test left registered would
// change the windows of a later test of the same process (after "Progman", a window created
// with the class "progman" is of the class "Progman"), or make its registration fail.
#pragma once

#include <windows.h>

#include <string>

namespace vantro::test_support {

class TestWindowClass {
 public:
  explicit TestWindowClass(std::wstring name, WNDPROC procedure = DefWindowProcW) : name_(std::move(name)) {
    WNDCLASSEXW wc{sizeof(wc)};
    wc.lpfnWndProc = procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name_.c_str();
    registered_ = RegisterClassExW(&wc) != 0;
    error_ = registered_ ? 0 : GetLastError();
  }
  ~TestWindowClass() {
    if (registered_) UnregisterClassW(name_.c_str(), GetModuleHandleW(nullptr));
  }
  TestWindowClass(const TestWindowClass&) = delete;
  TestWindowClass& operator=(const TestWindowClass&) = delete;

  [[nodiscard]] bool registered() const { return registered_; }
  // The system error of a failed registration (1410 when a class of that name, in any case,
  // is still registered in this process).
  [[nodiscard]] DWORD error() const { return error_; }
  [[nodiscard]] const wchar_t* name() const { return name_.c_str(); }

 private:
  std::wstring name_;
  bool registered_ = false;
  DWORD error_ = 0;
};

}  // namespace vantro::test_support
