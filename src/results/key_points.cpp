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

}  // namespace

MomentCurvatureKeyPoints FindMomentCurvatureKeyPoints(std::span<const double> curvatures,
                                                      std::span<const double> moments) {
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
  for (std::size_t i = peak + 1; i < n; ++i) {
    if (moments[i] <= ultimate_level) {
      keys.Ultimate =
          CurvaturePoint{CurvatureAt(ultimate_level, point(i - 1), point(i)), ultimate_level};
      break;
    }
  }

  const double ductility = keys.Ultimate->CurvaturePerMm / yield_curvature;
  if (yield_curvature != 0 && std::isfinite(ductility)) keys.Ductility = ductility;
  return keys;
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
