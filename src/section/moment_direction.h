#pragma once

#include <cstdint>

namespace marrowick {

// The direction of the bending moment vector: θ degrees from the section's x
// axis (OpenSees' local z, the bending of today's plane analysis) toward its
// y axis (local y). θ = 0 is bending about x alone.
struct MomentDirection {
  double degrees = 0;  // reduced to [0, 360)
  double cosine = 1;   // exact at the multiples of 90°
  double sine = 0;
  // The reference moments of the bending pattern per unit load factor, in
  // N·mm, rounded as the script writes them ("%0.4E" of 1e6·cos θ and
  // 1e6·sin θ): the moments the solver applies are the load factor times
  // these.
  double reference_mz = 1e6;
  double reference_my = 0;
  // DisplacementControl drives the rotation about z (dof 6) when θ lies
  // within 45° of 0° or 180° (ties included), else the rotation about y
  // (dof 5): the larger moment component's rotation.
  bool drives_z = true;

  bool Uniaxial() const { return degrees == 0; }
};

// θ in degrees, any finite value (what 弯矩方向夹角 holds).
MomentDirection MomentDirectionOf(double theta_degrees);

// One recorded step of a biaxial run: the load factor and the two
// curvatures, and what follows from them.
struct BiaxialStep {
  double mz_kNm = 0;
  double my_kNm = 0;
  double moment_kNm = 0;   // the resultant √(Mz² + My²)
  double curvature = 0;    // in the moment's direction: κz·cos θ + κy·sin θ
  double curvature_z = 0;  // 1/mm
  double curvature_y = 0;
};
BiaxialStep BiaxialStepOf(const MomentDirection& direction, double load_factor, double curvature_z,
                          double curvature_y);

// The Mx–My capacity contour: moment-curvature runs at one axial force with
// the moment vector turned in kContourRuns equal steps of 15° from 0°, run k
// (counted from 1) at 15·(k − 1) degrees in "A<k>.tcl", recording into
// "A<k>_mom_cur.out".
inline constexpr int32_t kContourRuns = 24;
inline double ContourAngle(int32_t run) {
  return 15.0 * (run - 1);
}

}  // namespace marrowick
