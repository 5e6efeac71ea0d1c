#include "results/export.h"

#include <initializer_list>

#include "section/fiber_model.h"

namespace marrowick {

namespace {

std::string Row(std::initializer_list<std::string> cells, char separator) {
  std::string row;
  for (const std::string& cell : cells) {
    if (!row.empty()) row += separator;
    row += cell;
  }
  return row;
}

const char* FiberKind(const TFiber& fiber, bool circular) {
  if (fiber.CornerBar == 1) return "corner_bar";
  if (fiber.MatTag == kCoreMaterial) return "core_concrete";
  if (fiber.MatTag == 1) return "concrete";
  return circular ? "bar" : "side_bar";
}

}  // namespace

Lines MomentCurvatureTable(const MomentCurvatureSeries& series, char separator) {
  if (series.Biaxial) {
    Lines lines{Row({"curvature_per_mm", "moment_kNm", "mz_kNm", "my_kNm", "curvature_z_per_mm",
                     "curvature_y_per_mm"},
                    separator)};
    for (std::size_t i = 1; i <= static_cast<std::size_t>(series.Count); ++i)
      lines.push_back(
          Row({RoundTripText(series.Curvatures[i]), RoundTripText(series.Moments[i]),
               RoundTripText(series.MomentsZ[i]), RoundTripText(series.MomentsY[i]),
               RoundTripText(series.CurvaturesZ[i]), RoundTripText(series.CurvaturesY[i])},
              separator));
    return lines;
  }
  Lines lines{Row({"curvature_per_mm", "moment_kNm"}, separator)};
  for (std::size_t i = 1; i <= static_cast<std::size_t>(series.Count); ++i)
    lines.push_back(
        Row({RoundTripText(series.Curvatures[i]), RoundTripText(series.Moments[i])}, separator));
  return lines;
}

Lines InteractionTable(const InteractionCurve& curve, char separator) {
  Lines lines{Row({"level", "axial_force_kN", "peak_moment_kNm"}, separator)};
  for (std::size_t i = 1; i <= static_cast<std::size_t>(curve.Levels); ++i)
    lines.push_back(Row({std::to_string(i), RoundTripText(curve.AxialForces[i]),
                         RoundTripText(curve.PeakMoments[i])},
                        separator));
  return lines;
}

Lines FiberTable(const std::vector<TFiber>& fibers, int32_t fiber_count, char separator,
                 bool circular) {
  Lines lines{Row({"kind", "y_mm", "z_mm", "area_mm2"}, separator)};
  for (std::size_t i = 1; i <= static_cast<std::size_t>(fiber_count); ++i) {
    const TFiber& fiber = fibers[i];
    lines.push_back(Row({FiberKind(fiber, circular), RoundTripText(fiber.Y), RoundTripText(fiber.X),
                         RoundTripText(fiber.Area)},
                        separator));
  }
  return lines;
}

}  // namespace marrowick
