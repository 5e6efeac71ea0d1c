#include "section/moment_direction.h"

#include <gtest/gtest.h>

#include <cmath>

namespace marrowick {
namespace {

// Worked by hand: cos 30° = 0.8660254, four digits in the script give
// 8.660E+005 N·mm; the rotation driven is that of the component within 45°.
TEST(MomentDirection, ReducesTheAngleAndPicksTheLargerComponentsRotation) {
  const struct {
    double theta, degrees, mz, my;
    bool drives_z;
  } cases[] = {
      {0, 0, 1e6, 0, true},
      {30, 30, 866000, 500000, true},
      {45, 45, 707100, 707100, true},  // the tie drives z
      {90, 90, 0, 1e6, false},
      {120, 120, -500000, 866000, false},
      {135, 135, -707100, 707100, true},
      {180, 180, -1e6, 0, true},
      {225, 225, -707100, -707100, true},
      {300, 300, 500000, -866000, false},
      {-90, 270, 0, -1e6, false},
      {405, 45, 707100, 707100, true},
      {360, 0, 1e6, 0, true},
      {-720.5, 359.5, 1e6, -8727, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.theta);
    const MomentDirection d = MomentDirectionOf(c.theta);
    EXPECT_NEAR(d.degrees, c.degrees, 1e-12);
    EXPECT_EQ(d.reference_mz, c.mz);
    EXPECT_EQ(d.reference_my, c.my);
    EXPECT_EQ(d.drives_z, c.drives_z);
    EXPECT_EQ(d.Uniaxial(), c.degrees == 0);
  }
  // Exactly one axis at the quarter turns, and no negative zero.
  EXPECT_EQ(MomentDirectionOf(90).cosine, 0.0);
  EXPECT_FALSE(std::signbit(MomentDirectionOf(180).sine));
}

// At 30°, load factor 2, κz = 3e-6, κy = 1e-6: Mz = 2 × 0.866 = 1.732,
// My = 2 × 0.5 = 1, M = √(1.732² + 1²) = 1.999956; κ = 3e-6 × 0.8660254 +
// 1e-6 × 0.5 = 3.0980762e-6.
TEST(MomentDirection, ResultantAndCurvatureInTheMomentsDirection) {
  const BiaxialStep step = BiaxialStepOf(MomentDirectionOf(30), 2, 3e-6, 1e-6);
  EXPECT_DOUBLE_EQ(step.mz_kNm, 1.732);
  EXPECT_DOUBLE_EQ(step.my_kNm, 1.0);
  EXPECT_NEAR(step.moment_kNm, 1.999956, 1e-6);
  EXPECT_NEAR(step.curvature, 3.0980762e-6, 1e-13);
  EXPECT_EQ(step.curvature_y, 1e-6);
}

}  // namespace
}  // namespace marrowick
