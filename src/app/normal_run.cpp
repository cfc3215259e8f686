#include "app/normal_run.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "app/log_viewer.h"
#include "app/pick_actions.h"
#include "app/pick_context.h"
#include "cli/command_line.h"
#include "config/config_file.h"
#include "dispatch/dispatch.h"
#include "dispatch/startup_texts.h"
#include "hotkey/hotkey_failure.h"
#include "logging/log.h"
#include "logging/pipeline.h"
#include "windows/console.h"
#include "windows/file_system.h"
#include "windows/hotkey_conflict.h"
#include "windows/hotkey_registrar.h"
#include "windows/ipc.h"
#include "windows/notification.h"
#include "windows/settings_window.h"
#include "windows/tray.h"

namespace vantro::app {
namespace {

constexpr std::string_view kTarget = "vantro";

// Everything the run owns, released in the shutdown order (also on the error exit, for what
// exists by then).
struct Session {
  explicit Session(const std::function<void(std::string_view)>& released) : released_(released) {}

  windows::UniqueHandle mutex;
  std::optional<windows::UniqueWindow> ipc_window;
  std::optional<config::Config> config;
  std::optional<PickContext> pick_context;
  std::optional<windows::UiaClient> uia;
  std::optional<windows::HotkeyRegistrar> registrar;
  std::optional<std::vector<hotkey::HotkeyFailure>> hotkey_failures;
  std::optional<windows::Tray> tray;

  void release() {
    drop(tray, "tray");
    drop(registrar, "hotkey registrar");
    drop(hotkey_failures, "hotkey failures");
    drop(uia, "UI Automation client");
    const bool had_config = config.has_value();
    pick_context.reset();
    config.reset();
    if (had_config) tell("configuration and PickContext");
    drop(ipc_window, "close-request window");  // DestroyWindow; its procedure posts nothing on WM_DESTROY
    if (mutex) {
      mutex.reset();  // CloseHandle, last
      tell("mutex");
    }
  }
  ~Session() { release(); }

 private:
  template <class Piece>
  void drop(std::optional<Piece>& piece, std::string_view name) {
    if (!piece) return;
    piece.reset();
    tell(name);
  }
  void tell(std::string_view name) const {
    if (released_) released_(name);
  }

  const std::function<void(std::string_view)>& released_;
};

int error_exit(Session& session, const Error& error) {
  session.release();
  VANTRO_LOG(log::Level::Error, kTarget, "vantro exited with error", log::debug("error", error));
  return cli::kExitFailure;
}

class AppActions final : public dispatch::ActionHandlers {
 public:
  AppActions(windows::UiaClient& uia, const PickContext& context, const config::Config& config)
      : uia_(uia), context_(context), config_(config) {}

  Result<void> pick_element() override { return run_pick_element(uia_, context_); }
  Result<void> pick_window() override { return run_pick_window(context_); }
  Result<bool> open_settings() override { return windows::open_settings(config_); }
  Result<void> view_log() override { return app::view_log(fs_); }
  void post_quit() override { PostQuitMessage(0); }
  void notify(std::string_view title, std::string_view body, NotificationLevel level) override {
    windows::notify(title, body, level);
  }

 private:
  windows::UiaClient& uia_;
  const PickContext& context_;
  const config::Config& config_;
  windows::Win32FileSystem fs_;
};

class ThreadMessagePump final : public dispatch::MessagePump {
 public:
  ThreadMessagePump(windows::HotkeyRegistrar& registrar, windows::Tray* tray)
      : registrar_(registrar), tray_(tray) {}

  bool dispatch_next() override {
    MSG message;
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) return false;
    TranslateMessage(&message);
    DispatchMessageW(&message);
    return true;
  }
  std::vector<Action> drain_actions() override { return registrar_.drain_actions(); }
  std::optional<std::vector<TrayCommand>> drain_tray_commands() override {
    if (tray_ == nullptr) return std::nullopt;
    return tray_->drain_commands();
  }

 private:
  windows::HotkeyRegistrar& registrar_;
  windows::Tray* tray_;
};

}  // namespace

NormalRunHooks NormalRunHooks::real() {
  return {.init_logging = [] { log::init_logging(); },
          .create_uia_client = [] { return windows::UiaClient::create(); }};
}

int run_normal(bool no_tray, const NormalRunHooks& hooks) {
  hooks.init_logging();
  VANTRO_LOG(log::Level::Info, kTarget, "vantro starting", log::display("version", cli::kVersion));

  Session session(hooks.released);
  auto guard = windows::acquire_single_instance();
  if (!guard) return error_exit(session, guard.error());
  if (!guard->acquired()) {
    (void)windows::StandardStream(STD_ERROR_HANDLE).write(dispatch::kAlreadyRunningText);
    return cli::kExitSuccess;
  }
  session.mutex = std::move(std::get<windows::SingleInstance::Acquired>(guard->state).mutex);

  if (auto window = windows::create_ipc_window()) {
    session.ipc_window = std::move(*window);
  } else {
    VANTRO_LOG(log::Level::Warn, kTarget, "failed to create IPC window; --close will not work",
               log::debug("error", window.error()));
  }

  session.config = config::load_or_default();
  session.pick_context = make_pick_context(*session.config);

  auto uia = hooks.create_uia_client();
  if (!uia) return error_exit(session, uia.error());
  session.uia = std::move(*uia);

  auto registrar = windows::HotkeyRegistrar::create();
  if (!registrar) return error_exit(session, registrar.error());
  session.registrar = std::move(*registrar);
  session.hotkey_failures = windows::register_hotkeys(*session.registrar, session.config->hotkeys);
  // Modal: start-up waits here until the box is closed.
  windows::report_hotkey_failures(*session.hotkey_failures);

  if (no_tray) {
    VANTRO_LOG_MSG(log::Level::Info, kTarget, "--no-tray: running without system tray icon");
  } else if (auto tray = hooks.build_tray()) {
    session.tray = std::move(*tray);
  } else {
    VANTRO_LOG(log::Level::Warn, kTarget, "tray icon unavailable; continuing with hotkeys only",
               log::debug("error", tray.error()));
  }

  (void)windows::StandardStream(STD_OUTPUT_HANDLE)
      .write(dispatch::banner_text(session.config->hotkeys, session.tray.has_value()));

  AppActions actions(*session.uia, *session.pick_context, *session.config);
  ThreadMessagePump pump(*session.registrar, session.tray ? &*session.tray : nullptr);
  dispatch::run_main_loop(pump, actions);

  session.release();
  return cli::kExitSuccess;
}

}  // namespace vantro::app
