#include "results/key_points.h"

#include <algorithm>
#include <cmath>

namespace marrowick {

namespace {

// The curvature at which the segment from `before` to `after` reaches the
// moment `level`; the caller guarantees the two moments differ.
double CurvatureAt(double level, CurvaturePoint before, CurvaturePoint after) {
  return before.CurvaturePerMm + (level - before.MomentKNm) *
                                     (after.CurvaturePerMm - before.CurvaturePerMm) /
                                     (after.MomentKNm - before.MomentKNm);
}

void SetDuctility(MomentCurvatureKeyPoints& keys) {
  keys.Ductility.reset();
  const double yield_curvature = keys.Yield->CurvaturePerMm;
  const double ductility = keys.Ultimate->CurvaturePerMm / yield_curvature;
  if (yield_curvature != 0 && std::isfinite(ductility)) keys.Ductility = ductility;
}

// The key points, and the step that ends the curve's segment in which its
// ultimate point lies (the last step when the moment never drops).
MomentCurvatureKeyPoints KeyPoints(std::span<const double> curvatures,
                                   std::span<const double> moments, std::size_t& ultimate_step) {
  const std::size_t n = std::min(curvatures.size(), moments.size());
  MomentCurvatureKeyPoints keys;
  if (n < 2) return keys;
  auto point = [&](std::size_t i) { return CurvaturePoint{curvatures[i], moments[i]}; };

  std::size_t peak = 0;
  for (std::size_t i = 1; i < n; ++i)
    if (moments[i] > moments[peak]) peak = i;
  const double peak_moment = moments[peak];
  if (!(peak_moment > 0)) return keys;
  keys.Peak = point(peak);

  // The first step at or above 0.75 of the peak exists (the peak itself), and
  // the one before it, or the origin, lies below that level.
  const double yield_level = 0.75 * peak_moment;
  std::size_t first = 0;
  while (moments[first] < yield_level) ++first;
  const CurvaturePoint before = first == 0 ? CurvaturePoint{} : point(first - 1);
  const double yield_curvature = CurvatureAt(yield_level, before, point(first)) / 0.75;
  keys.Yield = CurvaturePoint{yield_curvature, peak_moment};

  const double ultimate_level = 0.8 * peak_moment;
  keys.Ultimate = point(n - 1);
  keys.UltimateBy = UltimateCriterion::LastStep;
  ultimate_step = n - 1;
  for (std::size_t i = peak + 1; i < n; ++i) {
    if (moments[i] <= ultimate_level) {
      keys.Ultimate =
          CurvaturePoint{CurvatureAt(ultimate_level, point(i - 1), point(i)), ultimate_level};
      keys.UltimateBy = UltimateCriterion::MomentDrop;
      ultimate_step = i;
      break;
    }
  }
  SetDuctility(keys);
  return keys;
}

}  // namespace

MomentCurvatureKeyPoints FindMomentCurvatureKeyPoints(std::span<const double> curvatures,
                                                      std::span<const double> moments) {
  std::size_t ultimate_step = 0;
  return KeyPoints(curvatures, moments, ultimate_step);
}

MomentCurvatureKeyPoints FindMomentCurvatureKeyPoints(std::span<const double> curvatures,
                                                      std::span<const double> moments,
                                                      std::span<const double> core_edge_strains,
                                                      double crushing_strain) {
  std::size_t ultimate_step = 0;
  MomentCurvatureKeyPoints keys = KeyPoints(curvatures, moments, ultimate_step);
  if (!keys.Ultimate) return keys;
  const std::size_t n = std::min({curvatures.size(), moments.size(), core_edge_strains.size()});
  std::size_t crush = 0;
  while (crush < n && !(core_edge_strains[crush] >= crushing_strain)) ++crush;
  if (crush == n) return keys;

  CurvaturePoint crossing{curvatures[crush], moments[crush]};
  if (crush > 0 && core_edge_strains[crush] != core_edge_strains[crush - 1]) {
    const double t = (crushing_strain - core_edge_strains[crush - 1]) /
                     (core_edge_strains[crush] - core_edge_strains[crush - 1]);
    crossing.CurvaturePerMm =
        curvatures[crush - 1] + t * (curvatures[crush] - curvatures[crush - 1]);
    crossing.MomentKNm = moments[crush - 1] + t * (moments[crush] - moments[crush - 1]);
  }
  // The first of the two crossings along the curve; in one segment, the one
  // of smaller curvature.
  if (keys.UltimateBy == UltimateCriterion::MomentDrop &&
      (ultimate_step < crush ||
       (ultimate_step == crush && keys.Ultimate->CurvaturePerMm < crossing.CurvaturePerMm)))
    return keys;
  keys.Ultimate = crossing;
  keys.UltimateBy = UltimateCriterion::CoreStrain;
  SetDuctility(keys);
  return keys;
}

double CoreEdgeStrain(double axial_strain, double curvature, double core_height) {
  // The more compressed of the two edges, at y = ±dc/2.
  return -axial_strain + std::abs(curvature) * core_height / 2;
}

InteractionKeyPoints FindInteractionKeyPoints(std::span<const double> forces,
                                              std::span<const double> peak_moments) {
  const std::size_t n = std::min(forces.size(), peak_moments.size());
  InteractionKeyPoints keys;
  if (n >= 2) {
    std::size_t top = 0;
    for (std::size_t i = 1; i < n; ++i)
      if (peak_moments[i] > peak_moments[top]) top = i;
    if (peak_moments[top] > 0)
      keys.Balanced = BalancedPoint{static_cast<int32_t>(top + 1), forces[top], peak_moments[top]};
  }
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const double n1 = forces[i];
    const double n2 = forces[i + 1];
    if (n1 == n2 || !((n1 <= 0 && 0 <= n2) || (n2 <= 0 && 0 <= n1))) continue;
    const double m1 = peak_moments[i];
    keys.PureBendingMomentKNm = m1 + (0 - n1) * (peak_moments[i + 1] - m1) / (n2 - n1);
    break;
  }
  return keys;
}

}  // namespace marrowick
