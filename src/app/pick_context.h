// What the main loop lends to both pick actions: the hint labels over the configured alphabet
// and the styles of the element overlay and the window overlay.
#pragma once

#include "config/config.h"
#include "hint/hint_generator.h"
#include "overlay/overlay_style.h"

namespace vantro::app {

struct PickContext {
  hint::HintGenerator hints;
  overlay::OverlayStyle element_style;
  overlay::OverlayStyle window_style;
};

// Built from the configuration; an alphabet too short for labels is replaced by the default
// one with a warning.
[[nodiscard]] PickContext make_pick_context(const config::Config& config);

}  // namespace vantro::app
