// One target handed to the overlay: its hint label, an optional name drawn beside the label,
// and its rectangle in screen pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vantro::overlay {

struct OverlayTarget {
  std::string label;
  std::optional<std::string> name;
  std::int32_t x = 0;
  std::int32_t y = 0;
  std::int32_t width = 0;
  std::int32_t height = 0;

  friend bool operator==(const OverlayTarget&, const OverlayTarget&) = default;
};

}  // namespace vantro::overlay
