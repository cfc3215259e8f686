#include "tray/tray_icon_pixels.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

namespace vantro::tray {
namespace {

// The icon's colours and geometry, written out here rather than taken from the module, so
// that a wrong constant there shows up as a wrong pixel.
constexpr Rgba kInk{0x1A, 0x1A, 0x1A, 0xFF};   // #1A1A1A
constexpr Rgba kFill{0xFF, 0xE5, 0x00, 0xFF};  // #FFE500
constexpr int kSize = 32;
constexpr int kFrame = 2;
constexpr int kBoxLeft = 8, kBoxRight = 22, kBoxTop = 5, kBoxBottom = 25;
constexpr int kStroke = 3;

struct PixelCase {
  int column, row;
  Rgba expected;
};

TEST(TrayIconPixels, FrameCornersAndFillAroundIt) {
  const IconPixels pixels = tray_icon_pixels();
  const PixelCase cases[] = {
      {0, 0, kInk},   {31, 31, kInk}, {1, 15, kInk},  {15, 30, kInk},  {31, 0, kInk},
      {0, 31, kInk},  {30, 2, kInk},  {2, 2, kFill},  {29, 29, kFill}, {5, 15, kFill},
      {2, 29, kFill}, {29, 2, kFill}, {15, 4, kFill}, {15, 26, kFill},
  };
  for (const PixelCase& c : cases) {
    SCOPED_TRACE(fmt::format("pixel ({}, {})", c.column, c.row));
    EXPECT_EQ(pixel_at(pixels, c.column, c.row), c.expected);
  }
}

TEST(TrayIconPixels, EveryPixelIsOpaqueFillOrInk) {
  const IconPixels pixels = tray_icon_pixels();
  ASSERT_EQ(pixels.size(), 4096u);
  for (int row = 0; row < kSize; ++row)
    for (int column = 0; column < kSize; ++column) {
      SCOPED_TRACE(fmt::format("pixel ({}, {})", column, row));
      const Rgba p = pixel_at(pixels, column, row);
      EXPECT_EQ(p.alpha, 0xFF);
      EXPECT_TRUE(p == kFill || p == kInk);
    }
}

TEST(TrayIconPixels, InkInsideTheFrameStaysInTheGlyphBox) {
  const IconPixels pixels = tray_icon_pixels();
  int glyph_ink = 0;
  for (int row = kFrame; row < kSize - kFrame; ++row)
    for (int column = kFrame; column < kSize - kFrame; ++column) {
      if (pixel_at(pixels, column, row) != kInk) continue;
      SCOPED_TRACE(fmt::format("pixel ({}, {})", column, row));
      EXPECT_GE(column, kBoxLeft);
      EXPECT_LE(column, kBoxRight);
      EXPECT_GE(row, kBoxTop);
      EXPECT_LE(row, kBoxBottom);
      ++glyph_ink;
    }
  EXPECT_GT(glyph_ink, 0) << "no glyph drawn";
}

// Every row of the glyph box holds ink, and each run of ink is at least a stroke wide.
TEST(TrayIconPixels, GlyphStrokesAreThreePixelsAcross) {
  const IconPixels pixels = tray_icon_pixels();
  for (int row = kBoxTop; row <= kBoxBottom; ++row) {
    SCOPED_TRACE(fmt::format("row {}", row));
    int run = 0, runs = 0;
    for (int column = kBoxLeft - 1; column <= kBoxRight + 1; ++column) {
      if (pixel_at(pixels, column, row) == kInk) {
        ++run;
        continue;
      }
      if (run > 0) {
        EXPECT_GE(run, kStroke);
        ++runs;
      }
      run = 0;
    }
    EXPECT_GE(runs, 1);
  }
  // The glyph touches all four sides of its box.
  EXPECT_EQ(pixel_at(pixels, kBoxLeft, kBoxTop), kInk);
  EXPECT_EQ(pixel_at(pixels, kBoxRight, kBoxTop), kInk);
  EXPECT_EQ(pixel_at(pixels, (kBoxLeft + kBoxRight) / 2, kBoxBottom), kInk);
}

}  // namespace
}  // namespace vantro::tray
