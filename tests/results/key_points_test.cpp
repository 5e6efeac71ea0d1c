#include "results/key_points.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace marrowick {
namespace {

const std::string kReference = MARROWICK_TEST_DATA "/../engine/data/reference/";

// The first and second values of every line of a recorder file OpenSees wrote.
struct Columns {
  std::vector<double> first, second;
};

Columns ReadColumns(const std::string& name) {
  std::ifstream in(kReference + name);
  EXPECT_TRUE(in) << name;
  Columns columns;
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    double a = 0, b = 0;
    if (fields >> a >> b) columns.first.push_back(a), columns.second.push_back(b);
  }
  return columns;
}

// Worked by hand from the reference files: the lines named are the file's
// lines, counted from 1.
TEST(KeyPoints, OfTheReferenceCurves) {
  struct Case {
    std::string file;
    CurvaturePoint peak, yield, ultimate;
  };
  const Case cases[] = {
      // Still rising at the curvature limit: the peak is the last line (100),
      // which is also the ultimate point. 0.75 · 552.899 = 414.67425 lies
      // between line 17 (3.4e-6, 411.072) and line 18 (3.6e-6, 424.27).
      {"default-mk/mom_cur.out.expected",
       {2e-5, 552.899},
       {(3.4e-6 + (414.67425 - 411.072) * (3.6e-6 - 3.4e-6) / (424.27 - 411.072)) / 0.75, 552.899},
       {2e-5, 552.899}},
      // Peak at line 10 (4e-6, 756.379); 0.75 of it, 567.28425, between line 5
      // (2e-6, 511.269) and line 6 (2.4e-6, 589.266); 0.8 of it, 605.1032,
      // first passed downward between line 14 (5.6e-6, 609.741) and line 15
      // (6e-6, 507.197).
      {"high-axial/mom_cur.out.expected",
       {4e-6, 756.379},
       {(2e-6 + (567.28425 - 511.269) * (2.4e-6 - 2e-6) / (589.266 - 511.269)) / 0.75, 756.379},
       {5.6e-6 + (605.1032 - 609.741) * (6e-6 - 5.6e-6) / (507.197 - 609.741), 605.1032}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const Columns file = ReadColumns(c.file);
    const MomentCurvatureKeyPoints keys = FindMomentCurvatureKeyPoints(file.second, file.first);
    ASSERT_TRUE(keys.Peak && keys.Yield && keys.Ultimate && keys.Ductility);
    EXPECT_EQ(*keys.Peak, c.peak);
    EXPECT_DOUBLE_EQ(keys.Yield->CurvaturePerMm, c.yield.CurvaturePerMm);
    EXPECT_EQ(keys.Yield->MomentKNm, c.yield.MomentKNm);
    EXPECT_DOUBLE_EQ(keys.Ultimate->CurvaturePerMm, c.ultimate.CurvaturePerMm);
    EXPECT_DOUBLE_EQ(keys.Ultimate->MomentKNm, c.ultimate.MomentKNm);
    EXPECT_DOUBLE_EQ(*keys.Ductility, c.ultimate.CurvaturePerMm / c.yield.CurvaturePerMm);
  }

  // The default sweep: each level's peak moment against its force (tension
  // 1130.4 kN to compression 11630.4 kN in 20 steps of 638.04 kN). Level 10
  // (4611.96 kN, 912.455) carries the most; zero force lies between level 2
  // (-492.36 kN, 173.384) and level 3 (145.68 kN, 343.184).
  std::vector<double> forces, peaks;
  for (int level = 1; level <= 21; ++level) {
    const Columns file =
        ReadColumns("default-sweep/P" + std::to_string(level) + "_mom_cur.out.expected");
    double peak = 0;  // the last level found no equilibrium: no line at all
    for (std::size_t i = 0; i < file.first.size(); ++i)
      if (i == 0 || file.first[i] > peak) peak = file.first[i];
    peaks.push_back(peak);
    forces.push_back(-(1130.4 - (1130.4 + 11630.4) / 20 * (level - 1)));
  }
  const InteractionKeyPoints curve = FindInteractionKeyPoints(forces, peaks);
  ASSERT_TRUE(curve.Balanced && curve.PureBendingMomentKNm);
  EXPECT_EQ(curve.Balanced->Level, 10);
  EXPECT_DOUBLE_EQ(curve.Balanced->AxialForceKN, 4611.96);
  EXPECT_EQ(curve.Balanced->MomentKNm, 912.455);
  EXPECT_NEAR(*curve.PureBendingMomentKNm,
              173.384 + 492.36 * (343.184 - 173.384) / (145.68 + 492.36), 1e-9);
}

TEST(KeyPoints, AbsentWhenTheCurveCannotGiveThem) {
  const std::vector<std::vector<double>> curves[] = {
      {{}, {}},                  // no step
      {{1e-6}, {50}},            // one step
      {{1e-6, 2e-6}, {0, -5}},   // never a positive moment
      {{1e-6, 2e-6}, {-3, -1}},  // never a positive moment
  };
  for (const auto& curve : curves) {
    const MomentCurvatureKeyPoints keys = FindMomentCurvatureKeyPoints(curve[0], curve[1]);
    EXPECT_FALSE(keys.Peak || keys.Yield || keys.Ultimate || keys.Ductility);
  }
  // The first step already above 0.75 of the peak: the secant starts at the
  // origin. A curvature that stays at zero gives no ductility.
  const MomentCurvatureKeyPoints from_origin =
      FindMomentCurvatureKeyPoints(std::vector<double>{1e-6, 2e-6}, std::vector<double>{80, 100});
  EXPECT_DOUBLE_EQ(from_origin.Yield->CurvaturePerMm, 1e-6 * 75 / 80 / 0.75);
  EXPECT_FALSE(FindMomentCurvatureKeyPoints(std::vector<double>{0, 0}, std::vector<double>{80, 100})
                   .Ductility);

  struct Levels {
    std::vector<double> forces, moments;
    bool balanced, pure_bending;
  };
  const Levels sweeps[] = {
      {{}, {}, false, false},
      {{-10}, {5}, false, false},
      {{10, 20, 30}, {5, 7, 6}, true, false},  // all in compression
      {{-10, 10}, {0, 0}, false, true},        // no moment anywhere
  };
  for (const Levels& sweep : sweeps) {
    const InteractionKeyPoints keys = FindInteractionKeyPoints(sweep.forces, sweep.moments);
    EXPECT_EQ(keys.Balanced.has_value(), sweep.balanced);
    EXPECT_EQ(keys.PureBendingMomentKNm.has_value(), sweep.pure_bending);
  }
}

// A curve of six steps, κ = 1…6 (×1e-5 /mm), M = 50 100 120 110 90 80: peak
// 120 at step 3, 0.75·120 = 90 reached at κ 1.8 (κy = 2.4), 0.8·120 = 96
// reached between steps 4 and 5 at κ 4 + 14/20 = 4.7. Rising instead to 150
// at step 6: 112.5 reached at κ 2.625, κy = 3.5. The core's edge strain runs
// 0.002 … 0.012 in steps of 0.002.
TEST(KeyPoints, ConfinedCoreCrushingEndsTheCurveWhenItComesFirst) {
  const std::vector<double> curvatures{1e-5, 2e-5, 3e-5, 4e-5, 5e-5, 6e-5};
  const std::vector<double> falling{50, 100, 120, 110, 90, 80};
  const std::vector<double> rising{50, 100, 120, 130, 140, 150};
  const std::vector<double> strains{0.002, 0.004, 0.006, 0.008, 0.010, 0.012};
  const struct {
    const std::vector<double>* moments;
    double ecu;
    UltimateCriterion by;
    CurvaturePoint ultimate;
  } cases[] = {
      // 0.007 half-way between steps 3 and 4: before the drop.
      {&falling, 0.007, UltimateCriterion::CoreStrain, {3.5e-5, 115}},
      // Between steps 5 and 6 (κ 5.75): the drop came first.
      {&falling, 0.0115, UltimateCriterion::MomentDrop, {4.7e-5, 96}},
      // In the drop's own segment: 0.009 at κ 4.5 comes first, 0.0095 at 4.75 does not.
      {&falling, 0.009, UltimateCriterion::CoreStrain, {4.5e-5, 100}},
      {&falling, 0.0095, UltimateCriterion::MomentDrop, {4.7e-5, 96}},
      {&falling, 0.02, UltimateCriterion::MomentDrop, {4.7e-5, 96}},
      {&rising, 0.0115, UltimateCriterion::CoreStrain, {5.75e-5, 147.5}},
      {&rising, 0.02, UltimateCriterion::LastStep, {6e-5, 150}},
      // Crushed at the first step: that step itself.
      {&rising, 0.001, UltimateCriterion::CoreStrain, {1e-5, 50}},
  };
  for (const auto& c : cases) {
    const MomentCurvatureKeyPoints keys =
        FindMomentCurvatureKeyPoints(curvatures, *c.moments, strains, c.ecu);
    ASSERT_TRUE(keys.Ultimate && keys.UltimateBy) << c.ecu;
    EXPECT_EQ(*keys.UltimateBy, c.by) << c.ecu;
    EXPECT_NEAR(keys.Ultimate->CurvaturePerMm, c.ultimate.CurvaturePerMm, 1e-15) << c.ecu;
    EXPECT_NEAR(keys.Ultimate->MomentKNm, c.ultimate.MomentKNm, 1e-9) << c.ecu;
    const double yield = c.moments == &falling ? 2.4e-5 : 3.5e-5;
    EXPECT_NEAR(keys.Ductility.value(), c.ultimate.CurvaturePerMm / yield, 1e-9) << c.ecu;
  }
  // Plane sections: ε0 − y·κ at y = ±dc/2, the more compressed edge.
  EXPECT_DOUBLE_EQ(CoreEdgeStrain(-0.001, 2e-5, 500), 0.006);
  EXPECT_DOUBLE_EQ(CoreEdgeStrain(-0.001, -2e-5, 500), 0.006);
  EXPECT_DOUBLE_EQ(CoreEdgeStrain(0.0005, 1e-5, 400), 0.0015);
}

}  // namespace
}  // namespace marrowick
