#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace marrowick {

// One point of a moment-curvature curve.
struct CurvaturePoint {
  double CurvaturePerMm = 0;
  double MomentKNm = 0;
  friend bool operator==(const CurvaturePoint&, const CurvaturePoint&) = default;
};

// The points an engineer reads off a moment-curvature curve. Each is absent
// (not zero) when the curve cannot give it: fewer than two points, or no
// positive moment.
struct MomentCurvatureKeyPoints {
  // The largest moment, its first occurrence.
  std::optional<CurvaturePoint> Peak;
  // Park's secant yield: the curvature at 0.75 of the peak moment, divided by
  // 0.75; the moment is the peak moment.
  std::optional<CurvaturePoint> Yield;
  // Where the moment has fallen to 0.8 of the peak after it, or the last point
  // when it never falls that far.
  std::optional<CurvaturePoint> Ultimate;
  // Ultimate over yield curvature; absent also when the yield curvature is 0.
  std::optional<double> Ductility;
};

// curvatures[i] and moments[i] are the recorded steps in file order (index 0
// is the first step: pass a 1-based table as table.subspan(1)). The curve
// starts from (0, 0) before the first step. Uses the shorter of the two.
MomentCurvatureKeyPoints FindMomentCurvatureKeyPoints(std::span<const double> curvatures,
                                                      std::span<const double> moments);

// The level of the interaction curve with the largest peak moment.
struct BalancedPoint {
  int32_t Level = 0;        // counted from 1, as the sweep's file names
  double AxialForceKN = 0;  // compression positive
  double MomentKNm = 0;
  friend bool operator==(const BalancedPoint&, const BalancedPoint&) = default;
};

struct InteractionKeyPoints {
  // Absent for fewer than two levels or no positive peak moment.
  std::optional<BalancedPoint> Balanced;
  // The moment at zero axial force, interpolated between the first pair of
  // neighbouring levels whose forces bracket zero; absent when none does.
  std::optional<double> PureBendingMomentKNm;
};

// forces[i] and peak_moments[i] belong to level i + 1 (index 0 is level 1:
// pass 1-based tables as table.subspan(1)). Uses the shorter of the two.
InteractionKeyPoints FindInteractionKeyPoints(std::span<const double> forces,
                                              std::span<const double> peak_moments);

}  // namespace marrowick
