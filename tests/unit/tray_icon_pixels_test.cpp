#include "tray/tray_icon_pixels.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

namespace vantro::tray {
namespace {

struct PixelCase {
  int column, row;
  Rgba expected;
};

TEST(TrayIconPixels, FrameCornersAndFillAroundIt) {
  const IconPixels pixels = tray_icon_pixels();
  const PixelCase cases[] = {
      {0, 0, kIconInk},   {31, 31, kIconInk}, {1, 15, kIconInk},  {15, 30, kIconInk},  {31, 0, kIconInk},
      {0, 31, kIconInk},  {30, 2, kIconInk},  {2, 2, kIconFill},  {29, 29, kIconFill}, {5, 15, kIconFill},
      {2, 29, kIconFill}, {29, 2, kIconFill}, {15, 4, kIconFill}, {15, 26, kIconFill},
  };
  for (const PixelCase& c : cases) {
    SCOPED_TRACE(fmt::format("pixel ({}, {})", c.column, c.row));
    EXPECT_EQ(pixel_at(pixels, c.column, c.row), c.expected);
  }
}

TEST(TrayIconPixels, EveryPixelIsOpaqueFillOrInk) {
  const IconPixels pixels = tray_icon_pixels();
  ASSERT_EQ(pixels.size(), 4096u);
  for (int row = 0; row < kIconSize; ++row)
    for (int column = 0; column < kIconSize; ++column) {
      SCOPED_TRACE(fmt::format("pixel ({}, {})", column, row));
      const Rgba p = pixel_at(pixels, column, row);
      EXPECT_EQ(p.alpha, 0xFF);
      EXPECT_TRUE(p == kIconFill || p == kIconInk);
    }
}

TEST(TrayIconPixels, InkInsideTheFrameStaysInTheGlyphBox) {
  const IconPixels pixels = tray_icon_pixels();
  int glyph_ink = 0;
  for (int row = kFrameWidth; row < kIconSize - kFrameWidth; ++row)
    for (int column = kFrameWidth; column < kIconSize - kFrameWidth; ++column) {
      if (pixel_at(pixels, column, row) != kIconInk) continue;
      SCOPED_TRACE(fmt::format("pixel ({}, {})", column, row));
      EXPECT_GE(column, kGlyphLeft);
      EXPECT_LE(column, kGlyphRight);
      EXPECT_GE(row, kGlyphTop);
      EXPECT_LE(row, kGlyphBottom);
      ++glyph_ink;
    }
  EXPECT_GT(glyph_ink, 0) << "no glyph drawn";
}

// Every row of the glyph box holds ink, and each run of ink is at least a stroke wide.
TEST(TrayIconPixels, GlyphStrokesAreThreePixelsAcross) {
  const IconPixels pixels = tray_icon_pixels();
  for (int row = kGlyphTop; row <= kGlyphBottom; ++row) {
    SCOPED_TRACE(fmt::format("row {}", row));
    int run = 0, runs = 0;
    for (int column = kGlyphLeft - 1; column <= kGlyphRight + 1; ++column) {
      if (pixel_at(pixels, column, row) == kIconInk) {
        ++run;
        continue;
      }
      if (run > 0) {
        EXPECT_GE(run, kStrokeWidth);
        ++runs;
      }
      run = 0;
    }
    EXPECT_GE(runs, 1);
  }
  // The glyph touches all four sides of its box.
  EXPECT_EQ(pixel_at(pixels, kGlyphLeft, kGlyphTop), kIconInk);
  EXPECT_EQ(pixel_at(pixels, kGlyphRight, kGlyphTop), kIconInk);
  EXPECT_EQ(pixel_at(pixels, (kGlyphLeft + kGlyphRight) / 2, kGlyphBottom), kIconInk);
}

}  // namespace
}  // namespace vantro::tray
