// Serialises the Win32 tests that need a window of their own in the foreground: CTest runs
// several test processes at once, and only one window can have the foreground. Hold one for
// the whole test; it waits for the other holders (bounded) and releases on destruction.
#pragma once

#include <windows.h>

namespace vantro::test_support {

class ForegroundLock {
 public:
  explicit ForegroundLock(DWORD timeout_ms = 120000)
      : mutex_(CreateMutexW(nullptr, FALSE, L"VantroTestForegroundLock")) {
    if (mutex_ == nullptr) return;
    const DWORD wait = WaitForSingleObject(mutex_, timeout_ms);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;  // an abandoned lock is ours now
  }
  ~ForegroundLock() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_ != nullptr) CloseHandle(mutex_);
  }
  ForegroundLock(const ForegroundLock&) = delete;
  ForegroundLock& operator=(const ForegroundLock&) = delete;

  [[nodiscard]] bool held() const { return held_; }

 private:
  HANDLE mutex_;
  bool held_ = false;
};

}  // namespace vantro::test_support
