#include "results/interaction_curve.h"

#include <string>

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "section/axial_levels.h"

namespace marrowick {

namespace {

// The largest first value of a level's file. A file without lines means the
// solver found no equilibrium at all under that axial force (so it is at the
// full compression capacity): the section carries no moment there.
double PeakMoment(const LevelMoments& level) {
  if (level.Count < 1) return 0;
  double peak = level.Moments[1];
  for (std::size_t j = 1; j <= static_cast<std::size_t>(level.Count); ++j)
    if (!(peak > level.Moments[j])) peak = level.Moments[j];
  return peak;
}

}  // namespace

InteractionCurve ReadInteractionCurve(int32_t axial_levels, double tension_capacity,
                                      double compression_capacity,
                                      const InteractionCurveTables& tables,
                                      const std::filesystem::path& folder,
                                      const MomentDirection& direction) {
  const int64_t slots = static_cast<int64_t>(axial_levels) + 2;
  if (slots < 0) FailRangeCheck();
  if (slots < 2)
    FailInvalidInput("Cannot draw the N-M curve: the number of axial levels is " +
                     std::to_string(axial_levels) + ", and at least 1 is needed");
  if (axial_levels > kMaxAxialLevels)
    FailInvalidInput("Cannot draw the N-M curve: the number of axial levels is " +
                     std::to_string(axial_levels) + ", and at most " +
                     std::to_string(kMaxAxialLevels) + " are allowed");
  tables.AxialForces.resize(static_cast<std::size_t>(slots));
  tables.PeakMoments.resize(static_cast<std::size_t>(slots));

  const int32_t n = static_cast<int32_t>(slots - 1);
  for (int32_t i = 1; i <= n; ++i) {
    const LevelMoments level = ReadLevelMoments(
        (folder / FormatTemplate("P%D_mom_cur.out", {i}, kFileDecimal)).string(), direction);
    tables.PeakMoments[static_cast<std::size_t>(i)] = PeakMoment(level);
    tables.AxialForces[static_cast<std::size_t>(i)] =
        ChartLevelForce(tension_capacity, compression_capacity, axial_levels, i);
  }
  return {n, tables.AxialForces, tables.PeakMoments};
}

InteractionCurve ReadInteractionCurve(int32_t axial_levels, double tension_capacity,
                                      double compression_capacity,
                                      const std::filesystem::path& folder,
                                      const MomentDirection& direction) {
  RealTable peak_moments;
  RealTable axial_forces;
  return ReadInteractionCurve(axial_levels, tension_capacity, compression_capacity,
                              {peak_moments, axial_forces}, folder, direction);
}

std::vector<int32_t> LevelStepCounts(int32_t axial_levels, const std::filesystem::path& folder) {
  std::vector<int32_t> counts;
  for (int32_t level = 1; level <= axial_levels + 1; ++level)
    counts.push_back(
        ReadLevelMoments(
            (folder / FormatTemplate("P%D_mom_cur.out", {level}, kFileDecimal)).string())
            .Count);
  return counts;
}

Lines InteractionCurveLines(const InteractionCurve& curve) {
  Lines lines;
  lines.push_back("N-M curve data: ");
  for (std::size_t i = 1; i <= static_cast<std::size_t>(curve.Levels); ++i)
    lines.push_back(FormatTemplate("%0.4E,%0.4E",
                                   {Extended{curve.PeakMoments[i]}, Extended{curve.AxialForces[i]}},
                                   kFileDecimal));
  return lines;
}

}  // namespace marrowick
