#include "app/pick_context.h"

#include "logging/log.h"

namespace vantro::app {

PickContext make_pick_context(const config::Config& config) {
  hint::HintGenerator hints(config.hints.alphabet);
  if (hints.uses_default_alphabet()) {
    VANTRO_LOG(log::Level::Warn, "vantro", "hint alphabet needs at least two characters; using the default",
               log::debug("alphabet", config.hints.alphabet));
  }
  return PickContext{std::move(hints), overlay::OverlayStyle::for_elements(config.colors.element),
                     overlay::OverlayStyle::for_windows(config.colors.window)};
}

}  // namespace vantro::app
