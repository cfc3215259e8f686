#include "windows/hotkey_window.h"

#include <atomic>
#include <mutex>
#include <new>
#include <unordered_set>

#include <fmt/format.h>

#include "hotkey/chord.h"
#include "windows/win_error.h"

namespace vantro::windows {
namespace {

constexpr DWORD kHotkeyWindowExStyle =
    WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW;
constexpr SIZE_T kPollerStackBytes = 2 * 1024 * 1024;

std::atomic<DWORD> g_last_poller_thread_id{0};

// The ids whose key is down: a poller waits for their release. Wine ignores MOD_NOREPEAT and
// turns a held chord into a WM_HOTKEY per key repeat; a press of an id that is still down is
// such a repeat and is dropped, so one press stays one event (and one poller) as on Windows.
class HeldKeys {
 public:
  // False when the id is held already.
  bool press(std::uint32_t id) {
    const std::lock_guard lock(mutex_);
    return held_.insert(id).second;
  }
  void release(std::uint32_t id) {
    const std::lock_guard lock(mutex_);
    held_.erase(id);
  }

 private:
  std::mutex mutex_;
  std::unordered_set<std::uint32_t> held_;
};

HeldKeys& held_keys() {
  static HeldKeys keys;
  return keys;
}

struct PollerArgs {
  std::uint32_t id;
  int virtual_key;
};

// Waits without spinning until the key is up, then reports the release.
DWORD WINAPI release_poller(void* param) noexcept {
  const PollerArgs args = *static_cast<PollerArgs*>(param);
  delete static_cast<PollerArgs*>(param);
  while (GetAsyncKeyState(args.virtual_key) != 0) Sleep(kReleasePollMilliseconds);
  held_keys().release(args.id);
  hotkey_events().send({args.id, HotkeyState::Released});
  return 0;
}

// Without a poller nobody would see the key go up, so the id is not marked as held then.
void start_release_poller(std::uint32_t id, int virtual_key) noexcept {
  auto* args = new (std::nothrow) PollerArgs{id, virtual_key};
  if (args == nullptr) {
    held_keys().release(id);
    return;
  }
  DWORD thread_id = 0;
  HANDLE thread = CreateThread(nullptr, kPollerStackBytes, release_poller, args,
                               STACK_SIZE_PARAM_IS_A_RESERVATION, &thread_id);
  if (thread == nullptr) {
    delete args;
    held_keys().release(id);
    return;
  }
  g_last_poller_thread_id.store(thread_id);
  CloseHandle(thread);
}

LRESULT CALLBACK hotkey_window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_HOTKEY) {
    const auto id = static_cast<std::uint32_t>(wp);
    if (held_keys().press(id)) {
      hotkey_events().send({id, HotkeyState::Pressed});
      start_release_poller(id, HIWORD(lp));
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

void HotkeyEventChannel::send(HotkeyEvent event) {
  const std::lock_guard lock(mutex_);
  events_.push_back(event);
}

std::optional<HotkeyEvent> HotkeyEventChannel::try_receive() {
  const std::lock_guard lock(mutex_);
  if (events_.empty()) return std::nullopt;
  const HotkeyEvent event = events_.front();
  events_.pop_front();
  return event;
}

HotkeyEventChannel& hotkey_events() {
  static HotkeyEventChannel channel;
  return channel;
}

Result<HotkeyWindow> HotkeyWindow::create() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc{};
  wc.lpfnWndProc = hotkey_window_proc;
  wc.hInstance = instance;
  wc.lpszClassName = kHotkeyWindowClass;
  RegisterClassW(&wc);  // fails harmlessly when the class exists already
  HWND hwnd = CreateWindowExW(kHotkeyWindowExStyle, kHotkeyWindowClass, L"", 0, CW_USEDEFAULT, 0,
                              CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) return fail(last_error());
  return HotkeyWindow(hwnd);
}

Result<void> HotkeyWindow::register_hotkey(const hotkey::HotKey& hotkey) {
  const std::optional<std::uint16_t> vk = hotkey::virtual_key(hotkey.key);
  if (!vk) return fail(fmt::format("no virtual key for {}", hotkey::debug_text(hotkey)));
  if (RegisterHotKey(window_.get(), static_cast<int>(hotkey.id), hotkey::register_flags(hotkey.mods), *vk))
    return {};
  if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED) return fail(hotkey::already_registered_text(hotkey));
  return fail(last_error());
}

Result<void> HotkeyWindow::unregister_hotkey(const hotkey::HotKey& hotkey) {
  if (UnregisterHotKey(window_.get(), static_cast<int>(hotkey.id))) return {};
  return fail(hotkey::unregister_failed_text(hotkey));
}

DWORD last_release_poller_thread_id() {
  return g_last_poller_thread_id.load();
}

}  // namespace vantro::windows
