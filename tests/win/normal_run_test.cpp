// The normal run in this test process: start-up order, the second-instance path, the error
// exit's releases, and (with a UI Automation server in the prefix) a run ended by "--close"
// with its shutdown order, and a run ended by a tray Quit chosen while an action's box is open.
#include "app/normal_run.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

#include <gtest/gtest.h>

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "support/foreground_lock.h"
#include "support/log_capture.h"
#include "support/scoped_env_var.h"
#include "support/uia_standin/standin_api.h"
#include "windows/hotkey_registrar.h"
#include "windows/hotkey_window.h"
#include "windows/ipc.h"
#include "windows/notification.h"
#include "windows/wide.h"

namespace vantro::app {
namespace {

using test_support::CapturedEvent;

// Redirects one standard handle into a pipe for the scope and gives back what was written.
class CapturedStream {
 public:
  explicit CapturedStream(DWORD which) : which_(which), previous_(GetStdHandle(which)) {
    SECURITY_ATTRIBUTES sa{sizeof(sa), nullptr, FALSE};
    EXPECT_TRUE(CreatePipe(&read_, &write_, &sa, 1 << 16));
    SetStdHandle(which_, write_);
  }
  ~CapturedStream() {
    restore();
    CloseHandle(read_);
  }
  std::string text() {
    restore();
    std::string out;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(read_, buffer, sizeof(buffer), &got, nullptr) && got > 0) out.append(buffer, got);
    return out;
  }

 private:
  void restore() {
    if (write_ == nullptr) return;
    SetStdHandle(which_, previous_);
    CloseHandle(write_);
    write_ = nullptr;
  }
  DWORD which_;
  HANDLE previous_;
  HANDLE read_ = nullptr;
  HANDLE write_ = nullptr;
};

int WINAPI no_box(HWND, LPCWSTR, LPCWSTR, UINT) {
  return IDOK;
}

using namespace std::chrono_literals;

// A top-level window of that thread with that class (a visible one with `visible`), or null.
HWND thread_window(DWORD thread, std::wstring_view class_name, bool visible = false) {
  struct Search {
    std::wstring_view class_name;
    bool visible;
    HWND found;
  } search{class_name, visible, nullptr};
  EnumThreadWindows(
      thread,
      [](HWND hwnd, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, static_cast<int>(std::size(name)));
        if (std::wstring_view(name) != s.class_name || (s.visible && !IsWindowVisible(hwnd))) return TRUE;
        s.found = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Dispatches this thread's messages until `ready` holds or the time runs out.
bool pump_until(std::chrono::milliseconds timeout, const std::function<bool()>& ready) {
  const auto until = std::chrono::steady_clock::now() + timeout;
  while (!ready()) {
    if (std::chrono::steady_clock::now() > until) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  return true;
}

// The command number of the menu item whose label (the text before a tab) is `label`; 0 when
// there is none.
UINT menu_command(HMENU menu, std::wstring_view label) {
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(i), text, static_cast<int>(std::size(text)), MF_BYPOSITION);
    const std::wstring_view item(text);
    if (item.substr(0, item.find(L'\t')) == label) return GetMenuItemID(menu, i);
  }
  return 0;
}

// A configuration file of the test's own under a fresh APPDATA, with chords no other test
// uses; removed at the end.
class OwnConfig {
 public:
  OwnConfig() {
    wchar_t temp[MAX_PATH]{};
    GetTempPathW(MAX_PATH, temp);
    app_data_ = std::wstring(temp) + L"vantro-normal-run-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(app_data_.c_str(), nullptr);
    CreateDirectoryW(config_dir().c_str(), nullptr);
    HANDLE f = CreateFileW(config_file().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    written_ = f != INVALID_HANDLE_VALUE;
    if (!written_) return;
    const std::string_view toml =
        "[hotkeys]\npick_element = \"Ctrl+Alt+Shift+F7\"\npick_window = \"Ctrl+Alt+Shift+F8\"\n";
    DWORD written = 0;
    WriteFile(f, toml.data(), static_cast<DWORD>(toml.size()), &written, nullptr);
    CloseHandle(f);
    app_data_var_.emplace("APPDATA", windows::narrow(app_data_));
  }
  ~OwnConfig() {
    app_data_var_.reset();
    DeleteFileW(config_file().c_str());
    RemoveDirectoryW(config_dir().c_str());
    RemoveDirectoryW(app_data_.c_str());
  }
  OwnConfig(const OwnConfig&) = delete;
  OwnConfig& operator=(const OwnConfig&) = delete;

  [[nodiscard]] bool written() const { return written_; }

 private:
  [[nodiscard]] std::wstring config_dir() const { return app_data_ + L"\\vantro"; }
  [[nodiscard]] std::wstring config_file() const { return config_dir() + L"\\config.toml"; }

  std::wstring app_data_;
  bool written_ = false;
  std::optional<test_support::ScopedEnvVar> app_data_var_;
};

// Keeps events like LogCapture and, at the error event, looks at what is still held.
class Recorder final : public log::Subscriber {
 public:
  std::optional<log::Level> max_level() const override { return log::Level::Trace; }
  bool enabled(log::Level, std::string_view) const override { return true; }
  void record(const log::Event& event) override {
    CapturedEvent captured{event.level, std::string(event.target), std::string(event.message), {}};
    for (const auto& field : event.fields) captured.fields.emplace_back(field.name, field.value);
    events.push_back(std::move(captured));
    if (event.message == "vantro exited with error") {
      window_at_error = FindWindowW(windows::kIpcWindowClass, windows::kIpcWindowTitle);
      auto guard = windows::acquire_single_instance();
      mutex_free_at_error = guard && guard->acquired();
    }
  }
  [[nodiscard]] std::vector<std::string> messages() const {
    std::vector<std::string> out;
    for (const auto& e : events) out.push_back(e.message);
    return out;
  }
  [[nodiscard]] const CapturedEvent* find(std::string_view message) const {
    for (const auto& e : events)
      if (e.message == message) return &e;
    return nullptr;
  }

  std::vector<CapturedEvent> events;
  HWND window_at_error = nullptr;
  bool mutex_free_at_error = false;
};

class NormalRun : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(instance_lock_.held()) << "instance lock not acquired in time";
    auto recorder = std::make_unique<Recorder>();
    recorder_ = recorder.get();
    scope_.emplace(std::move(recorder));
    previous_box_ = windows::set_message_box_for_tests(&no_box);
  }
  void TearDown() override { windows::set_message_box_for_tests(previous_box_); }

  static NormalRunHooks hooks_with(std::function<Result<windows::UiaClient>()> create_uia) {
    return {[] {}, std::move(create_uia)};
  }

  test_support::InstanceLock instance_lock_;
  Recorder* recorder_ = nullptr;
  std::optional<log::ScopedSubscriberForTests> scope_;
  windows::MessageBoxFunction previous_box_ = nullptr;
};

TEST_F(NormalRun, FailingUiaClientReleasesWindowAndMutexBeforeTheErrorEvent) {
  const Error failure =
      Error("Class not registered (0x80040154)").context("initializing UI Automation client");
  const NormalRunHooks hooks = hooks_with([&]() -> Result<windows::UiaClient> { return fail(failure); });
  EXPECT_EQ(run_normal(true, hooks), 1);

  const auto messages = recorder_->messages();
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.front(), "vantro starting");
  EXPECT_EQ(*recorder_->events.front().field("version"), "0.3.0");
  EXPECT_NE(recorder_->find("IPC window created"), nullptr);
  EXPECT_EQ(messages.back(), "vantro exited with error");
  const auto* exit_event = recorder_->find("vantro exited with error");
  EXPECT_EQ(exit_event->level, log::Level::Error);
  EXPECT_EQ(exit_event->target, "vantro");
  EXPECT_EQ(*exit_event->field("error"), failure.debug());
  EXPECT_EQ(recorder_->window_at_error, nullptr) << "the close-request window is destroyed first";
  EXPECT_TRUE(recorder_->mutex_free_at_error) << "the mutex is closed first, so a new start succeeds";
}

TEST_F(NormalRun, SecondInstanceWritesTwoLinesAndBuildsNothing) {
  auto first = windows::acquire_single_instance();
  ASSERT_TRUE(first && first->acquired());
  bool uia_created = false;
  CapturedStream err(STD_ERROR_HANDLE);
  const NormalRunHooks hooks = hooks_with([&]() -> Result<windows::UiaClient> {
    uia_created = true;
    return fail("not to be reached");
  });
  EXPECT_EQ(run_normal(false, hooks), 0);
  EXPECT_EQ(err.text(),
            "vantro is already running in this session.\n"
            "Use the existing tray icon, the `--close` flag, or quit it first.\n");
  EXPECT_FALSE(uia_created);
  EXPECT_EQ(recorder_->messages(), std::vector<std::string>{"vantro starting"});
  EXPECT_EQ(FindWindowW(windows::kIpcWindowClass, windows::kIpcWindowTitle), nullptr);
}

// What of a run on this thread is still there, as seen from outside the program.
std::string left_over() {
  const DWORD thread = GetCurrentThreadId();
  std::vector<std::string> left;
  if (thread_window(thread, L"tray_icon_app") != nullptr) left.emplace_back("tray window");
  if (thread_window(thread, windows::kHotkeyWindowClass) != nullptr) left.emplace_back("hotkey window");
  const auto chord_held = [](UINT key) {
    constexpr int kProbe = 0x7F00;
    if (!RegisterHotKey(nullptr, kProbe, MOD_CONTROL | MOD_ALT | MOD_SHIFT, key)) return true;
    UnregisterHotKey(nullptr, kProbe);
    return false;
  };
  if (chord_held(VK_F7) || chord_held(VK_F8)) left.emplace_back("chords");
  if (test_support::uia_standin::loaded_live_objects() > 0) left.emplace_back("UI Automation");
  if (thread_window(thread, windows::kIpcWindowClass) != nullptr) left.emplace_back("close-request window");
  const auto guard = windows::acquire_single_instance();
  if (!guard || !guard->acquired()) left.emplace_back("mutex");
  return left.empty() ? "nothing" : fmt::format("{}", fmt::join(left, ", "));
}

std::vector<std::string>* g_shutdown = nullptr;

// The registrar's own order: the chords are free before its window goes.
LRESULT CALLBACK record_hotkey_window_destroyed(int code, WPARAM wp, LPARAM lp) {
  if (code == HCBT_DESTROYWND && g_shutdown != nullptr) {
    wchar_t name[64] = {};
    GetClassNameW(reinterpret_cast<HWND>(wp), name, static_cast<int>(std::size(name)));
    if (std::wstring_view(name) == windows::kHotkeyWindowClass)
      g_shutdown->push_back("destroying the hotkey window; left: " + left_over());
  }
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST_F(NormalRun, RunsUntilCloseAndShutsDownInOrder) {
  if (!windows::UiaClient::create()) GTEST_SKIP() << "no UI Automation server in this prefix";
  if (test_support::uia_standin::loaded_live_objects() != 0)
    GTEST_SKIP() << "the UI Automation client's release is seen through the stand-in's object count";
  // Each release as it happens, with what is still there.
  const std::vector<std::string> shutdown_order = {
      "tray released; left: hotkey window, chords, UI Automation, close-request window, mutex",
      "destroying the hotkey window; left: hotkey window, UI Automation, close-request window, mutex",
      "hotkey registrar released; left: UI Automation, close-request window, mutex",
      "hotkey failures released; left: UI Automation, close-request window, mutex",
      "UI Automation client released; left: close-request window, mutex",
      "configuration and PickContext released; left: close-request window, mutex",
      "close-request window released; left: mutex",
      "mutex released; left: nothing",
  };
  const struct {
    bool no_tray;
    std::string_view quit_line;
    std::string_view tray_event;
    std::vector<std::string> releases;
  } cases[] = {
      {false, "  Quit         : Tray menu \u2192 Quit, or `vantro --close`\n", "tray icon registered",
       shutdown_order},
      // Without a tray nothing of it is released.
      {true,
       "  Quit         : `vantro --close`\n",
       "--no-tray: running without system tray icon",
       {shutdown_order.begin() + 1, shutdown_order.end()}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.no_tray ? "--no-tray" : "with a tray");
    recorder_->events.clear();
    OwnConfig config;
    ASSERT_TRUE(config.written());
    CapturedStream out(STD_OUTPUT_HANDLE);
    std::vector<std::string> releases;
    g_shutdown = &releases;
    const HHOOK hook =
        SetWindowsHookExW(WH_CBT, record_hotkey_window_destroyed, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    std::atomic<bool> signalled = false;
    std::thread closer([&] {
      // A second process would do the same: find the window and post WM_CLOSE.
      for (int i = 0; i < 200 && !signalled; ++i) {
        auto sent = windows::signal_running_instance();
        signalled = sent && *sent;
        if (!signalled) std::this_thread::sleep_for(50ms);
      }
    });
    const int code = run_normal(
        c.no_tray, {.init_logging = [] {},
                    .create_uia_client = [] { return windows::UiaClient::create(); },
                    .released =
                        [&](std::string_view piece) {
                          releases.push_back(fmt::format("{} released; left: {}", piece, left_over()));
                        }});
    closer.join();
    UnhookWindowsHookEx(hook);
    g_shutdown = nullptr;
    EXPECT_TRUE(signalled);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(releases, c.releases);
    const std::string banner = out.text();
    EXPECT_NE(banner.find("vantro 0.3.0 is running.\n"), std::string::npos) << banner;
    EXPECT_NE(banner.find("  Pick element : Ctrl+Alt+Shift+F7\n  Pick window  : Ctrl+Alt+Shift+F8\n"),
              std::string::npos)
        << banner;
    EXPECT_NE(banner.find(c.quit_line), std::string::npos) << banner;

    const auto messages = recorder_->messages();
    const auto position = [&](std::string_view m) { return std::find(messages.begin(), messages.end(), m); };
    ASSERT_NE(position(c.tray_event), messages.end());
    ASSERT_NE(position("IPC: WM_CLOSE received \u2014 shutting down"), messages.end());
    EXPECT_LT(position(c.tray_event), position("IPC: WM_CLOSE received \u2014 shutting down"));
    EXPECT_EQ(position("vantro exited with error"), messages.end());

    // Everything was released: the window is gone, the mutex and the chords are free again.
    EXPECT_EQ(FindWindowW(windows::kIpcWindowClass, windows::kIpcWindowTitle), nullptr);
    auto guard = windows::acquire_single_instance();
    EXPECT_TRUE(guard && guard->acquired());
    auto registrar = windows::HotkeyRegistrar::create();
    ASSERT_TRUE(registrar);
    EXPECT_TRUE(windows::register_hotkeys(*registrar,
                                          config::HotkeyBindings{"Ctrl+Alt+Shift+F7", "Ctrl+Alt+Shift+F8"})
                    .empty());
  }
}

// Ends a run that is still going after a failed test: closes its boxes and sends close requests.
void end_the_run(const std::atomic<bool>& ended, DWORD run_thread) {
  pump_until(30s, [&] {
    if (HWND box = thread_window(run_thread, L"#32770", true))
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    (void)windows::signal_running_instance();
    return ended.load();
  });
}

TEST_F(NormalRun, TrayQuitChosenWhileAnActionsBoxIsOpenEndsTheRunOnceTheBoxCloses) {
  if (!windows::UiaClient::create()) GTEST_SKIP() << "no UI Automation server in this prefix";
  test_support::ForegroundLock foreground;
  ASSERT_TRUE(foreground.held()) << "foreground lock not acquired in time";
  OwnConfig config;
  ASSERT_TRUE(config.written());
  // Real boxes: each runs its own message loop, which dispatches what is posted meanwhile.
  windows::set_message_box_for_tests(nullptr);

  std::atomic<HWND> tray = nullptr;
  std::atomic<UINT> pick_element = 0;
  std::atomic<UINT> quit = 0;
  NormalRunHooks hooks{.init_logging = [] {},
                       .create_uia_client = [] { return windows::UiaClient::create(); },
                       .build_tray = [&]() -> Result<windows::Tray> {
                         auto built = windows::build_tray();
                         if (built) {
                           pick_element = menu_command(built->menu(), L"Pick element");
                           quit = menu_command(built->menu(), L"Quit");
                           tray = built->window();
                         }
                         return built;
                       }};

  const DWORD run_thread = GetCurrentThreadId();
  std::atomic<bool> ended = false;
  std::wstring box_caption;
  bool ran_on_after_the_box = false;
  std::thread user([&] {
    // A window of this thread in the foreground with nothing to pick in it, so that Pick element
    // shows its information box. Its messages come to this thread, none to the run's.
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VantroNormalRunEmptyWindow";
    RegisterClassW(&wc);
    const windows::UniqueWindow target(CreateWindowExW(0, wc.lpszClassName, L"empty", WS_POPUP | WS_VISIBLE,
                                                       0, 0, 200, 200, nullptr, nullptr, wc.hInstance,
                                                       nullptr));
    SetForegroundWindow(target.get());
    HWND box = nullptr;
    const bool box_open =
        pump_until(30s, [&] { return tray.load() != nullptr; }) && pick_element != 0 && quit != 0 &&
        PostMessageW(tray, WM_COMMAND, pick_element.load(), 0) &&
        pump_until(20s, [&] { return (box = thread_window(run_thread, L"#32770", true)) != nullptr; });
    if (box_open) {
      wchar_t caption[64] = {};
      GetWindowTextW(box, caption, static_cast<int>(std::size(caption)));
      box_caption = caption;
      // Quit is chosen while the box is open; then the box is closed. Both reach the box's loop
      // in this order.
      PostMessageW(tray, WM_COMMAND, quit.load(), 0);
      PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
      ran_on_after_the_box = !pump_until(10s, [&] { return ended.load(); });
    }
    end_the_run(ended, run_thread);
  });
  const int code = run_normal(false, hooks);
  ended = true;
  user.join();

  ASSERT_EQ(box_caption, L"vantro") << "no box of Pick element was seen";
  EXPECT_FALSE(ran_on_after_the_box) << "the run waited for another message once the box was closed";
  EXPECT_EQ(code, 0);
  EXPECT_NE(recorder_->find("no interactable elements in foreground window"), nullptr);
  EXPECT_NE(recorder_->find("quit requested from tray"), nullptr);
  EXPECT_EQ(recorder_->find("IPC: WM_CLOSE received \u2014 shutting down"), nullptr);
}

}  // namespace
}  // namespace vantro::app
