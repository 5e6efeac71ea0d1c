#include "charts/interaction_curve.h"

#include <cstdint>
#include <string>

#include "charts/chart_frame.h"
#include "core/decimal_symbol.h"
#include "core/extended_arithmetic.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_file.h"
#include "results/result_file.h"
#include "solver/axial_sweep.h"

namespace marrowick {

namespace {

// The largest first value of a level's file. A file without lines means the
// solver found no equilibrium at all under that axial force (so it is at the
// full compression capacity): the section carries no moment there.
double PeakMoment(const RealTable& series, int32_t count) {
  if (count < 1) return 0;
  double peak = series[1];
  for (std::size_t j = 1; j <= static_cast<std::size_t>(count); ++j)
    if (!(peak > series[j])) peak = series[j];
  return peak;
}

}  // namespace

void DrawInteractionCurve(AnalysisState& state, Canvas& canvas) {
  const int64_t slots = static_cast<int64_t>(state.AxialLevels) + 2;
  if (slots < 0) FailRangeCheck();
  if (slots < 2)
    FailInvalidInput("Cannot draw the N-M curve: the number of axial levels is " +
                     std::to_string(state.AxialLevels) + ", and at least 1 is needed");
  if (state.AxialLevels > kMaxAxialLevels)
    FailInvalidInput("Cannot draw the N-M curve: the number of axial levels is " +
                     std::to_string(state.AxialLevels) + ", and at most " +
                     std::to_string(kMaxAxialLevels) + " are allowed");
  state.LevelForces.resize(static_cast<std::size_t>(slots));
  state.PeakMoments.resize(static_cast<std::size_t>(slots));

  const int32_t n = static_cast<int32_t>(slots - 1);
  for (int32_t i = 1; i <= n; ++i) {
    RealTable level_series;
    int32_t count = 0;
    ReadResultFile(state, FormatTemplate("P%D_mom_cur.out", {i}, kFileDecimal), count,
                   level_series);
    state.PeakMoments[static_cast<std::size_t>(i)] = PeakMoment(level_series, count);

    // Level i's axial load, in kN with compression positive: the capacity
    // difference divided by the step count first, as the sweep stepped it.
    const Extended tension = state.TensionCapacity;
    const Extended step = Divide(tension - state.CompressionCapacity, state.AxialLevels);
    state.LevelForces[static_cast<std::size_t>(i)] =
        StoreDouble(-(tension - step * static_cast<Extended>(i - 1)));
  }

  const ScaleRanges ranges = DrawChartFrame(canvas, state.PeakMoments, state.LevelForces, n);
  canvas.SetPenWidth(2);
  canvas.SetPenColor(kRed);
  for (std::size_t i = 1; i <= static_cast<std::size_t>(n); ++i) {
    const ChartPixel point = ChartPoint(ranges, state.PeakMoments[i], state.LevelForces[i]);
    canvas.Ellipse(point.X - 4, point.Y - 4, point.X + 4, point.Y + 4);
    if (i == 1)
      canvas.MoveTo(point.X, point.Y);
    else
      canvas.LineTo(point.X, point.Y);
  }

  canvas.SetPenColor(kBlue);
  const int32_t zero_row = ChartRow(ranges, 0);
  canvas.MoveTo(80, zero_row);
  canvas.LineTo(ranges.Width - 80, zero_row);
  canvas.SetPenWidth(1);

  // "m-n.out" keeps a point whatever the regional symbol: its two columns are
  // joined by a comma.
  state.TextLines.clear();
  state.TextLines.push_back("N-M curve data: ");
  for (std::size_t i = 1; i <= static_cast<std::size_t>(n); ++i)
    state.TextLines.push_back(FormatTemplate(
        "%0.4E,%0.4E", {Extended{state.PeakMoments[i]}, Extended{state.LevelForces[i]}},
        kFileDecimal));
  SaveLines(state.TextLines, "m-n.out");
}

}  // namespace marrowick
