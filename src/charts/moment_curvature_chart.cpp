#include "charts/moment_curvature_chart.h"

#include "charts/chart_frame.h"
#include "results/result_file.h"

namespace marrowick {

void DrawMomentCurvatureChart(AnalysisState& state, Canvas& canvas) {
  // The whole file is read before anything is drawn, so a bad line leaves the
  // previous picture in place.
  ReadResultFile(state, "mom_cur.out", state.SeriesCount, state.MomentSeries,
                 &state.CurvatureSeries);
  const ScaleRanges ranges =
      DrawChartFrame(canvas, state.CurvatureSeries, state.MomentSeries, state.SeriesCount);

  canvas.SetPenWidth(2);
  canvas.SetPenColor(kRed);
  for (int32_t j = 1; j <= state.SeriesCount; ++j) {
    const ChartPixel point = ChartPoint(ranges, state.CurvatureSeries[static_cast<std::size_t>(j)],
                                        state.MomentSeries[static_cast<std::size_t>(j)]);
    if (j == 1)
      canvas.MoveTo(point.X, point.Y);
    else
      canvas.LineTo(point.X, point.Y);
  }
  canvas.SetPenWidth(1);
}

}  // namespace marrowick
