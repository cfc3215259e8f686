// The process's global hotkeys on the Windows side: a hidden window that owns the
// registrations, and the channel into which its window procedure and the key-release
// pollers send pressed and released events.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>

#include "core/error.h"
#include "hotkey/registration.h"
#include "windows/handle.h"

namespace vantro::windows {

inline constexpr wchar_t kHotkeyWindowClass[] = L"global_hotkey_app";

enum class HotkeyState : std::uint8_t { Pressed = 0, Released = 1 };

struct HotkeyEvent {
  std::uint32_t id;
  HotkeyState state;
  friend bool operator==(const HotkeyEvent&, const HotkeyEvent&) = default;
};

// Unbounded, many senders, one receiver; never blocks beyond its lock.
class HotkeyEventChannel {
 public:
  void send(HotkeyEvent event);
  [[nodiscard]] std::optional<HotkeyEvent> try_receive();

 private:
  std::mutex mutex_;
  std::deque<HotkeyEvent> events_;
};

// The one channel of the process, created on first use.
[[nodiscard]] HotkeyEventChannel& hotkey_events();

// The hidden window of the calling thread on which hotkeys are registered. WM_HOTKEY sends a
// Pressed event and starts a poller thread that sends Released once the key is up. The
// pollers belong to the window's owner: destroying it destroys the window, then stops every
// poller still waiting for its key and waits until each has ended.
class HotkeyWindow {
 public:
  // No window; what a moved-from or released owner holds.
  HotkeyWindow();
  ~HotkeyWindow();
  HotkeyWindow(HotkeyWindow&&) noexcept;
  HotkeyWindow& operator=(HotkeyWindow&&) noexcept;
  HotkeyWindow(const HotkeyWindow&) = delete;
  HotkeyWindow& operator=(const HotkeyWindow&) = delete;

  // Fails with the system error when the window cannot be created.
  [[nodiscard]] static Result<HotkeyWindow> create();

  // RegisterHotKey with MOD_NOREPEAT. A chord held by someone else fails with the text
  // "HotKey already registered: ..."; any other failure carries the system error.
  [[nodiscard]] Result<void> register_hotkey(const hotkey::HotKey& hotkey);
  // Fails with the text "Failed to unregister hotkey: ...".
  [[nodiscard]] Result<void> unregister_hotkey(const hotkey::HotKey& hotkey);

  [[nodiscard]] HWND hwnd() const;
  [[nodiscard]] explicit operator bool() const { return static_cast<bool>(state_); }

 private:
  struct State;  // the window and its pollers, at an address the window procedure can keep
  explicit HotkeyWindow(std::unique_ptr<State> state);
  std::unique_ptr<State> state_;
};

// How often a key-release poller looks at the key.
inline constexpr DWORD kReleasePollMilliseconds = 10;

// The thread id of the poller started most recently, 0 before the first; lets tests measure
// a poller while its key is held.
[[nodiscard]] DWORD last_release_poller_thread_id();

}  // namespace vantro::windows
