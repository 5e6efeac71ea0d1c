#include "charts/interaction_curve.h"

#include <algorithm>
#include <cstdint>

#include "charts/chart_frame.h"
#include "core/text_file.h"

namespace marrowick {

InteractionFrame InteractionFrameTables(const RealTable& moments, const RealTable& forces,
                                        int32_t n, const std::vector<DesignCurve>& design) {
  InteractionFrame frame{moments, forces, n};
  if (design.empty()) return frame;
  const auto kept = static_cast<std::size_t>(std::max(n, 0)) + 1;
  frame.Moments.resize(kept);
  frame.Forces.resize(kept);
  for (const DesignCurve& curve : design)
    for (const DesignPoint& point : curve.Points) {
      frame.Moments.push_back(point.Moment);
      frame.Forces.push_back(point.AxialForce);
    }
  frame.Count = static_cast<int32_t>(frame.Moments.size() - 1);
  return frame;
}

void DrawInteractionCurve(const InteractionCurve& curve, Canvas& canvas,
                          const std::vector<DesignCurve>& design) {
  const int32_t n = curve.Levels;
  ScaleRanges ranges;
  if (design.empty()) {
    ranges = DrawChartFrame(canvas, curve.PeakMoments, curve.AxialForces, n);
  } else {
    const InteractionFrame frame =
        InteractionFrameTables(curve.PeakMoments, curve.AxialForces, n, design);
    ranges = DrawChartFrame(canvas, frame.Moments, frame.Forces, frame.Count);
  }
  canvas.SetPenWidth(2);
  for (const DesignCurve& line : design) {
    canvas.SetPenColor(line.Name == "nominal" ? kNominalCurveColor : kDesignCurveColor);
    bool first = true;
    for (const DesignPoint& point : line.Points) {
      // Po lies above the cap: a key point, not part of the line.
      if (point.Key == "po") continue;
      const ChartPixel pixel = ChartPoint(ranges, point.Moment, point.AxialForce);
      if (first)
        canvas.MoveTo(pixel.X, pixel.Y);
      else
        canvas.LineTo(pixel.X, pixel.Y);
      first = false;
    }
  }
  canvas.SetPenColor(kRed);
  DrawMarkedLine(canvas, ranges, curve.PeakMoments, curve.AxialForces, n);

  canvas.SetPenColor(kBlue);
  const int32_t zero_row = ChartRow(ranges, 0);
  canvas.MoveTo(80, zero_row);
  canvas.LineTo(ranges.Width - 80, zero_row);
  canvas.SetPenWidth(1);
}

void ShowInteractionCurve(AnalysisState& state, Canvas& canvas,
                          const std::filesystem::path& folder) {
  const std::vector<DesignCurve> design = DesignCurvesOf(state);
  const InteractionCurve curve = ReadInteractionCurve(
      state.AxialLevels, state.TensionCapacity, state.CompressionCapacity,
      {state.PeakMoments, state.LevelForces}, folder, MomentDirectionOf(state.BendingAngle));
  DrawInteractionCurve(curve, canvas, design);
  // "m-n.out" keeps a point whatever the regional symbol: its two columns are
  // joined by a comma.
  SaveLines(InteractionCurveLines(curve), (folder / "m-n.out").string());
}

}  // namespace marrowick
