// Material laws against points worked out by hand from their defining
// equations (the default concrete and steel of a Marrowick section, and the
// laws of hand-written OpenSees sections).

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "model/concrete01.h"
#include "model/concrete02.h"
#include "model/concrete04.h"
#include "model/elastic_pp.h"
#include "model/steel01.h"
#include "model/steel02.h"

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

// Steel01: fy 60, E0 30000, b 0.01 (εy = 0.002, hardening lines
// σ = 300·ε ± 59.4). Concrete02: fpc −30 at −0.002, fpcu −18 at −0.006,
// lambda 0.1 (so the reloading lines run through the origin), ft 3,
// Ets 1500. ElasticPP: E 200, yield at ±0.01 (±2).
std::unique_ptr<UniaxialMaterial> steel01(double a3 = 0.0) {
  Steel01::Parameters p;
  p.fy = 60.0;
  p.e0 = 30000.0;
  p.b = 0.01;
  p.a3 = a3;
  p.a4 = 1.0;
  return std::make_unique<Steel01>(1, p);
}

std::unique_ptr<UniaxialMaterial> concrete02() {
  return std::make_unique<Concrete02>(
      2, Concrete02::Parameters{-30, -0.002, -18, -0.006, 0.1, 3, 1500});
}

std::unique_ptr<UniaxialMaterial> elasticPP(double down = -0.01, double initial = 0.0) {
  return std::make_unique<ElasticPP>(3, 200.0, 0.01, down, initial);
}

struct Cycle {
  const char* name;
  std::unique_ptr<UniaxialMaterial> (*make)();
  std::vector<Point> path;  // each point committed before the next
};

// Compression, reversal to tension, reversal back to compression.
TEST(MaterialLaws, FollowAFullReversalCycle) {
  const Cycle cycles[] = {
      {"Steel01",
       [] { return steel01(); },
       {{-0.001, -30.0, 30000.0},
        {-0.004, -60.6, 300.0},   // on the lower hardening line
        {-0.002, -0.6, 30000.0},  // elastic unloading
        {0.004, 60.6, 300.0},
        {0.001, -29.4, 30000.0},
        {-0.004, -60.6, 300.0}}},
      // a3 = 1, a4 = 1: the reversal at −0.004 widens the tension side of the
      // band by (0 − (−0.004))/(2·0.002) = 1, i.e. to 2·59.4 above 300·ε.
      {"Steel01 hardening",
       [] { return steel01(1.0); },
       {{-0.004, -60.6, 300.0}, {-0.002, -0.6, 30000.0}, {0.004, 120.0, 300.0}}},
      // Envelope −27 at −0.003; reloading slope −27/−0.003 = 9000 through the
      // origin; tension envelope 3 − 1500·(ε − 0.0001) beyond ε = 0.0001.
      {"Concrete02",
       concrete02,
       {{-0.003, -27.0, -3000.0},
        {-0.002, -9.0, 4500.0},    // unloading capped at half the reloading line
        {0.0002, 2.85, -1500.0},   // softening in tension
        {0.0001, 1.425, 14250.0},  // back towards the origin on a secant
        {-0.001, -9.0, 9000.0},    // reloading line into compression
        {-0.004, -24.0, -3000.0}}},
      {"ElasticPP",
       [] { return elasticPP(); },
       {{-0.005, -1.0, 200.0},
        {-0.02, -2.0, 0.0},  // leaves a plastic strain of −0.01
        {-0.015, -1.0, 200.0},
        {0.02, 2.0, 0.0},  // plastic strain now +0.01
        {0.015, 1.0, 200.0},
        {-0.02, -2.0, 0.0}}},
      {"ElasticPP asymmetric",
       [] { return elasticPP(-0.02, 0.001); },
       {{0.006, 1.0, 200.0}, {-0.03, -4.0, 0.0}}},
  };
  for (const Cycle& cycle : cycles) {
    SCOPED_TRACE(cycle.name);
    std::unique_ptr<UniaxialMaterial> material = cycle.make();
    follow(*material, cycle.path);
  }
}

// Concrete04 with fc −30 at ec −0.002 and Ec 30000: the secant is Ec/2, so
// Popovics' n = 2, f = −60·η/(1 + η²) and Et = 30000·(1 − η²)/(1 + η²)² with
// η = ε/ec; crushed beyond ecu −0.005. Tension: ft 3 (cracking at 0.0001),
// et 0.001, beta 0.1, so halfway to et the stress is 3·0.1^0.5.
TEST(Concrete04, PopovicsEnvelopeUnloadingTensionAndCrushing) {
  // From −0.004 (η = 2, f −24) Karsan–Jirsa leaves 0.834·ec = −0.001668.
  const double unload = 24.0 / 0.002332;
  const double half = 3.0 / std::sqrt(10.0);
  const struct {
    const char* name;
    Concrete04::Parameters parameters;
    std::vector<Point> path;
  } cases[] = {
      {"envelope, unloading, reloading, crushing",
       {-30.0, -0.002, -0.005, 30000.0},
       {{-0.001, -24.0, 14400.0},
        {-0.002, -30.0, 0.0},
        {-0.004, -24.0, -3600.0},
        {-0.003, -unload * 0.001332, unload},
        {-0.001, 0.0, 0.0},  // past the plastic strain: the gap is open
        {-0.002, -unload * 0.000332, unload},
        {-0.005, -150.0 / 7.25, 30000.0 * -5.25 / (7.25 * 7.25)},
        {-0.006, 0.0, 0.0},  // crushed
        {-0.004, 0.0, 0.0},  // and nothing on unloading either
        {0.001, 0.0, 0.0}}},
      {"tension softening, secant unloading, compression, open crack",
       {-30.0, -0.002, -0.005, 30000.0, 3.0, 0.001, 0.1},
       {{0.00005, 1.5, 30000.0},
        {0.00055, half, half * std::log(0.1) / 0.0009},
        {0.0003, half * 0.0003 / 0.00055, half / 0.00055},
        {-0.001, -24.0, 14400.0},
        {0.0012, 0.0, 0.0}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Concrete04 concrete(4, c.parameters);
    follow(concrete, c.path);
  }
}

// A trial that is reverted leaves no trace: the next trial answers as if it
// had never been tried.
TEST(MaterialLaws, RevertForgetsTheTrial) {
  struct Case {
    const char* name;
    std::unique_ptr<UniaxialMaterial> (*make)();
    Point committed;
    double discarded;
    Point next;
  };
  const Case cases[] = {
      {"Steel01",
       [] { return steel01(); },
       {-0.001, -30.0, 30000.0},
       -0.004,
       {-0.0005, -15.0, 30000.0}},
      {"Concrete02", concrete02, {-0.001, -22.5, 15000.0}, -0.003, {-0.0015, -28.125, 7500.0}},
      {"ElasticPP",
       [] { return elasticPP(); },
       {-0.005, -1.0, 200.0},
       -0.05,
       {-0.008, -1.6, 200.0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<UniaxialMaterial> material = c.make();
    follow(*material, {c.committed});
    material->setTrialStrain(c.discarded);
    material->revertToLastCommit();
    expectNear(material->getStress(), c.committed.stress, "stress after revert");
    expectNear(material->getTangent(), c.committed.tangent, "tangent after revert");
    follow(*material, {c.next});
  }
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
