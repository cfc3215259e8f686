#include "tray/tray_icon_pixels.h"

namespace vantro::tray {
namespace {

void put(IconPixels& pixels, int column, int row, Rgba colour) {
  const std::size_t at = (static_cast<std::size_t>(row) * kIconSize + static_cast<std::size_t>(column)) * 4;
  pixels[at] = colour.red;
  pixels[at + 1] = colour.green;
  pixels[at + 2] = colour.blue;
  pixels[at + 3] = colour.alpha;
}

bool in_frame(int column, int row) {
  const auto edge = [](int v) { return v < kFrameWidth || v >= kIconSize - kFrameWidth; };
  return edge(column) || edge(row);
}

// A "V": two strokes, each kStrokeWidth pixels across, from the top corners of the glyph box
// to its bottom middle, where they meet.
void draw_glyph(IconPixels& pixels) {
  constexpr int height = kGlyphBottom - kGlyphTop;                           // 20
  constexpr int travel = (kGlyphRight - kGlyphLeft + 1 - kStrokeWidth) / 2;  // 6
  for (int row = kGlyphTop; row <= kGlyphBottom; ++row) {
    const int step = ((row - kGlyphTop) * travel * 2 + height) / (height * 2);  // rounded
    for (int i = 0; i < kStrokeWidth; ++i) {
      put(pixels, kGlyphLeft + step + i, row, kIconInk);
      put(pixels, kGlyphRight - step - i, row, kIconInk);
    }
  }
}

}  // namespace

IconPixels tray_icon_pixels() {
  IconPixels pixels{};
  for (int row = 0; row < kIconSize; ++row)
    for (int column = 0; column < kIconSize; ++column)
      put(pixels, column, row, in_frame(column, row) ? kIconInk : kIconFill);
  draw_glyph(pixels);
  return pixels;
}

Rgba pixel_at(const IconPixels& pixels, int column, int row) {
  const std::size_t at = (static_cast<std::size_t>(row) * kIconSize + static_cast<std::size_t>(column)) * 4;
  return {pixels[at], pixels[at + 1], pixels[at + 2], pixels[at + 3]};
}

}  // namespace vantro::tray
