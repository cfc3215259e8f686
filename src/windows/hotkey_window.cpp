#include "windows/hotkey_window.h"

#include <atomic>
#include <mutex>
#include <new>
#include <unordered_set>
#include <vector>

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
  HANDLE stop;  // owned by the window's pollers, which outlive the thread
};

// Waits without spinning until the key is up, then reports the release; ends early, without
// a release, once the pollers are stopped.
DWORD WINAPI release_poller(void* param) noexcept {
  const PollerArgs args = *static_cast<PollerArgs*>(param);
  delete static_cast<PollerArgs*>(param);
  bool released = true;
  while (GetAsyncKeyState(args.virtual_key) != 0) {
    if (WaitForSingleObject(args.stop, kReleasePollMilliseconds) != WAIT_TIMEOUT) {
      released = false;
      break;
    }
  }
  held_keys().release(args.id);
  if (released) hotkey_events().send({args.id, HotkeyState::Released});
  return 0;
}

// The pollers started from one hidden window. Destroying it stops those still running and
// waits for each to end, so that none outlives the window's owner (nor runs while the
// process's static objects are destroyed at exit).
class ReleasePollers {
 public:
  ReleasePollers() : stop_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~ReleasePollers() {
    if (stop_) SetEvent(stop_.get());
    for (const UniqueHandle& thread : threads_) WaitForSingleObject(thread.get(), INFINITE);
  }
  ReleasePollers(const ReleasePollers&) = delete;
  ReleasePollers& operator=(const ReleasePollers&) = delete;

  // Without a poller nobody would see the key go up, so the id is not marked as held then.
  void start(std::uint32_t id, int virtual_key) noexcept {
    forget_finished();
    auto* args = stop_ && make_room() ? new (std::nothrow) PollerArgs{id, virtual_key, stop_.get()} : nullptr;
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
    threads_.emplace_back(thread);  // room was made above
    g_last_poller_thread_id.store(thread_id);
  }

 private:
  void forget_finished() noexcept {
    std::erase_if(threads_, [](const UniqueHandle& thread) {
      return WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
    });
  }
  bool make_room() noexcept {
    try {
      threads_.reserve(threads_.size() + 1);
      return true;
    } catch (const std::bad_alloc&) {
      return false;
    }
  }

  UniqueHandle stop_;  // manual reset: once set, every poller sees it
  std::vector<UniqueHandle> threads_;
};

LRESULT CALLBACK hotkey_window_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) noexcept {
  if (msg == WM_HOTKEY) {
    const auto id = static_cast<std::uint32_t>(wp);
    auto* pollers = reinterpret_cast<ReleasePollers*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (pollers != nullptr && held_keys().press(id)) {
      hotkey_events().send({id, HotkeyState::Pressed});
      pollers->start(id, HIWORD(lp));
    }
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

struct HotkeyWindow::State {
  ReleasePollers pollers;
  UniqueWindow window;  // destroyed first: no press can start a poller once they are stopped
};

HotkeyWindow::HotkeyWindow() = default;
HotkeyWindow::HotkeyWindow(std::unique_ptr<State> state) : state_(std::move(state)) {}
HotkeyWindow::~HotkeyWindow() = default;
HotkeyWindow::HotkeyWindow(HotkeyWindow&&) noexcept = default;
HotkeyWindow& HotkeyWindow::operator=(HotkeyWindow&&) noexcept = default;

HWND HotkeyWindow::hwnd() const {
  return state_ ? state_->window.get() : nullptr;
}

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
  auto state = std::make_unique<State>();
  state->window.reset(hwnd);
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state->pollers));
  return HotkeyWindow(std::move(state));
}

Result<void> HotkeyWindow::register_hotkey(const hotkey::HotKey& hotkey) {
  const std::optional<std::uint16_t> vk = hotkey::virtual_key(hotkey.key);
  if (!vk) return fail(fmt::format("no virtual key for {}", hotkey::debug_text(hotkey)));
  if (RegisterHotKey(hwnd(), static_cast<int>(hotkey.id), hotkey::register_flags(hotkey.mods), *vk))
    return {};
  if (GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED) return fail(hotkey::already_registered_text(hotkey));
  return fail(last_error());
}

Result<void> HotkeyWindow::unregister_hotkey(const hotkey::HotKey& hotkey) {
  if (UnregisterHotKey(hwnd(), static_cast<int>(hotkey.id))) return {};
  return fail(hotkey::unregister_failed_text(hotkey));
}

DWORD last_release_poller_thread_id() {
  return g_last_poller_thread_id.load();
}

}  // namespace vantro::windows
