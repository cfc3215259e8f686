// Helpers of the hotkey tests: a message pump with a time-out, plain test windows, and the
// lock that runs hotkey tests one at a time.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <utility>

#include "windows/handle.h"
#include "windows/hotkey_registrar.h"
#include "windows/hotkey_window.h"

namespace vantro::test_support {

inline constexpr std::uint32_t kCtrlShiftSpaceId = 0x0208003E;
inline constexpr std::uint32_t kCtrlAltSpaceId = 0x0009003E;

// Dispatches the thread's messages until `done` holds or the time is up.
inline bool pump_until(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 20)),
                              QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  return true;
}

inline void pump_pending() {
  pump_until([] { return false; }, std::chrono::milliseconds(50));
}

// Empties the process's hotkey channel so that one test's events cannot reach the next.
inline void clear_channel() {
  while (windows::hotkey_events().try_receive()) {
  }
}

// A top-level test window with the default window procedure.
inline windows::UniqueWindow plain_window(DWORD style, RECT rect) {
  constexpr wchar_t kClass[] = L"VantroHotkeyTestWindow";
  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kClass;
  RegisterClassW(&wc);
  return windows::UniqueWindow(CreateWindowExW(0, kClass, L"hotkey test", style, rect.left, rect.top,
                                               rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                               nullptr, wc.hInstance, nullptr));
}

// Hotkeys are global to the desktop: tests that register them run one at a time, also
// when CTest runs several test processes at once.
class SerialHotkeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    lock_.reset(CreateMutexW(nullptr, FALSE, L"VantroHotkeyTestSerial"));
    ASSERT_TRUE(lock_);
    const DWORD waited = WaitForSingleObject(lock_.get(), 120000);
    ASSERT_TRUE(waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) << "another hotkey test kept the lock";
    owned_ = true;
    clear_channel();
  }
  void TearDown() override {
    if (owned_) ReleaseMutex(lock_.get());
  }

 private:
  windows::UniqueHandle lock_;
  bool owned_ = false;
};

inline windows::HotkeyRegistrar make_registrar() {
  Result<windows::HotkeyRegistrar> registrar = windows::HotkeyRegistrar::create();
  EXPECT_TRUE(registrar.has_value()) << (registrar ? "" : registrar.error().alternate());
  return std::move(*registrar);
}

}  // namespace vantro::test_support
