// The fiber section's resultants: equilibrium with its fibers, the centroid it
// bends about, and a tangent that is the derivative of its resultants.

#include <gtest/gtest.h>

#include <cmath>

#include "model/concrete01.h"
#include "model/fiber_section.h"
#include "model/steel02.h"

namespace marrowick::engine {
namespace {

TEST(FiberSection, ResultantsBalanceTheFiberForcesAboutTheCentroid) {
  // Areas 2 at y = 0 and 1 at y = 3: the centroid is at y = 1.
  ElasticMaterial elastic(1, 10.0);
  FiberSection section(1);
  section.addFiber(0.0, 2.0, elastic);
  section.addFiber(3.0, 1.0, elastic);
  section.finish();
  EXPECT_DOUBLE_EQ(section.centroid(), 1.0);

  // Strains 0.01 − (y − 1)·0.002: 0.012 below, 0.006 above.
  section.setTrialDeformation(0.01, 0.002);
  const SectionResponse& r = section.response();
  EXPECT_NEAR(r.axialForce, 10.0 * (0.012 * 2.0 + 0.006 * 1.0), 1e-12);
  EXPECT_NEAR(r.moment, 10.0 * (0.012 * 2.0 * 1.0 + 0.006 * 1.0 * -2.0), 1e-12);
  EXPECT_DOUBLE_EQ(r.k11, 30.0);
  EXPECT_DOUBLE_EQ(r.k12, 0.0);  // axial and bending uncouple about the centroid
  EXPECT_DOUBLE_EQ(r.k22, 10.0 * (2.0 * 1.0 + 1.0 * 4.0));
}

TEST(FiberSection, InSpaceBothMomentsAndTheTwistBalanceTheFibers) {
  // Areas 2 at (0, 0), 1 at (3, 0) and 1 at (0, 4): the centroid is at
  // (0.75, 1), the lever arms y − ȳ are −0.75, 2.25, −0.75 and z − z̄ are −1,
  // −1, 3.
  ElasticMaterial elastic(1, 10.0);
  FiberSection section(1, 7.0);
  section.addFiber(0.0, 0.0, 2.0, elastic);
  section.addFiber(3.0, 0.0, 1.0, elastic);
  section.addFiber(0.0, 4.0, 1.0, elastic);
  section.finish();
  EXPECT_DOUBLE_EQ(section.centroid(), 0.75);
  EXPECT_DOUBLE_EQ(section.centroidZ(), 1.0);

  // ε = 0.01 − (y − ȳ)·0.002 + (z − z̄)·0.001: 0.0105, 0.0045 and 0.0145.
  section.setTrialDeformation(0.01, 0.002, 0.001, 0.5);
  const SectionResponse& r = section.response();
  EXPECT_NEAR(r.axialForce, 10.0 * (0.0105 * 2 + 0.0045 + 0.0145), 1e-12);
  EXPECT_NEAR(r.moment, -10.0 * (0.0105 * 2 * -0.75 + 0.0045 * 2.25 + 0.0145 * -0.75), 1e-12);
  EXPECT_NEAR(r.momentY, 10.0 * (0.0105 * 2 * -1 + 0.0045 * -1 + 0.0145 * 3), 1e-12);
  EXPECT_DOUBLE_EQ(r.torque, 3.5);
  // EA = 40; Σ A·y² = 2·0.5625 + 5.0625 + 0.5625 = 6.75; Σ A·z² = 2 + 1 + 9 = 12;
  // Σ A·y·z = 1.5 − 2.25 − 2.25 = −3; about the centroid the first moments vanish.
  const double expected[4][4] = {{40, 0, 0, 0}, {0, 67.5, 30, 0}, {0, 30, 120, 0}, {0, 0, 0, 7}};
  for (int p = 0; p < 4; ++p) {
    for (int q = 0; q < 4; ++q) EXPECT_NEAR(r.tangent(p, q), expected[p][q], 1e-12) << p << q;
  }
}

TEST(FiberSection, EmptySectionHasNoStiffness) {
  FiberSection section(1);
  section.finish();
  section.setTrialDeformation(0.001, 0.001);
  EXPECT_EQ(section.response().k11, 0.0);
  EXPECT_EQ(section.centroid(), 0.0);
}

// A small reinforced section: 6 concrete layers and two bars.
FiberSection reinforcedSection() {
  Concrete01 concrete(1, -35.0, -0.002, -15.0, -0.0033);
  Steel02::Parameters p;
  p.fy = 300.0;
  p.e0 = 215000.0;
  p.b = 1e-4;
  Steel02 steel(2, p);
  FiberSection section(1);
  for (int layer = 0; layer < 6; ++layer)
    section.addFiber(-250.0 + 100.0 * layer, 5000.0, concrete);
  section.addFiber(-215.0, 628.0, steel);
  section.addFiber(215.0, 628.0, steel);
  section.finish();
  return section;
}

TEST(FiberSection, SymmetricSectionUnderAxialStrainCarriesNoMoment) {
  FiberSection section = reinforcedSection();
  section.setTrialDeformation(-0.0025, 0.0);
  EXPECT_NEAR(section.response().moment, 0.0, 1e-6);
  EXPECT_LT(section.response().axialForce, 0.0);
}

TEST(FiberSection, TangentIsTheDerivativeOfTheResultants) {
  FiberSection section = reinforcedSection();
  const double e0 = -0.0008;
  const double kappa = 4e-6;
  const double h = 1e-9;
  section.setTrialDeformation(e0, kappa);
  const SectionResponse k = section.response();
  section.setTrialDeformation(e0 + h, kappa);
  const SectionResponse axialUp = section.response();
  section.setTrialDeformation(e0 - h, kappa);
  const SectionResponse axialDown = section.response();
  section.setTrialDeformation(e0, kappa + h * 1e-3);
  const SectionResponse bendUp = section.response();
  section.setTrialDeformation(e0, kappa - h * 1e-3);
  const SectionResponse bendDown = section.response();

  auto close = [](double numeric, double analytic) {
    EXPECT_NEAR(numeric, analytic, 1e-4 * std::fabs(analytic));
  };
  close((axialUp.axialForce - axialDown.axialForce) / (2 * h), k.k11);
  close((axialUp.moment - axialDown.moment) / (2 * h), k.k12);
  close((bendUp.axialForce - bendDown.axialForce) / (2e-3 * h), k.k12);
  close((bendUp.moment - bendDown.moment) / (2e-3 * h), k.k22);
}

TEST(FiberSection, CopyAndRevertKeepTheCommittedState) {
  FiberSection section = reinforcedSection();
  section.setTrialDeformation(-0.001, 0.0);
  section.commitState();
  const double committed = section.response().axialForce;
  FiberSection copy(section);
  copy.setTrialDeformation(-0.003, 0.0);
  section.setTrialDeformation(-0.003, 0.0);
  section.revertToLastCommit();
  EXPECT_DOUBLE_EQ(section.response().axialForce, committed);
  EXPECT_NE(copy.response().axialForce, committed);
}

}  // namespace
}  // namespace marrowick::engine
