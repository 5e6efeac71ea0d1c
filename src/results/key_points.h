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

// What ended the curve at its ultimate point.
enum class UltimateCriterion {
  MomentDrop,  // the moment fell to 0.8 of the peak
  LastStep,    // the curve ends before either
  CoreStrain,  // the confined core's edge reached its crushing strain
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
  std::optional<UltimateCriterion> UltimateBy;
  // Ultimate over yield curvature; absent also when the yield curvature is 0.
  std::optional<double> Ductility;
};

// curvatures[i] and moments[i] are the recorded steps in file order (index 0
// is the first step: pass a 1-based table as table.subspan(1)). The curve
// starts from (0, 0) before the first step. Uses the shorter of the two.
MomentCurvatureKeyPoints FindMomentCurvatureKeyPoints(std::span<const double> curvatures,
                                                      std::span<const double> moments);

// The same for a confined section, with the compressive strain at the core's
// edge at each step (core_edge_strains[i] beside curvatures[i]): the
// ultimate point is the first along the curve of the edge strain reaching
// crushing_strain (curvature and moment interpolated linearly between the
// two steps around it, by the strain), the moment drop and the last step.
MomentCurvatureKeyPoints FindMomentCurvatureKeyPoints(std::span<const double> curvatures,
                                                      std::span<const double> moments,
                                                      std::span<const double> core_edge_strains,
                                                      double crushing_strain);

// The compressive strain (a positive magnitude) at the edge of a core of
// that height bent about its centre, by plane sections from the section's
// axial strain and curvature as the solver records them (compression
// negative; fibre strain ε0 − y·κ).
double CoreEdgeStrain(double axial_strain, double curvature, double core_height);

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
