// Material laws against points worked out by hand from their defining
// equations (the default concrete and steel of a Marrowick section).

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "concrete01.h"
#include "steel02.h"

namespace marrowick::engine {
namespace {

void expectNear(double actual, double expected, const char* what) {
  EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

// A strain history: each point is set, checked, and committed.
struct Point {
  double strain;
  double stress;
  double tangent;
};

void follow(UniaxialMaterial& material, const std::vector<Point>& path) {
  for (const Point& p : path) {
    SCOPED_TRACE(testing::Message() << "strain " << p.strain);
    material.setTrialStrain(p.strain);
    expectNear(material.getStress(), p.stress, "stress");
    expectNear(material.getTangent(), p.tangent, "tangent");
    material.commitState();
  }
}

Concrete01 defaultConcrete() {
  return Concrete01(1, -35.0, -0.002, -15.0, -0.0033);
}

TEST(Concrete01, EnvelopeFromVirginState) {
  // Ec0 = 2·35/0.002 = 35000; the descent slope is 20/0.0013.
  const double descent = -20.0 / 0.0013;
  const std::vector<Point> points = {
      {-0.001, -26.25, 17500.0},                      // parabola, η = 0.5
      {-0.002, -35.0, descent},                       // the peak starts the descent
      {-0.0025, -35.0 + descent * -0.0005, descent},  // on the descent
      {-0.004, -15.0, 0.0},                           // residual plateau
      {0.001, 0.0, 0.0},                              // no tension
  };
  for (const Point& p : points) {
    Concrete01 concrete = defaultConcrete();
    follow(concrete, {p});
  }
}

TEST(Concrete01, PositiveInputsAreTakenAsCompression) {
  Concrete01 concrete(1, 35.0, 0.002, 15.0, 0.0033);
  EXPECT_DOUBLE_EQ(concrete.initialModulus(), 35000.0);
  follow(concrete, {{-0.001, -26.25, 17500.0}});
}

TEST(Concrete01, UnloadsAndReloadsAfterTwiceThePeakStrain) {
  // εmin = −0.004 lies beyond εcu, so the rule counts εcu: η = 1.65,
  // ratio = 0.145·η² + 0.13·η, εend = ratio·εc0 = −0.001218525, and the
  // unloading slope is 15/(0.004 − 0.001218525).
  Concrete01 concrete = defaultConcrete();
  const double slope = 15.0 / (0.004 - 0.001218525);
  follow(concrete, {{-0.004, -15.0, 0.0},
                    {-0.003, -15.0 + slope * 0.001, slope},             // unloading line
                    {-0.001, 0.0, 0.0},                                 // past εend: gap open
                    {-0.002, slope * (-0.002 + 0.001218525), slope}});  // reloading
  expectNear(concrete.endStrain(), -0.001218525, "end strain");
  expectNear(concrete.unloadSlope(), slope, "unloading slope");
}

TEST(Concrete01, UnloadingRuleUsesTheLinearBranchFromEtaTwo) {
  // With εcu = −0.005, εmin = 2·εc0 is counted as it is: η = 2, ratio 0.834.
  Concrete01 concrete(1, -35.0, -0.002, -15.0, -0.005);
  const double stress = -35.0 + (-20.0 / 0.003) * -0.002;
  follow(concrete, {{-0.004, stress, -20.0 / 0.003}});
  expectNear(concrete.endStrain(), -0.001668, "end strain");
  expectNear(concrete.unloadSlope(), stress / (-0.004 + 0.001668), "unloading slope");
}

TEST(Concrete01, RevertForgetsTheTrialHistory) {
  Concrete01 concrete = defaultConcrete();
  follow(concrete, {{-0.001, -26.25, 17500.0}});
  concrete.setTrialStrain(-0.004);
  concrete.revertToLastCommit();
  EXPECT_DOUBLE_EQ(concrete.getStress(), -26.25);
  EXPECT_DOUBLE_EQ(concrete.minStrain(), -0.001);
  // Unloading now follows the history of −0.001 (εend = 0.10125·εc0, slope
  // 26.25/(0.001 − 0.0002025)), not that of −0.004.
  concrete.setTrialStrain(-0.0005);
  EXPECT_NEAR(concrete.getTangent(), 26.25 / 0.0007975, 1e-8);
}

Steel02 defaultSteel() {
  Steel02::Parameters p;
  p.fy = 300.0;
  p.e0 = 215000.0;
  p.b = 1e-4;
  return Steel02(2, p);
}

TEST(Steel02, FirstLoadingThroughYield) {
  const double epsy = 300.0 / 215000.0;
  const double knee = std::pow(2.0, 1.0 / 15.0);  // q1 = 2 at the yield strain
  const std::vector<Point> points = {
      {0.5 * epsy, 149.9996948597028, 214993.00222262696},
      {epsy, 300.0 * (1e-4 + (1.0 - 1e-4) / knee), 215000.0 * (1e-4 + (1.0 - 1e-4) / (2 * knee))},
      {10.0 * epsy, 300.27, 21.500000000021497},  // on the hardening asymptote
      {-epsy, -300.0 * (1e-4 + (1.0 - 1e-4) / knee), 215000.0 * (1e-4 + (1.0 - 1e-4) / (2 * knee))},
  };
  for (const Point& p : points) {
    Steel02 steel = defaultSteel();
    follow(steel, {p});
  }
}

TEST(Steel02, ReversalAfterYieldingInTension) {
  // From 5εy (σr = 300.12) back to compression: the new asymptote meets the
  // elastic line through the reversal point, and R shrinks with the excursion.
  const double epsy = 300.0 / 215000.0;
  Steel02 steel = defaultSteel();
  steel.setTrialStrain(5.0 * epsy);
  expectNear(steel.getStress(), 300.1199999993447, "stress at 5εy");
  steel.commitState();
  follow(steel, {{3.0 * epsy, -91.70904481147642, 70213.45386187645}});
  EXPECT_EQ(steel.branch(), 2);
  follow(steel, {{-5.0 * epsy, -274.697278732997, 2821.4829079394085}});
}

TEST(Steel02, StandingStillKeepsTheInitialModulus) {
  Steel02 steel = defaultSteel();
  steel.setTrialStrain(0.0);
  EXPECT_EQ(steel.getStress(), 0.0);
  EXPECT_EQ(steel.getTangent(), 215000.0);
  EXPECT_EQ(steel.branch(), 3);
}

TEST(ElasticMaterial, RevertRestoresTheCommittedStress) {
  ElasticMaterial elastic(3, 200.0);
  follow(elastic, {{0.01, 2.0, 200.0}});
  elastic.setTrialStrain(0.02);
  elastic.revertToLastCommit();
  EXPECT_DOUBLE_EQ(elastic.getStress(), 2.0);
}

TEST(UniaxialMaterial, CopiesKeepTheirOwnHistory) {
  Concrete01 original = defaultConcrete();
  std::unique_ptr<UniaxialMaterial> copy = original.copy();
  copy->setTrialStrain(-0.004);
  copy->commitState();
  original.setTrialStrain(-0.001);
  EXPECT_DOUBLE_EQ(original.getStress(), -26.25);
  EXPECT_DOUBLE_EQ(copy->getStress(), -15.0);
}

}  // namespace
}  // namespace marrowick::engine
