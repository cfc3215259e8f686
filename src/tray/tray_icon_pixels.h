// The tray icon, drawn in code: a yellow square with a dark frame and a dark "V".
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace vantro::tray {

inline constexpr int kIconSize = 32;
inline constexpr std::size_t kIconBytes = std::size_t{kIconSize} * kIconSize * 4;

struct Rgba {
  std::uint8_t red, green, blue, alpha;
  friend bool operator==(const Rgba&, const Rgba&) = default;
};

inline constexpr Rgba kIconFill{0xFF, 0xE5, 0x00, 0xFF};
inline constexpr Rgba kIconInk{0x1A, 0x1A, 0x1A, 0xFF};

// The glyph stays inside this box (columns and rows inclusive).
inline constexpr int kGlyphLeft = 8, kGlyphRight = 22, kGlyphTop = 5, kGlyphBottom = 25;
inline constexpr int kFrameWidth = 2;
inline constexpr int kStrokeWidth = 3;

using IconPixels = std::array<std::uint8_t, kIconBytes>;

// 32 × 32 pixels, 4 bytes each in the order red, green, blue, alpha, rows from top to bottom.
[[nodiscard]] IconPixels tray_icon_pixels();

// The pixel at (column, row) of such a buffer.
[[nodiscard]] Rgba pixel_at(const IconPixels& pixels, int column, int row);

}  // namespace vantro::tray
