#include "charts/section_view.h"

#include <gtest/gtest.h>

#include "charts/image_canvas.h"
#include "core/extended_arithmetic.h"
#include "core/failure.h"
#include "section/fiber_model.h"
#include "support/default_section.h"
#include "support/expect_failure.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;

constexpr int kWidth = 471;
constexpr int kHeight = 359;

using testing::DefaultModel;

// The 6 × 6 square of a fiber drawn at (px, py): black ring, 4 × 4 inside.
void ExpectSquare(const ImageCanvas& canvas, int px, int py, TColor inside) {
  for (int y = py - 3; y <= py + 2; ++y) {
    for (int x = px - 3; x <= px + 2; ++x) {
      const bool ring = x == px - 3 || x == px + 2 || y == py - 3 || y == py + 2;
      EXPECT_EQ(canvas.Pixel(x, y), ring ? kBlack : inside) << "at " << x << ", " << y;
    }
  }
}

TEST(SectionView, DefaultModelIsDrawnAtItsWorkedPixels) {
  AnalysisState state = DefaultModel();
  ImageCanvas canvas(kWidth, kHeight);
  DrawSectionView(state, canvas);
  EXPECT_EQ(state.DrawScale, 0.359);

  struct Square {
    int slot, px, py;
    TColor inside;
  };
  const Square squares[] = {
      {1, 152, 281, kYellow}, {239, 158, 211, kRed}, {247, 158, 275, kBlue},
      {248, 158, 84, kBlue},  {249, 313, 84, kBlue}, {250, 313, 275, kBlue},
  };
  for (const Square& square : squares) {
    SCOPED_TRACE("slot " + std::to_string(square.slot));
    ExpectSquare(canvas, square.px, square.py, square.inside);
  }
  // Slot 1 is the rectangle (149, 278, 155, 284): nothing beyond it.
  EXPECT_EQ(canvas.Pixel(155, 281), kWhite);
  EXPECT_EQ(canvas.Pixel(152, 284), kWhite);
}

TEST(SectionView, TheMiddleConcreteRowLandsOnTheEvenPixelRow) {
  AnalysisState state = DefaultModel();
  ASSERT_LT(state.Fibers[9].Y, 0);  // a rounding residue just below zero
  ImageCanvas canvas(kWidth, kHeight);
  DrawSectionView(state, canvas);
  // Y maps to 179.5, which goes to row 180: the square spans rows 177 to 182.
  ExpectSquare(canvas, 152, 180, kYellow);
  EXPECT_EQ(canvas.Pixel(150, 176), kWhite);
  EXPECT_EQ(canvas.Pixel(150, 183), kWhite);
}

TEST(SectionView, TheSurfaceIsClearedToWhiteInsideABlackFrame) {
  AnalysisState state = DefaultModel();
  ImageCanvas canvas(kWidth, kHeight);
  canvas.SetBrushColor(kGrey);
  canvas.Rectangle(0, 0, kWidth, kHeight);
  DrawSectionView(state, canvas);
  for (int x = 0; x < kWidth; ++x) {
    EXPECT_EQ(canvas.Pixel(x, 0), kBlack);
    EXPECT_EQ(canvas.Pixel(x, kHeight - 1), kBlack);
  }
  for (int y = 0; y < kHeight; ++y) {
    EXPECT_EQ(canvas.Pixel(0, y), kBlack);
    EXPECT_EQ(canvas.Pixel(kWidth - 1, y), kBlack);
  }
  EXPECT_EQ(canvas.Pixel(1, 1), kWhite);
  EXPECT_EQ(canvas.Pixel(kWidth - 2, kHeight - 2), kWhite);
  EXPECT_EQ(canvas.Pixel(235, 30), kWhite);
}

TEST(SectionView, DrawingAgainOrAfterANewModelReplacesThePicture) {
  AnalysisState state = DefaultModel();
  ImageCanvas fresh(kWidth, kHeight);
  DrawSectionView(state, fresh);

  ImageCanvas canvas(kWidth, kHeight);
  AnalysisState larger = state;
  larger.MeshSize = 10;
  BuildFiberModel(larger);
  DrawSectionView(larger, canvas);
  DrawSectionView(state, canvas);
  EXPECT_EQ(canvas.Image(), fresh.Image());
  DrawSectionView(state, canvas);
  EXPECT_EQ(canvas.Image(), fresh.Image());
}

TEST(SectionView, TheLimitingDirectionSetsTheScale) {
  AnalysisState state = DefaultModel();
  state.SectionWidth = 1000;
  ImageCanvas canvas(kWidth, kHeight);
  DrawSectionView(state, canvas);
  EXPECT_EQ(state.DrawScale, static_cast<double>(0.6L * kWidth / 1000));
}

TEST(SectionView, AZeroSectionFailsBeforeAnythingIsDrawn) {
  const struct { double width, height; } sections[] = {{0, 0}, {0, 600}, {500, 0}};
  for (const auto& section : sections) {
    SCOPED_TRACE(std::to_string(section.width) + " x " + std::to_string(section.height));
    AnalysisState state = DefaultModel();
    state.SectionWidth = section.width;
    state.SectionHeight = section.height;
    state.DrawScale = 7;
    ImageCanvas canvas(kWidth, kHeight);
    canvas.SetBrushColor(kGrey);
    canvas.Rectangle(10, 10, 50, 50);
    const QImage before = canvas.Image().copy();
    const Failure failure =
        ExpectFailure(FailureKind::DivideByZero, [&] { DrawSectionView(state, canvas); });
    EXPECT_EQ(FailureDisplayText(failure.Message()), "Floating point division by zero.");
    EXPECT_EQ(state.DrawScale, 7);
    EXPECT_EQ(canvas.Image(), before);
  }
}

TEST(SectionView, AFiberFarOffTheSurfaceIsNotSeenAndBreaksNothing) {
  // A new, tiny section captured while its model failed to build: the old
  // fibers land near the edge of the integer range.
  AnalysisState state = DefaultModel();
  // The bottom row lands on pixel row 2147483646: its square's lower corner
  // would lie beyond the largest integer.
  const double lowest = -state.Fibers[1].Y;
  state.SectionWidth = state.SectionHeight = 0.6 * kHeight * lowest / (2147483646.0 - 179.5);
  ImageCanvas canvas(kWidth, kHeight);
  DrawSectionView(state, canvas);
  EXPECT_EQ(canvas.Pixel(kWidth / 2, kHeight / 2), kWhite);
  EXPECT_EQ(canvas.Pixel(0, 0), kBlack);
}

TEST(SectionView, AFiberOfNoKnownKindKeepsTheColourBeforeIt) {
  AnalysisState state;
  state.SectionWidth = 500;
  state.SectionHeight = 600;
  // Three fibers side by side: unknown kind first, a bar, unknown again.
  state.Fibers = {TFiber{}, TFiber{-100, 0, 1, 0, 0}, TFiber{0, 0, 1, 2, 0},
                  TFiber{100, 0, 1, 7, 0}};
  state.FiberCount = 3;
  ImageCanvas canvas(kWidth, kHeight);
  DrawSectionView(state, canvas);
  const int row = 180;
  EXPECT_EQ(canvas.Pixel(RoundToInteger(-100 * 0.359L + 235.5L), row), kWhite);
  EXPECT_EQ(canvas.Pixel(236, row), kRed);
  EXPECT_EQ(canvas.Pixel(RoundToInteger(100 * 0.359L + 235.5L), row), kRed);
}

}  // namespace
}  // namespace marrowick
