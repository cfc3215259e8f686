// The normal run: set-up in a fixed order, the main message loop, and shutdown in a fixed
// order.
#pragma once

#include <functional>
#include <string_view>

#include "core/error.h"
#include "windows/tray.h"
#include "windows/uia_client.h"

namespace vantro::app {

// The steps a test replaces; the program uses the defaults.
struct NormalRunHooks {
  std::function<void()> init_logging;
  std::function<Result<windows::UiaClient>()> create_uia_client;
  // Builds the tray (not called with `no_tray`).
  std::function<Result<windows::Tray>()> build_tray = [] { return windows::build_tray(); };
  // Told the name of each piece of the run just after it was released, in the order of
  // release: "tray", "hotkey registrar", "hotkey failures", "UI Automation client",
  // "configuration and PickContext", "close-request window", "mutex"; a piece that was never
  // built is not named. Empty: nobody is told.
  std::function<void(std::string_view piece)> released;

  [[nodiscard]] static NormalRunHooks real();
};

// Returns the exit code: 0 when the loop ended (or another instance runs), 1 when start-up
// failed.
[[nodiscard]] int run_normal(bool no_tray, const NormalRunHooks& hooks = NormalRunHooks::real());

}  // namespace vantro::app
