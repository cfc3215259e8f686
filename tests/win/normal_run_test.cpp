// The normal run in this test process: start-up order, the second-instance path, the error
// exit's releases, and (with a UI Automation server in the prefix) a run ended by "--close".
#include "app/normal_run.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "support/foreground_lock.h"
#include "support/log_capture.h"
#include "support/scoped_env_var.h"
#include "windows/hotkey_registrar.h"
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

TEST_F(NormalRun, RunsUntilCloseAndShutsDownInOrder) {
  if (!windows::UiaClient::create()) GTEST_SKIP() << "no UI Automation server in this prefix";
  // Chords no other test uses, from a configuration file of this test's own.
  wchar_t temp[MAX_PATH]{};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring app_data =
      std::wstring(temp) + L"vantro-normal-run-" + std::to_wstring(GetCurrentProcessId());
  const std::wstring config_dir = app_data + L"\\vantro";
  CreateDirectoryW(app_data.c_str(), nullptr);
  CreateDirectoryW(config_dir.c_str(), nullptr);
  const std::wstring config_file = config_dir + L"\\config.toml";
  {
    HANDLE f = CreateFileW(config_file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    const std::string_view toml =
        "[hotkeys]\npick_element = \"Ctrl+Alt+Shift+F7\"\npick_window = \"Ctrl+Alt+Shift+F8\"\n";
    DWORD written = 0;
    WriteFile(f, toml.data(), static_cast<DWORD>(toml.size()), &written, nullptr);
    CloseHandle(f);
  }
  test_support::ScopedEnvVar app_data_var("APPDATA", windows::narrow(app_data));
  CapturedStream out(STD_OUTPUT_HANDLE);
  std::atomic<bool> signalled = false;
  std::thread closer([&] {
    // A second process would do the same: find the window and post WM_CLOSE.
    for (int i = 0; i < 200 && !signalled; ++i) {
      auto sent = windows::signal_running_instance();
      signalled = sent && *sent;
      if (!signalled) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  });
  const int code = run_normal(true, NormalRunHooks{[] {}, [] { return windows::UiaClient::create(); }});
  closer.join();
  EXPECT_TRUE(signalled);
  EXPECT_EQ(code, 0);
  const std::string banner = out.text();
  EXPECT_NE(banner.find("vantro 0.3.0 is running.\n"), std::string::npos) << banner;
  EXPECT_NE(banner.find("  Pick element : Ctrl+Alt+Shift+F7\n  Pick window  : Ctrl+Alt+Shift+F8\n"),
            std::string::npos)
      << banner;
  EXPECT_NE(banner.find("  Quit         : `vantro --close`\n"), std::string::npos) << banner;

  const auto messages = recorder_->messages();
  const auto position = [&](std::string_view m) { return std::find(messages.begin(), messages.end(), m); };
  ASSERT_NE(position("--no-tray: running without system tray icon"), messages.end());
  ASSERT_NE(position("IPC: WM_CLOSE received \u2014 shutting down"), messages.end());
  EXPECT_LT(position("--no-tray: running without system tray icon"),
            position("IPC: WM_CLOSE received \u2014 shutting down"));
  EXPECT_EQ(position("vantro exited with error"), messages.end());

  // Everything was released: the window is gone, the mutex and the chords are free again.
  EXPECT_EQ(FindWindowW(windows::kIpcWindowClass, windows::kIpcWindowTitle), nullptr);
  auto guard = windows::acquire_single_instance();
  EXPECT_TRUE(guard && guard->acquired());
  auto registrar = windows::HotkeyRegistrar::create();
  ASSERT_TRUE(registrar);
  EXPECT_TRUE(
      windows::register_hotkeys(*registrar, config::HotkeyBindings{"Ctrl+Alt+Shift+F7", "Ctrl+Alt+Shift+F8"})
          .empty());
  DeleteFileW(config_file.c_str());
  RemoveDirectoryW(config_dir.c_str());
  RemoveDirectoryW(app_data.c_str());
}

}  // namespace
}  // namespace vantro::app
