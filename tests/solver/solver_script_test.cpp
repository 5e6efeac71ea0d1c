#include "solver/solver_script.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/decimal_symbol.h"
#include "core/text_file.h"
#include "section/fiber_model.h"
#include "solver/fake_solver.h"
#include "support/default_section.h"
#include "support/script_lines.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using testing::DefaultModel;
using testing::FiberLines;
using testing::LineStarting;

TEST(SolverScript, DefaultScriptEqualsTheGoldenFileByteForByte) {
  AnalysisState state = DefaultModel();
  // The script's numbers are the solver's, not the user's: a comma locale
  // must not reach them.
  SetRegionalDecimal(',');
  const Lines lines =
      BuildSolverScript(ScriptSectionOf(state), state.AxialLoad, "mom_cur.out", "os.tcl");
  SetRegionalDecimal('.');

  ASSERT_EQ(lines.size(), 280u);
  ASSERT_EQ(FiberLines(lines).size(), 250u);
  EXPECT_EQ(LineStarting(lines, "uniaxialMaterial Concrete01"),
            "uniaxialMaterial Concrete01 1 -3.500E+001 -2.000E-003 -1.500E+001 -3.300E-003");
  EXPECT_EQ(LineStarting(lines, "uniaxialMaterial Steel02"),
            "uniaxialMaterial Steel02 2 3.000E+002 2.150E+005 1.000E-004");
  EXPECT_EQ(FiberLines(lines).at(0), "fiber\t-2.824E+002\t-2.321E+002\t1.261E+003\t1");
  EXPECT_EQ(FiberLines(lines).at(8), "fiber\t-5.204E-018\t-2.321E+002\t1.261E+003\t1");
  EXPECT_EQ(FiberLines(lines).at(238), "fiber\t-8.833E+001\t-2.150E+002\t3.140E+002\t2");
  EXPECT_EQ(LineStarting(lines, "load 2 -"), "load 2 -1.000E+006 0.0 0.0");
  EXPECT_EQ(LineStarting(lines, "analyze 10"), "analyze 10");
  EXPECT_EQ(LineStarting(lines, "loadConst"), "loadConst -time 0.0");
  EXPECT_EQ(LineStarting(lines, "recorder "),
            "recorder Node -file mom_cur.out -time -node 2 -dof 3 disp");
  EXPECT_EQ(LineStarting(lines, "integrator DisplacementControl"),
            "integrator DisplacementControl 2 3 2.000E-007");
  EXPECT_EQ(LineStarting(lines, "file delete"), "file delete os.tcl");

  testing::ScopedTempDir dir;
  SaveLines(lines, "os.tcl");
  EXPECT_EQ(testing::ReadBytes("os.tcl"),
            testing::ReadBytes(MARROWICK_TEST_DATA "/scripts/default-os.tcl"));
}

// Bent at an angle the script is a model in space; only the lines below
// differ from the plane script, and the fibers are the same.
TEST(SolverScript, AtAnAngleTheScriptBendsASectionInSpace) {
  const AnalysisState state = DefaultModel();
  const Lines plane =
      BuildSolverScript(ScriptSectionOf(state), state.AxialLoad, "mom_cur.out", "os.tcl");
  EXPECT_EQ(BuildSolverScript(ScriptSectionOf(state), state.AxialLoad, "mom_cur.out", "os.tcl",
                              MomentDirectionOf(360)),
            plane);
  const struct {
    double theta;
    const char* moments;
    const char* integrator;
  } cases[] = {
      {30, "load 2 0.0 0.0 0.0 0.0 5.000E+005 8.660E+005",
       "integrator DisplacementControl 2 6 1.732E-007"},
      {120, "load 2 0.0 0.0 0.0 0.0 8.660E+005 -5.000E+005",
       "integrator DisplacementControl 2 5 1.732E-007"},
      {225, "load 2 0.0 0.0 0.0 0.0 -7.071E+005 -7.071E+005",
       "integrator DisplacementControl 2 6 -1.414E-007"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.theta);
    Lines lines = BuildSolverScript(ScriptSectionOf(state), state.AxialLoad, "mom_cur.out",
                                    "os.tcl", MomentDirectionOf(c.theta));
    ASSERT_EQ(lines.size(), plane.size());
    const Lines expected = {"model basic -ndm 3 -ndf 6;",
                            "node 1 0.0 0.0 0.0  ",
                            "node 2 0.0 0.0 0.0  ",
                            "fix 1 1 1 1 1 1 1  ",
                            "fix 2 0 1 1 1 0 0  ",
                            "section\tFiber\t1001\t-GJ\t1e12\t{",
                            "load 2 -1.000E+006 0.0 0.0 0.0 0.0 0.0",
                            "recorder Node -file mom_cur.out -time -node 2 -dof 6 5 disp",
                            c.moments,
                            c.integrator};
    Lines differing;
    for (std::size_t i = 0; i < lines.size(); ++i)
      if (lines[i] != plane[i]) differing.push_back(lines[i]);
    EXPECT_EQ(differing, expected);
  }
}

TEST(SolverScript, BeforeAnyInputEverythingIsZeroAndTheSectionIsEmpty) {
  const Lines expected = {
      "wipe",
      "model basic -ndm 2 -ndf 3;",
      "node 1 0.0 0.0  ",
      "node 2 0.0 0.0  ",
      "fix 1 1 1 1  ",
      "fix 2 0 1 0  ",
      "uniaxialMaterial Concrete01 1 0.000E+000 0.000E+000 0.000E+000 0.000E+000",
      "uniaxialMaterial Steel02 2 0.000E+000 0.000E+000 0.000E+000",
      "section\tFiber\t1001\t{",
      "}",
      "element zeroLengthSection  1   1   2  1001",
      "pattern Plain 1 Constant {",
      "load 2 0.000E+000 0.0 0.0",
      "}",
      "integrator LoadControl 0.1",
      "system SparseGeneral -piv;",
      "test EnergyIncr 1e-10 200",
      "numberer Plain",
      "constraints Plain",
      "algorithm Newton",
      "analysis Static",
      "analyze 10",
      "loadConst -time 0.0",
      "recorder Node -file P3_mom_cur.out -time -node 2 -dof 3 disp",
      "pattern Plain 2 Linear {",
      "load 2 0.0 0.0 1e6",
      "}",
      "integrator DisplacementControl 2 3 0.000E+000",
      "analyze 100 ",
      "file delete P3.tcl",
  };
  AnalysisState state;
  EXPECT_EQ(BuildSolverScript(ScriptSectionOf(state), 0, "P3_mom_cur.out", "P3.tcl"), expected);

  // A negative count is an empty section too, whatever the table holds.
  state.FiberCount = -3;
  state.Fibers.resize(2);
  EXPECT_EQ(BuildSolverScript(ScriptSectionOf(state), 0, "P3_mom_cur.out", "P3.tcl"), expected);
}

TEST(SolverScript, WritesMaterialsWithTheSolversSignsAndFibersInTableOrder) {
  AnalysisState state;
  state.ConcreteStrength = -35;  // already negative: the solver gets it positive
  state.ConcretePeakStrain = 0.002;
  state.ConcreteResidualStrength = -0.0;
  state.ConcreteUltimateStrain = 1e-10;
  state.SteelYieldStrength = -300;
  state.SteelModulus = 0;
  state.SteelHardeningRatio = 1.0625;
  state.FiberCount = 3;
  state.Fibers = {TFiber{}, TFiber{1, 2, 3, 2, 0}, TFiber{-0.0, 1e100, 12.5, 1, 0},
                  TFiber{4, 5, 6, 2, 1}};
  const Lines lines = BuildSolverScript(ScriptSectionOf(state), 1, "mom_cur.out", "os.tcl");
  ASSERT_EQ(lines.size(), 33u);
  EXPECT_EQ(LineStarting(lines, "uniaxialMaterial Concrete01"),
            "uniaxialMaterial Concrete01 1 3.500E+001 -2.000E-003 0.000E+000 -1.000E-010");
  EXPECT_EQ(LineStarting(lines, "uniaxialMaterial Steel02"),
            "uniaxialMaterial Steel02 2 -3.000E+002 0.000E+000 1.063E+000");
  // The three fibers in table order, between the section's braces.
  EXPECT_EQ(FiberLines(lines), (Lines{"fiber\t2.000E+000\t1.000E+000\t3.000E+000\t2",
                                      "fiber\t1.000E+100\t0.000E+000\t1.250E+001\t1",
                                      "fiber\t5.000E+000\t4.000E+000\t6.000E+000\t2"}));
  const auto section = std::find(lines.begin(), lines.end(), "section\tFiber\t1001\t{");
  ASSERT_LT(section + 4, lines.end());
  EXPECT_EQ(section[4], "}");
}

// The load times 1000 and the curvature limit over 100 reach the text at
// extended precision; rounding them to double first changes the last digit.
TEST(SolverScript, LoadAndCurvatureStepAreNotRoundedToDoubleOnTheWay) {
  struct Case {
    double load_kN;
    double curvature_limit;
    const char* load_line;
    const char* integrator_line;
  };
  const Case cases[] = {
      {291.45, 5.9925e-05, "load 2 2.914E+005 0.0 0.0",
       "integrator DisplacementControl 2 3 5.992E-007"},
      {22.735, 2.7595e-06, "load 2 2.273E+004 0.0 0.0",
       "integrator DisplacementControl 2 3 2.760E-008"},
      {-1000, 0.00002, "load 2 -1.000E+006 0.0 0.0",
       "integrator DisplacementControl 2 3 2.000E-007"},
  };
  for (const Case& c : cases) {
    AnalysisState state;
    state.CurvatureLimit = c.curvature_limit;
    const Lines lines =
        BuildSolverScript(ScriptSectionOf(state), c.load_kN, "mom_cur.out", "os.tcl");
    ASSERT_EQ(lines.size(), 30u);
    EXPECT_EQ(LineStarting(lines, "load 2 "), c.load_line);
    EXPECT_EQ(LineStarting(lines, "integrator DisplacementControl"), c.integrator_line);
  }
  // An extended load that no double holds is taken as handed over.
  AnalysisState state;
  EXPECT_EQ(LineStarting(BuildSolverScript(ScriptSectionOf(state), 1.0625L - 1e-17L, "mom_cur.out",
                                           "os.tcl"),
                         "load 2 "),
            "load 2 1.062E+003 0.0 0.0");
}

}  // namespace
}  // namespace marrowick
