// The pieces the main loop calls that this build does not have yet. Each one fails with an
// error naming what is missing; the real ones replace this file and placeholders.cpp.
#pragma once

#include "app/pick_context.h"
#include "core/error.h"
#include "windows/uia_client.h"

namespace vantro::app {

[[nodiscard]] Result<void> run_pick_element(windows::UiaClient& uia, const PickContext& context);
[[nodiscard]] Result<void> run_pick_window(const PickContext& context);

}  // namespace vantro::app
