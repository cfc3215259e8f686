// The two pick actions the main loop dispatches: "Pick element" and "Pick window".
#pragma once

#include "app/pick_context.h"
#include "core/error.h"
#include "windows/uia_client.h"

namespace vantro::app {

// Collects the foreground window's interactable elements, shows the element overlay and
// activates the chosen element. An empty list is an information box, a cancel or a failed
// activation only a log event; an error means the elements or the overlay failed.
[[nodiscard]] Result<void> run_pick_element(windows::UiaClient& client, const PickContext& context);

// Labels the visible top-level windows and brings the chosen one to the foreground.
[[nodiscard]] Result<void> run_pick_window(const PickContext& context);

}  // namespace vantro::app
