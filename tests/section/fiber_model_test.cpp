#include "section/fiber_model.h"

#include <gtest/gtest.h>

#include "core/failure.h"
#include "support/default_section.h"
#include "support/expect_failure.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;

struct SlotRow {
  int slot;
  double x, y, area;
  int mat_tag, corner_bar;
};

TEST(FiberModel, DefaultSectionMatchesTheWorkedTable) {
  AnalysisState state;
  testing::SetDefaultParameters(state);
  BuildFiberModel(state);
  EXPECT_EQ(state.MeshCountX, 14);
  EXPECT_EQ(state.MeshCountY, 17);
  EXPECT_EQ(state.FiberCount, 250);
  EXPECT_EQ(state.Fibers.size(), 251u);
  const SlotRow rows[] = {
      {1, -232.142857, -282.352941, 1260.504202, 1, 0},
      {2, -232.142857, -247.058824, 1260.504202, 1, 0},
      {17, -232.142857, 282.352941, 1260.504202, 1, 0},
      {18, -196.428571, -282.352941, 1260.504202, 1, 0},
      {238, 232.142857, 282.352941, 1260.504202, 1, 0},
      {239, -215, -88.333333, 314, 2, 0},
      {240, 215, -88.333333, 314, 2, 0},
      {241, -215, 88.333333, 314, 2, 0},
      {242, 215, 88.333333, 314, 2, 0},
      {243, -71.666667, -265, 314, 2, 0},
      {244, -71.666667, 265, 314, 2, 0},
      {245, 71.666667, -265, 314, 2, 0},
      {246, 71.666667, 265, 314, 2, 0},
      {247, -215, -265, 314, 2, 1},
      {248, -215, 265, 314, 2, 1},
      {249, 215, 265, 314, 2, 1},
      {250, 215, -265, 314, 2, 1},
  };
  for (const auto& row : rows) {
    const TFiber& fiber = state.Fibers[row.slot];
    EXPECT_NEAR(fiber.X, row.x, 5e-7) << row.slot;
    EXPECT_NEAR(fiber.Y, row.y, 5e-7) << row.slot;
    EXPECT_NEAR(fiber.Area, row.area, 5e-7) << row.slot;
    EXPECT_EQ(fiber.MatTag, row.mat_tag) << row.slot;
    EXPECT_EQ(fiber.CornerBar, row.corner_bar) << row.slot;
  }
  // The middle row keeps the rounding residue of the extended evaluation.
  EXPECT_NEAR(state.Fibers[9].Y, -5.204170e-18, 5e-24);
  EXPECT_EQ(state.SteelArea, 3768);
  EXPECT_EQ(state.CompressionCapacity, -11630.4);
  EXPECT_EQ(state.TensionCapacity, 1130.4);
}

TEST(FiberModel, MeshCountsRoundHalvesToEven) {
  AnalysisState state;
  testing::SetDefaultParameters(state);
  state.MeshSize = 200;  // 2.5 and 3 cells
  BuildFiberModel(state);
  EXPECT_EQ(state.MeshCountX, 2);
  EXPECT_EQ(state.MeshCountY, 3);
  EXPECT_EQ(state.FiberCount, 6 + 12);
  EXPECT_DOUBLE_EQ(state.Fibers[1].Area, 250.0 * 200.0);
  EXPECT_DOUBLE_EQ(state.Fibers[1].X, -125);
  EXPECT_DOUBLE_EQ(state.Fibers[1].Y, -200);

  state.MeshSize = 1000;  // 0.5 and 0.6: no concrete at all
  BuildFiberModel(state);
  EXPECT_EQ(state.MeshCountX, 0);
  EXPECT_EQ(state.MeshCountY, 1);
  EXPECT_EQ(state.FiberCount, 12);
  EXPECT_EQ(state.Fibers[1].MatTag, 2);
  EXPECT_EQ(state.CompressionCapacity, -11630.4);  // the gross concrete still counts

  state.MeshSize = 400;  // quotient 1.25: one column as wide as the section
  BuildFiberModel(state);
  EXPECT_EQ(state.MeshCountX, 1);
  EXPECT_DOUBLE_EQ(state.Fibers[1].X, 0);
}

TEST(FiberModel, ZeroBarCountsLeaveOnlyTheCornerBars) {
  AnalysisState state;
  testing::SetDefaultParameters(state);
  state.BarCountX = 0;
  state.BarCountY = 0;
  state.CornerBarDiameter = 0;
  BuildFiberModel(state);
  EXPECT_EQ(state.FiberCount, 238 + 4);
  for (int s = 239; s <= 242; ++s) {
    EXPECT_EQ(state.Fibers[s].CornerBar, 1);
    EXPECT_EQ(state.Fibers[s].Area, 0);
  }
  EXPECT_EQ(state.SteelArea, 0);
  EXPECT_EQ(state.TensionCapacity, 0);
}

TEST(FiberModel, ASmallerSecondModelShrinksTheTable) {
  AnalysisState state;
  testing::SetDefaultParameters(state);
  BuildFiberModel(state);
  state.MeshSize = 100;
  state.BarCountX = 1;
  BuildFiberModel(state);
  EXPECT_EQ(state.FiberCount, 5 * 6 + 4 + 2 + 4);
  EXPECT_EQ(state.Fibers.size(), 41u);
  int corners = 0;
  for (int s = 1; s <= state.FiberCount; ++s) corners += state.Fibers[s].CornerBar;
  EXPECT_EQ(corners, 4);
  for (int s = 37; s <= 40; ++s) EXPECT_EQ(state.Fibers[s].CornerBar, 1);
}

struct RefusalCase {
  const char* what;
  void (*change)(AnalysisState&);
  FailureKind kind;
  const char* message;  // empty: any text
};

TEST(FiberModel, RefusesWhatItCannotBuildAndKeepsThePreviousModel) {
  const RefusalCase cases[] = {
      {"zero mesh", [](AnalysisState& s) { s.MeshSize = 0; }, FailureKind::DivideByZero,
       "Floating point division by zero"},
      {"zero mesh and width",
       [](AnalysisState& s) {
         s.MeshSize = 0;
         s.SectionWidth = 0;
       },
       FailureKind::InvalidOperation, "Invalid floating point operation"},
      {"count beyond the integer range", [](AnalysisState& s) { s.MeshSize = 1e-300; },
       FailureKind::InvalidOperation, "Invalid floating point operation"},
      {"negative bar count", [](AnalysisState& s) { s.BarCountY = -3; }, FailureKind::InvalidInput,
       "The number of bars on a face cannot be negative (-3)"},
      {"negative mesh size", [](AnalysisState& s) { s.MeshSize = -35; }, FailureKind::InvalidInput,
       ""},
      {"mesh counts of opposite signs", [](AnalysisState& s) { s.SectionWidth = -500; },
       FailureKind::InvalidInput, ""},
      {"too many fibers", [](AnalysisState& s) { s.MeshSize = 0.3; }, FailureKind::InvalidInput,
       "The section would have 3334012 fibers; at most 1000000 are allowed. Choose a larger mesh "
       "size"},
      {"area beyond the double range",
       [](AnalysisState& s) {
         s.SectionWidth = 1e300;
         s.SectionHeight = 1e300;
         s.MeshSize = 1e299;
       },
       FailureKind::Overflow, "Floating point overflow"},
  };
  for (const auto& c : cases) {
    AnalysisState state;
    testing::SetDefaultParameters(state);
    BuildFiberModel(state);
    const auto before = state.Fibers;
    c.change(state);
    const Failure failure = ExpectFailure(c.kind, [&] { BuildFiberModel(state); });
    if (*c.message) {
      EXPECT_EQ(failure.Message(), c.message) << c.what;
    }
    EXPECT_EQ(state.FiberCount, 250) << c.what;
    EXPECT_EQ(state.MeshCountX, 14) << c.what;
    EXPECT_EQ(state.Fibers.size(), before.size()) << c.what;
    EXPECT_EQ(state.CompressionCapacity, -11630.4) << c.what;
  }
}

TEST(FiberModel, TheLimitItselfIsBuilt) {
  AnalysisState state;
  testing::SetDefaultParameters(state);
  state.SectionWidth = 1002;
  state.SectionHeight = 998;
  state.MeshSize = 1;
  state.BarCountX = state.BarCountY = 0;
  BuildFiberModel(state);
  EXPECT_EQ(state.FiberCount, kMaxFiberCount);
  state.BarCountX = 1;
  EXPECT_THROW(BuildFiberModel(state), Failure);
  EXPECT_EQ(state.FiberCount, kMaxFiberCount);
}

// The default section with hoops Φ10@100, fyh 300, 4 legs each way:
// c = 35 − 10 − 5 = 20, core 460 × 560 cut Round(13.14) = 13 by 16 cells of
// 35.3846 × 35 (area 1238.46, the first centred at −212.308, −262.5); the
// bottom and top strips 500 × 20 cut 14 × 1 (35.7143 × 20, the first at
// −232.143, −290), the side strips 20 × 560 cut 1 × 16; 208 + 28 + 32 = 268
// concrete cells and 12 bars. Capacity: 42400·35 + 257600·43.4008 +
// 3768·300 = 13794458 N (f′cc worked in the confinement test).
TEST(FiberModel, ConfinedSectionIsACoreAndFourCoverStrips) {
  AnalysisState state;
  testing::SetDefaultParameters(state);
  state.Hoops = HoopReinforcement{10, 100, 300, 4, 4, 0.12};
  BuildFiberModel(state);
  ASSERT_TRUE(state.Confinement);
  EXPECT_EQ(state.FiberCount, 280);
  const SlotRow rows[] = {
      {1, -212.307692, -262.5, 1238.461538, kCoreMaterial, 0},
      {208, 212.307692, 262.5, 1238.461538, kCoreMaterial, 0},
      {209, -232.142857, -290, 714.285714, 1, 0},
      {223, -232.142857, 290, 714.285714, 1, 0},
      {237, -240, -262.5, 700, 1, 0},
      {253, 240, -262.5, 700, 1, 0},
      {269, -215, -88.333333, 314, 2, 0},
  };
  for (const auto& row : rows) {
    const TFiber& fiber = state.Fibers[row.slot];
    EXPECT_NEAR(fiber.X, row.x, 5e-7) << row.slot;
    EXPECT_NEAR(fiber.Y, row.y, 5e-7) << row.slot;
    EXPECT_NEAR(fiber.Area, row.area, 5e-7) << row.slot;
    EXPECT_EQ(fiber.MatTag, row.mat_tag) << row.slot;
  }
  double concrete = 0;
  for (int s = 1; s <= 268; ++s) concrete += state.Fibers[s].Area;
  EXPECT_NEAR(concrete, 500.0 * 600.0, 1e-6);
  EXPECT_NEAR(state.CompressionCapacity, -13794.458, 1e-3);
  EXPECT_EQ(state.TensionCapacity, 1130.4);

  // Hoops that do not fit inside the cover leave the previous model whole.
  state.Hoops->Diameter = 50;
  ExpectFailure(FailureKind::InvalidInput, [&] { BuildFiberModel(state); });
  EXPECT_EQ(state.FiberCount, 280);
}

}  // namespace
}  // namespace marrowick
