// The normal run: set-up in a fixed order, the main message loop, and shutdown in a fixed
// order.
#pragma once

#include <functional>

#include "core/error.h"
#include "windows/uia_client.h"

namespace vantro::app {

// The steps a test replaces; the program uses the defaults.
struct NormalRunHooks {
  std::function<void()> init_logging;
  std::function<Result<windows::UiaClient>()> create_uia_client;

  [[nodiscard]] static NormalRunHooks real();
};

// Returns the exit code: 0 when the loop ended (or another instance runs), 1 when start-up
// failed.
[[nodiscard]] int run_normal(bool no_tray, const NormalRunHooks& hooks = NormalRunHooks::real());

}  // namespace vantro::app
