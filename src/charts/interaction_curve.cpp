#include "charts/interaction_curve.h"

#include <cstdint>

#include "charts/chart_frame.h"
#include "core/text_file.h"

namespace marrowick {

void DrawInteractionCurve(const InteractionCurve& curve, Canvas& canvas) {
  const int32_t n = curve.Levels;
  const ScaleRanges ranges = DrawChartFrame(canvas, curve.PeakMoments, curve.AxialForces, n);
  canvas.SetPenWidth(2);
  canvas.SetPenColor(kRed);
  for (std::size_t i = 1; i <= static_cast<std::size_t>(n); ++i) {
    const ChartPixel point = ChartPoint(ranges, curve.PeakMoments[i], curve.AxialForces[i]);
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
}

void ShowInteractionCurve(AnalysisState& state, Canvas& canvas,
                          const std::filesystem::path& folder) {
  const InteractionCurve curve = ReadInteractionCurve(
      state.AxialLevels, state.TensionCapacity, state.CompressionCapacity,
      {state.PeakMoments, state.LevelForces}, folder, MomentDirectionOf(state.BendingAngle));
  DrawInteractionCurve(curve, canvas);
  // "m-n.out" keeps a point whatever the regional symbol: its two columns are
  // joined by a comma.
  SaveLines(InteractionCurveLines(curve), (folder / "m-n.out").string());
}

}  // namespace marrowick
