#include "charts/moment_curvature_chart.h"

#include <gtest/gtest.h>

#include "charts/chart_frame.h"
#include "charts/recording_canvas.h"
#include "core/failure.h"
#include "support/expect_failure.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"
#include "support/write_lock_holder.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;

using testing::RecordingCanvas;
using testing::WriteBytes;
using Kind = RecordingCanvas::Kind;

int CountPixels(const ImageCanvas& canvas, TColor color) {
  int count = 0;
  for (int y = 0; y < canvas.Height(); ++y)
    for (int x = 0; x < canvas.Width(); ++x) count += canvas.Pixel(x, y) == color;
  return count;
}

class MomentCurvatureChartTest : public ::testing::Test {
 protected:
  testing::ScopedTempDir dir_;
  AnalysisState state_;
  RecordingCanvas canvas_;
};

// The curvature turns back after the third line; the polyline follows the
// file's order and the extremes still land on the plot box's edges.
TEST_F(MomentCurvatureChartTest, DrawsMomentAgainstCurvatureInFileOrder) {
  WriteBytes("mom_cur.out", "0 0 \r\n300 2e-6 \r\n450 6e-6 \r\n420 4e-6\r\n-50 1e-6 \r\n");
  ShowMomentCurvatureChart(state_, canvas_);

  EXPECT_EQ(state_.SeriesCount, 5);
  const auto moves = canvas_.Of(Kind::MoveTo);
  const auto lines = canvas_.Of(Kind::LineTo);
  ASSERT_EQ(lines.size(), 17u + 4u);
  const auto first = moves.back();
  EXPECT_EQ(first.pen, kRed);
  EXPECT_EQ(first.pen_width, 2);
  // Line 1 (0, 0): x = 80, y = 450 / 500 * 319 + 20 = 307.1.
  EXPECT_EQ(first.x1, 80);
  EXPECT_EQ(first.y1, 307);
  const int expected[][2] = {{184, 116}, {391, 20}, {287, 39}, {132, 339}};
  for (int j = 0; j < 4; ++j) {
    const auto& segment = lines[17 + j];
    EXPECT_EQ(segment.pen, kRed);
    EXPECT_EQ(segment.pen_width, 2);
    EXPECT_EQ(segment.x1, expected[j][0]) << j;
    EXPECT_EQ(segment.y1, expected[j][1]) << j;
  }
  EXPECT_EQ(canvas_.PenWidth(), 1);
  EXPECT_EQ(canvas_.Pixel(80, 307), kRed);
  EXPECT_EQ(canvas_.Pixel(390, 20), kRed);
  EXPECT_EQ(canvas_.Pixel(132, 338), kRed);

  // The same file draws the same picture.
  const QImage first_picture = canvas_.Image();
  ShowMomentCurvatureChart(state_, canvas_);
  EXPECT_EQ(canvas_.Image(), first_picture);
}

// The series is a value of its own: read without the window's state it draws
// the same picture.
TEST_F(MomentCurvatureChartTest, TheSeriesNeedsNoWindowState) {
  WriteBytes("mom_cur.out", "0 0 \r\n300 2e-6 \r\n450 6e-6 \r\n");
  const MomentCurvatureSeries series = ReadMomentCurvatureSeries("mom_cur.out");
  EXPECT_EQ(series.Count, 3);
  EXPECT_EQ(series.Moments, (RealTable{0, 0, 300, 450}));
  EXPECT_EQ(series.Curvatures, (RealTable{0, 0, 2e-6, 6e-6}));
  RecordingCanvas alone;
  DrawMomentCurvatureChart(series, alone);
  ShowMomentCurvatureChart(state_, canvas_);
  EXPECT_EQ(alone.Image(), canvas_.Image());
}

TEST_F(MomentCurvatureChartTest, AFailedReadLeavesThePictureAsItWas) {
  WriteBytes("mom_cur.out", "0 0 \n1 x \n");
  canvas_.SetPenColor(kBlue);
  canvas_.Rectangle(10, 10, 50, 50);
  const QImage before = canvas_.Image();
  ExpectFailure(FailureKind::RealConversion, "'x' is not a valid floating point value",
                [&] { ShowMomentCurvatureChart(state_, canvas_); });
  EXPECT_EQ(canvas_.Image(), before);
  EXPECT_EQ(canvas_.PenWidth(), 1);
  EXPECT_EQ(state_.SeriesCount, 2);
  EXPECT_EQ(state_.MomentSeries[2], 1);
}

TEST_F(MomentCurvatureChartTest, EqualCurvaturesFailAfterTheFrameAndLeaveAWidePen) {
  WriteBytes("mom_cur.out", "0 1e-6 \n10 1e-6 \n20 1e-6 \n");
  const Failure failure = ExpectFailure(FailureKind::InvalidOperation,
                                        [&] { ShowMomentCurvatureChart(state_, canvas_); });
  EXPECT_EQ(FailureDisplayText(failure.Message()), "Invalid floating point operation.");
  EXPECT_EQ(canvas_.Of(Kind::Text).size(), 17u);
  EXPECT_EQ(CountPixels(canvas_, kRed), 0);
  EXPECT_EQ(canvas_.PenWidth(), 2);
  EXPECT_EQ(canvas_.Pixel(79, 100), kWhite);

  // The next frame is drawn with the pen the failed chart left behind.
  WriteBytes("mom_cur.out", "0 0 \n10 1e-6 \n");
  ShowMomentCurvatureChart(state_, canvas_);
  EXPECT_EQ(canvas_.Pixel(79, 100), kGrey);
  EXPECT_EQ(canvas_.Pixel(469, 100), kBlack);
  EXPECT_EQ(canvas_.PenWidth(), 1);
}

// The bundled solver holds a write lock on its recorder file until it closes
// it; a chart must not draw the half-written file.
TEST_F(MomentCurvatureChartTest, AFileStillBeingWrittenIsRefusedUntilReleased) {
  WriteBytes("mom_cur.out", "0 0 \n5 1e-6 \n");
  testing::WriteLockHolder solver("mom_cur.out");
  ASSERT_TRUE(solver.Locked());
  const QImage before = canvas_.Image();
  const Failure failure =
      ExpectFailure(FailureKind::FileOpen, [&] { ShowMomentCurvatureChart(state_, canvas_); });
  EXPECT_EQ(failure.Message(), "Cannot open file \"" + (dir_.Path() / "mom_cur.out").string() +
                                   "\". The file is in use by another program");
  EXPECT_EQ(canvas_.Image(), before);

  solver.Release();
  ShowMomentCurvatureChart(state_, canvas_);
  EXPECT_EQ(state_.MomentSeries, (RealTable{0, 0, 5}));
  EXPECT_GT(CountPixels(canvas_, kRed), 300);
}

}  // namespace
}  // namespace marrowick
