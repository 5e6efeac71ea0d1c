#include "charts/interaction_curve.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <numbers>
#include <optional>

#include "charts/key_point_marks.h"
#include "charts/recording_canvas.h"
#include "charts/shown_picture.h"
#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "core/text_file.h"
#include "section/fiber_model.h"
#include "support/default_section.h"
#include "support/expect_failure.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;
using testing::ReadBytes;
using testing::RecordingCanvas;
using testing::WriteBytes;
using Kind = RecordingCanvas::Kind;

std::string LevelFile(int level) {
  return "P" + std::to_string(level) + "_mom_cur.out";
}

// The default section's 21 levels. Level 1 holds only negative moments, the
// middle levels rise to their peak and fall again, and the last level found
// no equilibrium at the full compression capacity, so its file has no lines.
void WriteDefaultLevels() {
  WriteBytes(LevelFile(1), "-5 0 \r\n-3 1e-6 \r\n-4 2e-6 \r\n");
  for (int i = 2; i <= 20; ++i) {
    const int peak = 20 * (i - 1) * (21 - i) + i;
    WriteBytes(LevelFile(i), "0 0 \r\n" + std::to_string(peak) + " 1e-6 \r\n" +
                                 std::to_string(peak - 10) + " 2e-6\r\n");
  }
  WriteBytes(LevelFile(21), "");
}

const char kDefaultCurve[] =
    "N-M curve data: \r\n"
    "-3.000E+000,-1.130E+003\r\n"
    "3.820E+002,-4.924E+002\r\n"
    "7.230E+002,1.457E+002\r\n"
    "1.024E+003,7.837E+002\r\n"
    "1.285E+003,1.422E+003\r\n"
    "1.506E+003,2.060E+003\r\n"
    "1.687E+003,2.698E+003\r\n"
    "1.828E+003,3.336E+003\r\n"
    "1.929E+003,3.974E+003\r\n"
    "1.990E+003,4.612E+003\r\n"
    "2.011E+003,5.250E+003\r\n"
    "1.992E+003,5.888E+003\r\n"
    "1.933E+003,6.526E+003\r\n"
    "1.834E+003,7.164E+003\r\n"
    "1.695E+003,7.802E+003\r\n"
    "1.516E+003,8.440E+003\r\n"
    "1.297E+003,9.078E+003\r\n"
    "1.038E+003,9.716E+003\r\n"
    "7.390E+002,1.035E+004\r\n"
    "4.000E+002,1.099E+004\r\n"
    "0.000E+000,1.163E+004\r\n";

class InteractionCurveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::SetDefaultParameters(state_);
    BuildFiberModel(state_);
    ASSERT_EQ(state_.TensionCapacity, 1130.4);
    ASSERT_EQ(state_.CompressionCapacity, -11630.4);
  }

  void Show() { ShowInteractionCurve(state_, canvas_); }

  testing::ScopedTempDir dir_;
  AnalysisState state_;
  RecordingCanvas canvas_;
};

TEST_F(InteractionCurveTest, DrawsAndWritesTheDefaultSection) {
  WriteDefaultLevels();
  ShowInteractionCurve(state_, canvas_);

  EXPECT_EQ(ReadBytes("m-n.out"), kDefaultCurve);
  ASSERT_EQ(state_.PeakMoments.size(), 22u);
  ASSERT_EQ(state_.LevelForces.size(), 22u);
  EXPECT_EQ(state_.LevelForces[1], -1130.4);
  EXPECT_NEAR(state_.LevelForces[2], -492.36, 1e-9);
  EXPECT_NEAR(state_.LevelForces[3], 145.68, 1e-9);
  EXPECT_EQ(state_.LevelForces[21], 11630.4);

  // Circles and polyline alternate point by point, in red, 2 pixels wide.
  const auto& calls = canvas_.calls;
  std::size_t first = 0;
  while (calls[first].kind != Kind::Ellipse) ++first;
  for (int i = 0; i < 21; ++i) {
    const auto& circle = calls[first + 2 * i];
    const auto& step = calls[first + 2 * i + 1];
    ASSERT_EQ(circle.kind, Kind::Ellipse) << i;
    EXPECT_EQ(step.kind, i == 0 ? Kind::MoveTo : Kind::LineTo) << i;
    EXPECT_EQ(circle.x2 - circle.x1, 8);
    EXPECT_EQ(circle.x1 + 4, step.x1);
    EXPECT_EQ(circle.y1 + 4, step.y1);
    EXPECT_EQ(circle.pen, kRed);
    EXPECT_EQ(circle.pen_width, 2);
  }
  EXPECT_EQ(canvas_.Of(Kind::Ellipse).size(), 21u);
  // The polyline's points in drawing order, and the zero-force line.
  std::vector<RecordingCanvas::Call> points;
  std::vector<RecordingCanvas::Call> zero_line;
  for (const auto& call : calls) {
    if (call.kind != Kind::MoveTo && call.kind != Kind::LineTo) continue;
    if (call.pen == kRed) points.push_back(call);
    if (call.pen == kBlue) zero_line.push_back(call);
  }
  ASSERT_EQ(points.size(), 21u);
  ASSERT_EQ(zero_line.size(), 2u);
  // Full tension (least moment) at the bottom left, full compression at the top.
  EXPECT_EQ(points[0].x1, 80);
  EXPECT_EQ(points[0].y1, 339);
  EXPECT_EQ(points[20].x1, 80);
  EXPECT_EQ(points[20].y1, 20);
  EXPECT_EQ(points[10].x1, 391);

  // Zero force: 11630.4 / 12760.8 * 319 + 20 = 310.74.
  EXPECT_EQ(zero_line[0].kind, Kind::MoveTo);
  EXPECT_EQ(zero_line[0].x1, 80);
  EXPECT_EQ(zero_line[0].y1, 311);
  EXPECT_EQ(zero_line[1].x1, 391);
  EXPECT_EQ(zero_line[1].y1, 311);
  for (int x = 80; x <= 390; ++x) ASSERT_EQ(canvas_.Pixel(x, 311), kBlue) << x;
  EXPECT_EQ(canvas_.Pixel(76, 339), kRed);  // left edge of the level 1 circle
  EXPECT_EQ(canvas_.PenWidth(), 1);

  // Unchanged files give the same picture and the same file.
  const QImage picture = canvas_.Image();
  ShowInteractionCurve(state_, canvas_);
  EXPECT_EQ(canvas_.Image(), picture);
  EXPECT_EQ(ReadBytes("m-n.out"), kDefaultCurve);
}

// With a design code the frame takes in its curves, which are drawn in their
// own colours before the levels; the readout, the data and the marks know
// their points. Inputs the code cannot use fail before anything is drawn.
TEST_F(InteractionCurveTest, ADesignCodeDrawsItsCurvesBesideTheLevels) {
  WriteDefaultLevels();
  state_.Design = {"ACI318", "", "", std::nullopt, 420, {}, {}};
  const QImage blank = canvas_.Image();
  ExpectFailure(FailureKind::InvalidInput, "Design curve: fc_MPa (f'c) is not given",
                [&] { Show(); });
  EXPECT_EQ(canvas_.Image(), blank);

  state_.Design.Concrete = 28;
  Show();
  EXPECT_EQ(ReadBytes("m-n.out"), kDefaultCurve);
  const ShownPicture picture = InteractionPicture(state_, 471, 359);
  ASSERT_EQ(picture.design.size(), 2u);
  std::size_t design_lines = 0, nominal_lines = 0;
  for (const auto& call : canvas_.calls) {
    design_lines += call.kind == Kind::LineTo && call.pen == kDesignCurveColor;
    nominal_lines += call.kind == Kind::LineTo && call.pen == kNominalCurveColor;
  }
  // Every point but the first and Po.
  EXPECT_EQ(design_lines, picture.design[0].Points.size() - 2);
  EXPECT_EQ(nominal_lines, picture.design[1].Points.size() - 2);

  // The nominal tension end, fy As = 420 · 12 · 100 π, lies below the
  // levels' full tension (300 · 12 · 314): the frame reaches down to it.
  EXPECT_NEAR(picture.ranges.YMin, -420 * 1200 * std::numbers::pi / 1e3, 1e-9);
  const int32_t balanced = [&] {
    for (std::size_t i = 0; i < picture.design[0].Points.size(); ++i)
      if (picture.design[0].Points[i].Key == "balanced") return picture.count + 1 + int32_t(i);
    return 0;
  }();
  const ChartPixel pixel = PointPixel(picture, balanced);
  EXPECT_TRUE(Readout(picture, PointNear(picture, pixel.X, pixel.Y))
                  .starts_with("ACI 318 设计曲线 φPn-φMn 界限\n中和轴深度 "));
  const Lines table = DataTable(picture, ',');
  ASSERT_EQ(table.size(),
            22u + 1 + 1 + picture.design[0].Points.size() + picture.design[1].Points.size());
  EXPECT_EQ(table[22], "");
  EXPECT_EQ(table[23], "curve,point,neutral_axis_depth_mm,axial_force_kN,moment_kNm,phi");

  RecordingCanvas marked;
  MarkDesignKeyPoints(marked, picture.ranges, picture.design);
  EXPECT_EQ(marked.Of(Kind::Rectangle).size(), 16u);  // 8 key points on each curve
  EXPECT_EQ(marked.Of(Kind::Text).size(), 8u);        // labelled on the design curve
}

// The curve and its file lines are values of their own: read without the
// window's state they give the same picture and the same "m-n.out".
TEST_F(InteractionCurveTest, TheCurveNeedsNoWindowState) {
  WriteDefaultLevels();
  const InteractionCurve curve = ReadInteractionCurve(20, 1130.4, -11630.4);
  ASSERT_EQ(curve.Levels, 21);
  EXPECT_EQ(curve.PeakMoments[1], -3);
  EXPECT_EQ(curve.AxialForces[21], 11630.4);
  SaveLines(InteractionCurveLines(curve), "curve.out");
  EXPECT_EQ(ReadBytes("curve.out"), kDefaultCurve);

  RecordingCanvas alone;
  DrawInteractionCurve(curve, alone);
  ShowInteractionCurve(state_, canvas_);
  EXPECT_EQ(alone.Image(), canvas_.Image());
}

TEST_F(InteractionCurveTest, WritesAPointUnderACommaLocale) {
  WriteDefaultLevels();
  SetRegionalDecimal(',');
  ShowInteractionCurve(state_, canvas_);
  SetRegionalDecimal('.');
  EXPECT_EQ(ReadBytes("m-n.out"), kDefaultCurve);
  EXPECT_EQ(canvas_.Of(Kind::Text).back().text, "1,16E+004");
}

TEST_F(InteractionCurveTest, AMissingLevelStopsBeforeDrawing) {
  WriteDefaultLevels();
  std::filesystem::remove(LevelFile(5));
  WriteBytes("m-n.out", "earlier\r\n");
  const QImage before = canvas_.Image();
  const Failure failure = ExpectFailure(FailureKind::FileOpen, [this] { Show(); });
  EXPECT_NE(failure.Message().find((dir_.Path() / "P5_mom_cur.out").string()), std::string::npos);
  EXPECT_EQ(state_.PeakMoments.size(), 22u);
  EXPECT_EQ(state_.PeakMoments[4], 1024);
  EXPECT_NEAR(state_.LevelForces[4], 783.72, 1e-9);
  EXPECT_EQ(canvas_.Image(), before);
  EXPECT_EQ(ReadBytes("m-n.out"), "earlier\r\n");
}

TEST_F(InteractionCurveTest, AnUnwritableOutputFailsAfterTheChart) {
  WriteDefaultLevels();
  std::filesystem::create_directory("m-n.out");
  const Failure failure = ExpectFailure(FailureKind::FileCreate, [this] { Show(); });
  EXPECT_EQ(failure.Message().rfind(
                "Cannot create file \"" + (dir_.Path() / "m-n.out").string() + "\". ", 0),
            0u);
  EXPECT_EQ(canvas_.Pixel(200, 311), kBlue);
}

TEST_F(InteractionCurveTest, OneLevelStepFailsTheForceDivisionAfterReadingLevelOne) {
  struct Case {
    double tension, compression;
    FailureKind kind;
    const char* text;
  };
  const Case cases[] = {
      {1130.4, -11630.4, FailureKind::DivideByZero, "Floating point division by zero."},
      {0, 0, FailureKind::InvalidOperation, "Invalid floating point operation."},
  };
  WriteBytes(LevelFile(1), "1 \n7 \n2 \n");
  for (const auto& c : cases) {
    state_.AxialLevels = 0;
    state_.TensionCapacity = c.tension;
    state_.CompressionCapacity = c.compression;
    const QImage before = canvas_.Image();
    EXPECT_EQ(FailureDisplayText(ExpectFailure(c.kind, [this] { Show(); }).Message()), c.text);
    ASSERT_EQ(state_.PeakMoments.size(), 2u);
    EXPECT_EQ(state_.PeakMoments[1], 7);
    EXPECT_EQ(canvas_.Image(), before);
    EXPECT_FALSE(std::filesystem::exists("m-n.out"));
  }
}

TEST_F(InteractionCurveTest, TooFewLevelsFailBeforeAnythingIsRead) {
  struct Case {
    int32_t levels;
    FailureKind kind;
  };
  const Case cases[] = {
      {-1, FailureKind::InvalidInput},   {-2, FailureKind::InvalidInput},
      {-3, FailureKind::RangeCheck},     {INT32_MIN, FailureKind::RangeCheck},
      {1001, FailureKind::InvalidInput}, {INT32_MAX, FailureKind::InvalidInput},
  };
  WriteDefaultLevels();
  for (const auto& c : cases) {
    state_.AxialLevels = c.levels;
    state_.PeakMoments = {0, 1};
    const Failure failure = ExpectFailure(c.kind, [this] { Show(); });
    if (c.kind == FailureKind::RangeCheck)
      EXPECT_EQ(FailureDisplayText(failure.Message()), "Range check error.");
    else
      EXPECT_NE(failure.Message().find(std::to_string(c.levels)), std::string::npos);
    EXPECT_EQ(state_.PeakMoments, (RealTable{0, 1})) << c.levels;
    EXPECT_TRUE(canvas_.calls.empty());
    EXPECT_FALSE(std::filesystem::exists("m-n.out"));
  }
}

TEST_F(InteractionCurveTest, EqualPeaksFailAtTheFirstPointWithTheFrameDrawn) {
  state_.AxialLevels = 2;
  for (int i = 1; i <= 3; ++i) WriteBytes(LevelFile(i), "5 \n");
  ExpectFailure(FailureKind::InvalidOperation, [this] { Show(); });
  EXPECT_EQ(canvas_.Of(Kind::Text).size(), 17u);
  EXPECT_TRUE(canvas_.Of(Kind::Ellipse).empty());
  EXPECT_EQ(canvas_.PenWidth(), 2);
  EXPECT_FALSE(std::filesystem::exists("m-n.out"));
}

}  // namespace
}  // namespace marrowick
