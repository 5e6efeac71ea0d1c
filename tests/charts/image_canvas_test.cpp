#include "charts/image_canvas.h"

#include <gtest/gtest.h>

#include <string>

namespace marrowick {
namespace {

// The pixels of a colour, as a bounding box and a count.
struct Painted {
  int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1, count = 0;
};

Painted Find(const ImageCanvas& canvas, TColor color) {
  Painted painted;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if (!(canvas.Pixel(x, y) == color)) continue;
      painted.left = std::min(painted.left, x);
      painted.top = std::min(painted.top, y);
      painted.right = std::max(painted.right, x);
      painted.bottom = std::max(painted.bottom, y);
      ++painted.count;
    }
  }
  return painted;
}

TEST(ImageCanvas, StartsWhiteWithABlackOnePixelPenAndAWhiteSolidBrush) {
  ImageCanvas canvas(40, 30);
  EXPECT_EQ(canvas.Width(), 40);
  EXPECT_EQ(canvas.Height(), 30);
  EXPECT_EQ(Find(canvas, kWhite).count, 40 * 30);
  EXPECT_EQ(canvas.PenWidth(), 1);
  canvas.Rectangle(0, 0, 40, 30);
  EXPECT_EQ(Find(canvas, kBlack).count, 2 * 40 + 2 * 28);
  EXPECT_EQ(canvas.Pixel(1, 1), kWhite);
}

TEST(ImageCanvas, RectangleFillsTheHalfOpenAreaInsideAOnePixelRing) {
  ImageCanvas canvas(40, 30);
  canvas.SetBrushColor(kYellow);
  canvas.Rectangle(10, 20, 16, 24);
  for (int y = 19; y <= 24; ++y) {
    for (int x = 9; x <= 16; ++x) {
      const bool in_area = x >= 10 && x < 16 && y >= 20 && y < 24;
      const bool ring = in_area && (x == 10 || x == 15 || y == 20 || y == 23);
      const TColor expected = !in_area ? kWhite : ring ? kBlack : kYellow;
      EXPECT_EQ(canvas.Pixel(x, y), expected) << x << ", " << y;
    }
  }
}

TEST(ImageCanvas, AClearBrushDrawsOnlyTheRing) {
  ImageCanvas canvas(40, 30);
  canvas.SetBrushColor(kRed);
  canvas.Rectangle(5, 5, 25, 25);
  canvas.SetBrushSolid(false);
  canvas.SetPenColor(kGrey);
  canvas.Rectangle(10, 10, 20, 20);
  EXPECT_EQ(canvas.Pixel(10, 10), kGrey);
  EXPECT_EQ(canvas.Pixel(19, 19), kGrey);
  EXPECT_EQ(canvas.Pixel(15, 15), kRed);
  EXPECT_EQ(canvas.Pixel(20, 20), kRed);
}

TEST(ImageCanvas, ShapesReachingPastTheEdgeAreClipped) {
  ImageCanvas canvas(20, 20);
  canvas.SetBrushColor(kBlue);
  canvas.Rectangle(-5, -5, 3, 3);
  canvas.Rectangle(17, 17, 40, 40);
  canvas.Ellipse(-10, -10, 30, 30);
  canvas.MoveTo(-50, 10);
  canvas.LineTo(70, 10);
  canvas.SetPenWidth(3);
  canvas.LineTo(-70, -1);
  EXPECT_EQ(canvas.Pixel(0, 10), kBlack);
  EXPECT_EQ(canvas.Pixel(19, 10), kBlack);
}

TEST(ImageCanvas, LineToStopsJustBeforeItsEndPointWhichBecomesTheCurrentPosition) {
  ImageCanvas canvas(40, 30);
  canvas.MoveTo(5, 5);
  canvas.LineTo(10, 5);
  for (int x = 5; x < 10; ++x) EXPECT_EQ(canvas.Pixel(x, 5), kBlack) << x;
  EXPECT_EQ(canvas.Pixel(10, 5), kWhite);
  EXPECT_EQ(canvas.Pixel(4, 5), kWhite);

  canvas.LineTo(10, 9);  // on from (10, 5)
  for (int y = 5; y < 9; ++y) EXPECT_EQ(canvas.Pixel(10, y), kBlack) << y;
  EXPECT_EQ(canvas.Pixel(10, 9), kWhite);

  canvas.MoveTo(20, 10);
  canvas.LineTo(30, 20);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(canvas.Pixel(20 + i, 10 + i), kBlack) << i;
  EXPECT_EQ(canvas.Pixel(30, 20), kWhite);
  EXPECT_EQ(Find(canvas, kBlack).count, 5 + 4 + 10);

  canvas.LineTo(30, 20);  // a line of no length draws nothing
  EXPECT_EQ(Find(canvas, kBlack).count, 5 + 4 + 10);
}

TEST(ImageCanvas, ATwoPixelPenDrawsTwoPixelsAcrossThePath) {
  ImageCanvas canvas(40, 30);
  canvas.SetPenWidth(2);
  EXPECT_EQ(canvas.PenWidth(), 2);
  canvas.MoveTo(5, 10);
  canvas.LineTo(30, 10);
  const Painted across = Find(canvas, kBlack);
  EXPECT_EQ(across.bottom - across.top + 1, 2);
  EXPECT_TRUE(across.top == 10 || across.bottom == 10);
  EXPECT_EQ(canvas.Pixel(17, 10), kBlack);

  ImageCanvas steep(40, 30);
  steep.SetPenWidth(2);
  steep.MoveTo(20, 2);
  steep.LineTo(20, 25);
  const Painted down = Find(steep, kBlack);
  EXPECT_EQ(down.right - down.left + 1, 2);
  EXPECT_EQ(steep.Pixel(20, 12), kBlack);
}

TEST(ImageCanvas, EllipseIsInscribedInTheRectanglesArea) {
  ImageCanvas canvas(40, 30);
  canvas.SetBrushColor(kYellow);
  canvas.MoveTo(1, 1);
  canvas.Ellipse(10, 10, 21, 17);
  const Painted outline = Find(canvas, kBlack);
  EXPECT_EQ(outline.left, 10);
  EXPECT_EQ(outline.right, 20);
  EXPECT_EQ(outline.top, 10);
  EXPECT_EQ(outline.bottom, 16);
  EXPECT_EQ(canvas.Pixel(15, 13), kYellow);
  for (const auto& [x, y] : {std::pair{10, 10}, {20, 10}, {10, 16}, {20, 16}})
    EXPECT_EQ(canvas.Pixel(x, y), kWhite) << "corner " << x << ", " << y;

  // The ellipse leaves the current position where it was.
  canvas.LineTo(1, 4);
  EXPECT_EQ(canvas.Pixel(1, 1), kBlack);

  // The same box as a square gives a symmetric circle.
  ImageCanvas circle(30, 30);
  circle.SetBrushSolid(false);
  circle.SetPenColor(kRed);
  circle.Ellipse(5, 5, 15, 15);
  for (int y = 5; y < 15; ++y)
    for (int x = 5; x < 15; ++x) EXPECT_EQ(circle.Pixel(x, y), circle.Pixel(19 - x, y));
  EXPECT_EQ(circle.Pixel(10, 10), kWhite);
}

TEST(ImageCanvas, PenBrushAndFontSettingsPersistBetweenOperations) {
  ImageCanvas canvas(60, 40);
  canvas.SetPenColor(kRed);
  canvas.SetBrushColor(kBlue);
  canvas.Rectangle(0, 0, 10, 10);
  canvas.Rectangle(20, 0, 30, 10);
  EXPECT_EQ(canvas.Pixel(20, 0), kRed);
  EXPECT_EQ(canvas.Pixel(25, 5), kBlue);

  canvas.SetPenWidth(2);
  canvas.MoveTo(0, 30);
  canvas.LineTo(50, 30);
  canvas.LineTo(50, 35);
  EXPECT_EQ(canvas.PenWidth(), 2);
  EXPECT_EQ(canvas.Pixel(25, 30), kRed);
}

TEST(ImageCanvas, TextOutHangsBelowAndRightOfItsCornerInTheFontColour) {
  ImageCanvas canvas(120, 40);
  canvas.SetBrushSolid(false);
  canvas.SetFontColor(kBlue);
  canvas.TextOut(20, 10, "3.50E+001");
  const Painted text = Find(canvas, kBlue);
  ASSERT_GT(text.count, 0);
  EXPECT_GE(text.left, 20);
  EXPECT_GE(text.top, 10);
  EXPECT_LE(text.bottom, 10 + 14);
  // No antialiasing: every pixel is either the text or the untouched surface.
  EXPECT_EQ(text.count + Find(canvas, kWhite).count, 120 * 40);

  ImageCanvas boxed(120, 40);
  boxed.SetBrushColor(kYellow);
  boxed.TextOut(20, 10, "1");
  EXPECT_EQ(boxed.Pixel(20, 10), kYellow);
  EXPECT_EQ(boxed.Pixel(19, 10), kWhite);
}

}  // namespace
}  // namespace marrowick
