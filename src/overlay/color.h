// Colour strings of the configuration and the overlay styles built from them.
#pragma once

#include <string_view>

#include "config/config.h"  // BadgeColors, the input of the style builders
#include "core/error.h"
#include "overlay/overlay_style.h"

namespace vantro::overlay {

// "#RGB" or "#RRGGBB" (any case), with white space around it and any number of leading '#',
// also none. Fails with "hex color must be #RGB or #RRGGBB, got '{text}'" or "invalid digit
// found in string". Logs nothing.
[[nodiscard]] Result<ColorRef> parse_hex_color(std::string_view text);

// Overwrites `field` with the configured colour when it parses. A blank string keeps the
// field silently; one that does not parse keeps it and logs a warning.
void apply_config_color(ColorRef& field, std::string_view configured);

// The preset alpha replaced by a configured opacity percentage (0 keeps the preset, above
// 100 counts as 100): min(opacity, 100) * 255 / 100, truncated.
[[nodiscard]] std::uint8_t alpha_for_opacity(std::uint8_t opacity, std::uint8_t preset);

}  // namespace vantro::overlay
