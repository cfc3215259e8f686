// Serialises the Win32 tests that need a window of their own in the foreground: CTest runs
// several test processes at once, and only one window can have the foreground. Hold one for
// the whole test; it waits for the other holders (bounded) and releases on destruction.
#pragma once

#include <windows.h>

namespace vantro::test_support {

// Serialises the test processes that take one named lock; see ForegroundLock.
class NamedTestLock {
 public:
  explicit NamedTestLock(const wchar_t* name, DWORD timeout_ms = 120000)
      : mutex_(CreateMutexW(nullptr, FALSE, name)) {
    if (mutex_ == nullptr) return;
    const DWORD wait = WaitForSingleObject(mutex_, timeout_ms);
    held_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;  // an abandoned lock is ours now
  }
  ~NamedTestLock() {
    if (held_) ReleaseMutex(mutex_);
    if (mutex_ != nullptr) CloseHandle(mutex_);
  }
  NamedTestLock(const NamedTestLock&) = delete;
  NamedTestLock& operator=(const NamedTestLock&) = delete;

  [[nodiscard]] bool held() const { return held_; }

 private:
  HANDLE mutex_;
  bool held_ = false;
};

class ForegroundLock : public NamedTestLock {
 public:
  explicit ForegroundLock(DWORD timeout_ms = 120000)
      : NamedTestLock(L"VantroTestForegroundLock", timeout_ms) {}
};

// For the tests that take the single-instance mutex or create a close-request window, which
// are visible to every test process of the session.
class InstanceLock : public NamedTestLock {
 public:
  explicit InstanceLock(DWORD timeout_ms = 120000) : NamedTestLock(L"VantroTestInstanceLock", timeout_ms) {}
};

}  // namespace vantro::test_support
