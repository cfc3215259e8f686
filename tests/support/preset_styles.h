// The two overlay styles the program starts from, written out for tests of the overlay.
#pragma once

#include "overlay/overlay_style.h"

namespace vantro::test_support {

inline overlay::OverlayStyle element_style() {
  using overlay::rgb;
  return {.font_height = 16,
          .badge_bg = rgb(0xFF, 0xE5, 0x00),
          .badge_fg = rgb(0x00, 0x00, 0x00),
          .border = rgb(0x20, 0x20, 0x20),
          .name_bg = rgb(0x20, 0x20, 0x20),
          .name_fg = rgb(0xFF, 0xFF, 0xFF),
          .pad_x = 5,
          .pad_y = 2,
          .leader_color = rgb(0x20, 0x20, 0x20),
          .alpha = 230,
          .shadow = false,
          .show_leader = true,
          .placement = overlay::Placement::AboveFirst};
}

inline overlay::OverlayStyle window_style() {
  using overlay::rgb;
  return {.font_height = 30,
          .badge_bg = rgb(0x33, 0xAA, 0xFF),
          .badge_fg = rgb(0xFF, 0xFF, 0xFF),
          .border = rgb(0x10, 0x10, 0x10),
          .name_bg = rgb(0x20, 0x20, 0x20),
          .name_fg = rgb(0xFF, 0xFF, 0xFF),
          .pad_x = 12,
          .pad_y = 6,
          .leader_color = rgb(0x10, 0x10, 0x10),
          .alpha = 240,
          .shadow = false,
          .show_leader = false,
          .placement = overlay::Placement::InsideOnly};
}

}  // namespace vantro::test_support
