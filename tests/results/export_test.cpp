#include "results/export.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace marrowick {
namespace {

TEST(Export, NumbersAreShortAndReadBackToTheSameDouble) {
  const std::pair<double, const char*> cases[] = {
      {0.1, "0.1"},         {-1000, "-1000"},
      {2e-7, "2e-07"},      {1.0 / 3, "0.3333333333333333"},
      {11630.4, "11630.4"}, {0.1 + 0.2, "0.30000000000000004"},
      {0.0, "0"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(RoundTripText(value), text);
    EXPECT_EQ(std::strtod(text, nullptr), value) << text;
  }
}

TEST(Export, TablesHaveAHeaderAndOneRowPerEntry) {
  const MomentCurvatureSeries series{2, {0, 1.5, 3}, {0, 1e-6, 2e-6}};
  EXPECT_EQ(MomentCurvatureTable(series),
            (Lines{"curvature_per_mm,moment_kNm", "1e-06,1.5", "2e-06,3"}));
  const InteractionCurve curve{2, {0, -1130.4, 11630.4}, {0, 0.312, 0}};
  EXPECT_EQ(InteractionTable(curve, '\t'), (Lines{"level\taxial_force_kN\tpeak_moment_kNm",
                                                  "1\t-1130.4\t0.312", "2\t11630.4\t0"}));
  std::vector<TFiber> fibers(4);
  fibers[1] = {-232.5, 282.5, 1225, 1, 0};
  fibers[2] = {-215, 0, 314, 2, 0};
  fibers[3] = {215, -265, 314, 2, 1};
  EXPECT_EQ(FiberTable(fibers, 3), (Lines{"kind,y_mm,z_mm,area_mm2", "concrete,282.5,-232.5,1225",
                                          "side_bar,0,-215,314", "corner_bar,-265,215,314"}));
  EXPECT_EQ(FiberTable(fibers, 2, ';', true),
            (Lines{"kind;y_mm;z_mm;area_mm2", "concrete;282.5;-232.5;1225", "bar;0;-215;314"}));
}

}  // namespace
}  // namespace marrowick
