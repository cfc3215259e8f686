// The two overlay styles of an unconfigured program, for tests of the overlay.
#pragma once

#include "config/config.h"
#include "overlay/overlay_style.h"

namespace vantro::test_support {

inline overlay::OverlayStyle element_style() {
  return overlay::OverlayStyle::for_elements(config::BadgeColors{});
}
inline overlay::OverlayStyle window_style() {
  return overlay::OverlayStyle::for_windows(config::BadgeColors{});
}

}  // namespace vantro::test_support
