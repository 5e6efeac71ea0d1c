#include "charts/chart_frame.h"

#include <gtest/gtest.h>

#include "charts/recording_canvas.h"
#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "support/expect_failure.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;

using testing::RecordingCanvas;
using Kind = RecordingCanvas::Kind;

const int kGridColumns[] = {80, 142, 204, 267, 329, 391};
const int kGridRows[] = {20, 52, 84, 116, 148, 179, 211, 243, 275, 307, 339};
// The y labels from the bottom line (k = 0) up.
const int kLabelTops[] = {339, 307, 275, 243, 211, 180, 148, 116, 84, 52, 20};

bool AnyInk(const RecordingCanvas& canvas, int x1, int y1, int x2, int y2) {
  for (int y = y1; y < y2; ++y)
    for (int x = x1; x < x2; ++x)
      if (canvas.Pixel(x, y) != kWhite) return true;
  return false;
}

TEST(DrawChartFrame, PlacesTheGridAndLabelsAt471By359) {
  RecordingCanvas canvas;
  const RealTable x{0, 0, 5, 2.5};
  const RealTable y{0, -20, 80, 10};
  const ScaleRanges ranges = DrawChartFrame(canvas, x, y, 3);
  EXPECT_EQ(ranges.XMin, 0);
  EXPECT_EQ(ranges.XMax, 5);
  EXPECT_EQ(ranges.YMin, -20);
  EXPECT_EQ(ranges.YMax, 80);

  const auto rectangles = canvas.Of(Kind::Rectangle);
  ASSERT_EQ(rectangles.size(), 2u);
  EXPECT_EQ(rectangles[1].x1, 80);
  EXPECT_EQ(rectangles[1].y1, 20);
  EXPECT_EQ(rectangles[1].x2, 391);
  EXPECT_EQ(rectangles[1].y2, 339);

  const auto moves = canvas.Of(Kind::MoveTo);
  const auto lines = canvas.Of(Kind::LineTo);
  const auto labels = canvas.Of(Kind::Text);
  ASSERT_EQ(moves.size(), 17u);
  ASSERT_EQ(lines.size(), 17u);
  ASSERT_EQ(labels.size(), 17u);
  const char* x_labels[] = {"0.00E+000", "1.00E+000", "2.00E+000",
                            "3.00E+000", "4.00E+000", "5.00E+000"};
  for (int k = 0; k < 6; ++k) {
    EXPECT_EQ(moves[k].x1, kGridColumns[k]);
    EXPECT_EQ(moves[k].y1, 20);
    EXPECT_EQ(lines[k].x1, kGridColumns[k]);
    EXPECT_EQ(lines[k].y1, 339);
    EXPECT_EQ(labels[k].x1, kGridColumns[k]);
    EXPECT_EQ(labels[k].y1, 344);
    EXPECT_EQ(labels[k].text, x_labels[k]);
  }
  for (int k = 0; k < 11; ++k) {
    EXPECT_EQ(moves[6 + k].x1, 80);
    EXPECT_EQ(moves[6 + k].y1, kGridRows[k]) << k;
    EXPECT_EQ(lines[6 + k].x1, 391);
    EXPECT_EQ(lines[6 + k].y1, kGridRows[k]) << k;
    EXPECT_EQ(labels[6 + k].x1, 5);
    EXPECT_EQ(labels[6 + k].y1, kLabelTops[k]) << k;
  }
  EXPECT_EQ(labels[6].text, "-2.00E+001");
  EXPECT_EQ(labels[11].text, "3.00E+001");
  EXPECT_EQ(labels[16].text, "8.00E+001");
}

TEST(DrawChartFrame, PaintsAGreyGridOnWhiteInsideABlackEdge) {
  RecordingCanvas canvas;
  canvas.SetBrushColor(kRed);
  canvas.Rectangle(0, 0, 471, 359);  // an earlier picture to be replaced
  DrawChartFrame(canvas, RealTable{0, 1, 2}, RealTable{0, 1, 2}, 2);

  EXPECT_EQ(canvas.Pixel(0, 100), kBlack);
  EXPECT_EQ(canvas.Pixel(470, 358), kBlack);
  EXPECT_EQ(canvas.Pixel(1, 1), kWhite);
  for (int x : kGridColumns) {
    EXPECT_EQ(canvas.Pixel(x, 30), kGrey) << x;
    EXPECT_EQ(canvas.Pixel(x + 1, 30), kWhite) << x;
  }
  for (int y : kGridRows) {
    EXPECT_EQ(canvas.Pixel(100, y), kGrey) << y;
    EXPECT_EQ(canvas.Pixel(100, y + 1), kWhite) << y;
  }
  // The box's own right side and bottom lie one pixel inside the last lines.
  EXPECT_EQ(canvas.Pixel(390, 30), kGrey);
  EXPECT_EQ(canvas.Pixel(100, 338), kGrey);
  EXPECT_EQ(canvas.Pixel(79, 30), kWhite);
  EXPECT_EQ(canvas.Pixel(100, 19), kWhite);

  // Labels hang below their grid lines: x labels below the box, y labels left
  // of it.
  EXPECT_TRUE(AnyInk(canvas, 80, 344, 140, 358));
  EXPECT_TRUE(AnyInk(canvas, 5, 20, 78, 32));
  EXPECT_TRUE(AnyInk(canvas, 5, 339, 78, 354));
  EXPECT_FALSE(AnyInk(canvas, 1, 1, 78, 19));
}

TEST(DrawChartFrame, LabelsUseTheRegionalDecimalSymbol) {
  RecordingCanvas canvas;
  SetRegionalDecimal(',');
  DrawChartFrame(canvas, RealTable{0, 0.5, 1.5}, RealTable{0, -1, 1}, 2);
  SetRegionalDecimal('.');
  const auto labels = canvas.Of(Kind::Text);
  EXPECT_EQ(labels.front().text, "5,00E-001");
  EXPECT_EQ(labels[5].text, "1,50E+000");
  EXPECT_EQ(labels[6].text, "-1,00E+000");
}

TEST(DrawChartFrame, WithoutPointsEveryLabelReadsZero) {
  RecordingCanvas canvas;
  const ScaleRanges ranges = DrawChartFrame(canvas, RealTable{0}, RealTable{0}, 0);
  EXPECT_EQ(ranges.XMin, 0);
  EXPECT_EQ(ranges.YMax, 0);
  const auto labels = canvas.Of(Kind::Text);
  ASSERT_EQ(labels.size(), 17u);
  for (const auto& label : labels) EXPECT_EQ(label.text, "0.00E+000");
  EXPECT_EQ(canvas.Pixel(267, 100), kGrey);
}

TEST(ChartPoint, MapsTheRangesOntoThePlotBox) {
  RecordingCanvas canvas;
  const RealTable x{0, 3e-5, -1e-5, 1e-5};
  const RealTable y{0, 40, 250, -75};
  const ScaleRanges ranges = DrawChartFrame(canvas, x, y, 3);
  EXPECT_EQ(ChartPoint(ranges, -1e-5, -75), (ChartPixel{80, 339}));
  EXPECT_EQ(ChartPoint(ranges, 3e-5, 250), (ChartPixel{391, 20}));
  EXPECT_EQ(ChartRow(ranges, 250), 20);
  // A quarter of the x range: 311 / 4 + 80 = 157.75.
  EXPECT_EQ(ChartPoint(ranges, 0, 250).X, 158);
}

TEST(ChartPoint, RoundsAnExactHalfToTheEvenPixel) {
  RecordingCanvas canvas(161, 41);  // scale lengths of one pixel
  const ScaleRanges ranges = DrawChartFrame(canvas, RealTable{0, 0, 2}, RealTable{0, 0, 2}, 2);
  EXPECT_EQ(ChartPoint(ranges, 1, 1), (ChartPixel{80, 20}));
  EXPECT_EQ(ChartPoint(ranges, 3, -1), (ChartPixel{82, 22}));
}

TEST(ChartPoint, AnAxisWithoutSpreadIsAnInvalidOperation) {
  struct Case {
    RealTable x, y;
  };
  const Case cases[] = {
      {{0, 2, 2, 2}, {0, 1, 2, 3}},
      {{0, 1, 2, 3}, {0, -4, -4, -4}},
      {{0, 7}, {0, 7}},
  };
  for (const auto& c : cases) {
    RecordingCanvas canvas;
    const ScaleRanges ranges =
        DrawChartFrame(canvas, c.x, c.y, static_cast<int32_t>(c.x.size() - 1));
    EXPECT_EQ(canvas.Of(Kind::Text).size(), 17u);
    const Failure failure =
        ExpectFailure(FailureKind::InvalidOperation, [&] { ChartPoint(ranges, c.x[1], c.y[1]); });
    EXPECT_EQ(FailureDisplayText(failure.Message()), "Invalid floating point operation.");
  }
}

}  // namespace
}  // namespace marrowick
