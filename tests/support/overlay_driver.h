// Drives an open overlay from inside its own nested message loop: a thread timer finds this
// thread's overlay window and runs the steps one after another. A deadline closes the overlay,
// so a test never waits forever.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "windows/overlay_window.h"

namespace vantro::test_support {

// The overlay window of the calling thread, or null.
inline HWND find_own_overlay() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM out) -> BOOL {
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (std::wstring_view(name) != windows::kOverlayClassName) return TRUE;
        *reinterpret_cast<HWND*>(out) = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

class OverlayDriver {
 public:
  // Called on each tick while the overlay is open until it returns true; then the next step.
  using Step = std::function<bool(HWND overlay)>;

  explicit OverlayDriver(std::vector<Step> steps, DWORD timeout_ms = 10000)
      : steps_(std::move(steps)), deadline_(Clock::now() + std::chrono::milliseconds(timeout_ms)) {
    active_ = this;
    timer_ = SetTimer(nullptr, 0, 20, &OverlayDriver::tick);
    hook_ = SetWindowsHookExW(WH_GETMESSAGE, &OverlayDriver::on_message, nullptr, GetCurrentThreadId());
  }
  ~OverlayDriver() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    KillTimer(nullptr, timer_);
    active_ = nullptr;
  }
  OverlayDriver(const OverlayDriver&) = delete;
  OverlayDriver& operator=(const OverlayDriver&) = delete;

  [[nodiscard]] bool timed_out() const { return timed_out_; }
  // For failure messages: how far the steps got.
  [[nodiscard]] std::string progress() const {
    return "step " + std::to_string(next_) + " of " + std::to_string(steps_.size()) + " after " +
           std::to_string(ticks_) + " ticks with the overlay open; keys seen:" + keys_seen_;
  }
  [[nodiscard]] bool finished() const { return next_ == steps_.size(); }
  // The overlay window seen last (it may be gone by now).
  [[nodiscard]] HWND overlay() const { return overlay_; }

 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    OverlayDriver* self = active_;
    if (self == nullptr) return;
    const HWND overlay = find_own_overlay();
    if (overlay == nullptr) return;
    self->overlay_ = overlay;
    ++self->ticks_;
    if (Clock::now() > self->deadline_) {
      self->timed_out_ = true;
      DestroyWindow(overlay);
      return;
    }
    if (self->next_ < self->steps_.size() && self->steps_[self->next_](overlay)) ++self->next_;
  }

  using Clock = std::chrono::steady_clock;
  // Notes every key message the thread takes from its queue, for the failure message.
  static LRESULT CALLBACK on_message(int code, WPARAM wparam, LPARAM lparam) {
    const auto* msg = reinterpret_cast<const MSG*>(lparam);
    if (code == HC_ACTION && wparam == PM_REMOVE && active_ != nullptr &&
        (msg->message == WM_KEYDOWN || msg->message == WM_KEYUP || msg->message == WM_SYSKEYDOWN)) {
      active_->keys_seen_ += (msg->message == WM_KEYUP ? " up:" : " down:") + std::to_string(msg->wParam);
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
  }

  static inline OverlayDriver* active_ = nullptr;
  HHOOK hook_ = nullptr;
  std::string keys_seen_;
  std::vector<Step> steps_;
  std::size_t next_ = 0;
  std::size_t ticks_ = 0;
  Clock::time_point deadline_;
  UINT_PTR timer_ = 0;
  HWND overlay_ = nullptr;
  bool timed_out_ = false;
};

// Posts key presses (virtual-key codes) to the overlay, as the system would queue them.
inline OverlayDriver::Step post_keys(std::vector<UINT> keys) {
  return [keys = std::move(keys)](HWND overlay) {
    for (const UINT key : keys) {
      const UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
      PostMessageW(overlay, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scan << 16)));
    }
    return true;
  };
}

// Paints the overlay now, so that a step after it sees the badges drawn.
inline OverlayDriver::Step paint_now() {
  return [](HWND overlay) {
    UpdateWindow(overlay);
    return true;
  };
}

// The number of WM_QUIT messages waiting for this thread (taken out of the queue) and the
// exit code of the last one.
inline std::pair<int, WPARAM> take_quit_messages() {
  int count = 0;
  WPARAM code = 0;
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    ++count;
    code = msg.wParam;
  }
  return {count, code};
}

}  // namespace vantro::test_support
