#include "charts/moment_curvature_chart.h"

#include "charts/chart_frame.h"

namespace marrowick {

void DrawMomentCurvatureChart(const MomentCurvatureSeries& series, Canvas& canvas) {
  const ScaleRanges ranges =
      DrawChartFrame(canvas, series.Curvatures, series.Moments, series.Count);

  canvas.SetPenWidth(2);
  canvas.SetPenColor(kRed);
  for (int32_t j = 1; j <= series.Count; ++j) {
    const ChartPixel point = ChartPoint(ranges, series.Curvatures[static_cast<std::size_t>(j)],
                                        series.Moments[static_cast<std::size_t>(j)]);
    if (j == 1)
      canvas.MoveTo(point.X, point.Y);
    else
      canvas.LineTo(point.X, point.Y);
  }
  canvas.SetPenWidth(1);
}

void ShowMomentCurvatureChart(AnalysisState& state, Canvas& canvas,
                              const std::filesystem::path& folder) {
  // The whole file is read before anything is drawn, so a bad line leaves the
  // previous picture in place.
  const MomentCurvatureSeries series =
      ReadMomentCurvatureSeries((folder / "mom_cur.out").string(),
                                {state.SeriesCount, state.MomentSeries, &state.CurvatureSeries},
                                MomentDirectionOf(state.BendingAngle));
  state.CoreEdgeStrains.clear();
  if (state.Confinement)
    state.CoreEdgeStrains =
        ReadCoreEdgeStrains((folder / kDeformationFile).string(), state.Confinement->CoreHeight);
  DrawMomentCurvatureChart(series, canvas);
}

}  // namespace marrowick
