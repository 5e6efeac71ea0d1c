// The solver program as a script runner: what bad scripts are told, what the
// analysis does with small models whose answers are known exactly.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "engine_test_support.h"
#include "interpreter/traceback.h"
#include "support/temp_dir.h"

namespace marrowick::engine {
namespace {

namespace fs = std::filesystem;
using testing::columnModel;
using testing::readLines;
using testing::runScriptText;
using testing::runSolver;
using testing::writeText;

const std::string kElasticModel =
    columnModel("uniaxialMaterial Elastic 1 1000.0", "fiber -1 0 1 1\nfiber 1 0 1 1\n");

const std::string kAnalysis =
    "system BandGeneral\nnumberer Plain\nconstraints Plain\ntest NormDispIncr 1e-12 10\n"
    "algorithm Newton\n";

struct BadScript {
  const char* name;
  std::string text;
  int status;
  std::vector<std::string> told;  // every one of these is in the message
};

void PrintTo(const BadScript& script, std::ostream* out) {
  *out << script.name;
}

class BadScripts : public ::testing::TestWithParam<BadScript> {};

TEST_P(BadScripts, EndWithAClearMessage) {
  const BadScript& c = GetParam();
  marrowick::testing::ScopedTempDir dir;
  writeText("bad.tcl", c.text);
  const auto result = runSolver("bad.tcl");
  EXPECT_EQ(result.status, c.status) << result.errors;
  for (const std::string& part : c.told) {
    EXPECT_NE(result.errors.find(part), std::string::npos)
        << "missing «" << part << "» in " << result.errors;
  }
}

const std::string kHead = "wipe\nmodel basic -ndm 2 -ndf 3\n";

INSTANTIATE_TEST_SUITE_P(
    Solver, BadScripts,
    ::testing::Values(
        BadScript{
            "Typo", kHead + "nod 1 0 0\n", 1, {"bad.tcl line 3", "invalid command name \"nod\""}},
        BadScript{"WrongSectionTag",
                  kElasticModel + "element zeroLengthSection 2 1 2 99\n",
                  1,
                  {"line 12", "there is no section 99"}},
        BadScript{"MissingBrace",
                  kHead + "uniaxialMaterial Elastic 1 10\nsection Fiber 1 {\nfiber 0 0 1 1\n",
                  1,
                  {"line 4", "missing close-brace"}},
        BadScript{"HugeStepCount",
                  kElasticModel + "analysis Static\nanalyze 1e12\n",
                  1,
                  {"line 13", "NUMSTEPS must be a whole number", "expected: analyze NUMSTEPS"}},
        BadScript{"StepCountBeyond32Bits",
                  kElasticModel + "analysis Static\nanalyze 4294967296\n",
                  1,
                  {"line 13", "NUMSTEPS"}},
        BadScript{"StepCountThatWouldRunForHours",
                  kElasticModel + "analysis Static\nanalyze 1000000000\n",
                  1,
                  {"line 13", "NUMSTEPS must be a whole number from 0 to 1000000"}},
        BadScript{"IterationCountThatWouldRunForHours",
                  kElasticModel + "test NormUnbalance 0 2147483647\n",
                  1,
                  {"line 12", "MAXITER must be from 1 to 10000"}},
        BadScript{"NodeArguments",
                  kHead + "node 1 0.0\n",
                  1,
                  {"line 3", "wrong number of arguments", "expected: node TAG X Y"}},
        BadScript{"NotANumber", kHead + "node 1 0.0 abc\n", 1, {"line 3", "Y must be a finite"}},
        BadScript{"FiberOfUnknownMaterialInsideBody",
                  kHead + "uniaxialMaterial Elastic 1 10\nsection Fiber 1 {\n  fiber 0 0 1 1\n"
                          "  fiber 0 0 1 7\n}\n",
                  1,
                  {"line 6", "there is no uniaxialMaterial 7"}},
        BadScript{"ErrorInsideLoop",
                  kHead + "for {set i 1} {$i < 3} {incr i} {\n  node $i 0\n}\n",
                  1,
                  {"line 4", "expected: node TAG X Y"}},
        BadScript{"ErrorInsideProc",
                  kHead + "proc build {} {\n  node 1 0\n}\nbuild\n",
                  1,
                  {"bad.tcl line 4", "expected: node TAG X Y"}},
        BadScript{"FiberOutsideSection",
                  kHead + "fiber 0 0 1 1\n",
                  1,
                  {"line 3", "inside the braces of section Fiber"}},
        BadScript{"SteelWithFourNumbers",
                  kHead + "uniaxialMaterial Steel02 2 300 2e5 0.01 15\n",
                  1,
                  {"line 3", "3, 6, 10 or 11 numbers"}},
        BadScript{"ZeroPeakStrain",
                  kHead + "uniaxialMaterial Concrete01 1 0 0 0 0\n",
                  1,
                  {"line 3", "EPSC0 must not be zero"}},
        BadScript{"WipeInsideSectionBody",
                  kHead + "uniaxialMaterial Elastic 1 10\nsection Fiber 1 {\n  wipe\n}\n",
                  1,
                  {"line 5", "not allowed inside the braces"}},
        BadScript{"SectionInsidePattern",
                  kHead + "pattern Plain 1 Linear {\n  section Fiber 2 {}\n}\n",
                  1,
                  {"line 4", "not allowed inside the braces"}},
        BadScript{"NodeBeforeModel", "wipe\nnode 1 0 0\n", 1, {"line 2", "no model yet"}},
        BadScript{"AnalyzeBeforeAnalysis",
                  kElasticModel + "analyze 1\n",
                  1,
                  {"line 12", "analysis Static"}},
        BadScript{"DuplicateNode",
                  kHead + "node 1 0 0\nnode 1 0 0\n",
                  1,
                  {"line 4", "node 1 already exists"}},
        BadScript{"ControlledDofIsFixed",
                  kElasticModel + "integrator DisplacementControl 2 2 0.1\n" + kAnalysis +
                      "analysis Static\nanalyze 1\n",
                  1,
                  {"line 19", "degree of freedom 2 of node 2 is fixed"}},
        BadScript{"SpaceSectionWithoutTorsion",
                  "model basic -ndm 3 -ndf 6\nuniaxialMaterial Elastic 1 10\n"
                  "section Fiber 1 {\n  fiber 0 0 1 1\n}\n",
                  1,
                  {"line 3", "needs its torsional stiffness: -GJ GJ"}},
        BadScript{"SpaceNodeWithTwoCoordinates",
                  "model basic -ndm 3\nnode 1 0 0\n",
                  1,
                  {"line 2", "expected: node TAG X Y Z"}},
        BadScript{"UnknownRecorderNode",
                  kElasticModel + "recorder Node -file r.out -node 9 -dof 1 disp\n",
                  1,
                  {"line 12", "there is no node 9"}},
        BadScript{"UnavailableCommand",
                  kHead + "geomTransf Linear 1\n",
                  1,
                  {"line 3", "geomTransf: not available", "zeroLengthSection", "patch, layer"}},
        BadScript{"UnknownMaterial",
                  kHead + "uniaxialMaterial Concrete06 1 -4 -0.002 -0.004 3000\n",
                  1,
                  {"line 3", "unknown material type \"Concrete06\"", "Steel01 TAG FY E0 B",
                   "Concrete02 TAG", "ElasticPP TAG"}},
        BadScript{"Concrete04WithTensionStrengthAlone",
                  kHead + "uniaxialMaterial Concrete04 1 -30 -0.002 -0.004 27000 3\n",
                  1,
                  {"line 3", "Concrete04 takes 4, 6 or 7 numbers after the tag, got 5"}},
        BadScript{"Concrete04InTension",
                  kHead + "uniaxialMaterial Concrete04 1 30 0.002 0.004 27000\n",
                  1,
                  {"line 3", "must not be positive", "expected: uniaxialMaterial Concrete04"}},
        // OpenSees goes on without tension, and so does the script.
        BadScript{"Concrete04NegativeTensionStrength",
                  kHead + "uniaxialMaterial Concrete04 1 -30 -0.002 -0.004 27000 -3 0.001\n",
                  0,
                  {"line 3", "FT -3 is below zero"}},
        BadScript{"UnknownRecorderOption",
                  kElasticModel + "recorder Element -file r.out -ele 1 -dT 0.1 section force\n",
                  1,
                  {"line 12", "unknown option \"-dT\"", "expected: recorder Element"}},
        BadScript{"FiberOfAMaterialTheSectionLacks",
                  kElasticModel + "recorder Element -file r.out -ele 1 section fiber 0 0 5 "
                                  "stressStrain\n",
                  1,
                  {"line 12", "element 1 has no fiber of material 5"}},
        BadScript{"PatchOutsideSection",
                  kHead + "patch rect 1 2 2 0 0 1 1\n",
                  1,
                  {"line 3", "inside the braces of section Fiber"}},
        BadScript{"PatchWithoutDivisions",
                  kHead + "uniaxialMaterial Elastic 1 10\nsection Fiber 1 {\n"
                          "  patch quad 1 0 2 0 0 1 0 1 1 0 1\n}\n",
                  1,
                  {"line 5", "divisions must be at least 1", "expected: patch quad"}},
        BadScript{"RingWithoutWidth",
                  kHead + "uniaxialMaterial Elastic 1 10\nsection Fiber 1 {\n"
                          "  patch circ 1 4 1 0 0 1 1\n}\n",
                  1,
                  {"line 5", "a cell has no area"}},
        BadScript{"LayerOfUnknownMaterial",
                  kHead + "uniaxialMaterial Elastic 1 10\nsection Fiber 1 {\n"
                          "  layer circ 3 4 0.5 0 0 1\n}\n",
                  1,
                  {"line 5", "there is no uniaxialMaterial 3"}},
        // Lines wait to be written; a disk that cannot take them still fails
        // the run, at the analyze that recorded them.
        BadScript{"RecorderOnAFullDisk",
                  kElasticModel + "recorder Node -file /dev/full -time -node 2 -dof 1 disp\n" +
                      "pattern Plain 1 Linear {\nload 2 10.0 0 0\n}\n" +
                      "integrator LoadControl 0.5\n" + kAnalysis + "analysis Static\nanalyze 2\n",
                  1,
                  {"line 23", "cannot write recorder file \"/dev/full\"", "No space left"}},
        BadScript{"RunawayRecursion",
                  "proc f {n} { f [expr {$n+1}] }\nf 0\n",
                  1,
                  {"line 2", "too many nested evaluations", "frames left out"}}),
    [](const ::testing::TestParamInfo<BadScript>& info) { return std::string(info.param.name); });

// The program ends without Tcl's own exit, which once left the last words of
// a puts without a newline in Tcl's buffer.
TEST(ScriptFile, WhatPutsWritesReachesStandardOutputOnBothPaths) {
  marrowick::testing::ScopedTempDir dir;
  writeText("tcl.tcl", "puts first\nputs -nonewline \"no newline\"\n");
  writeText("plain.tcl", "puts plain\n");
  EXPECT_EQ(runSolver("tcl.tcl").output, "first\nno newline");
  EXPECT_EQ(runSolver("plain.tcl").output, "plain\n");
}

TEST(ScriptFile, MissingOrUnreadableScriptExitsWith2) {
  marrowick::testing::ScopedTempDir dir;
  auto missing = runSolver("nowhere.tcl");
  EXPECT_EQ(missing.status, 2);
  EXPECT_NE(missing.errors.find("cannot read script \"nowhere.tcl\""), std::string::npos);
  fs::create_directory("folder.tcl");
  EXPECT_EQ(runSolver("folder.tcl").status, 2);
}

TEST(ScriptFile, RecorderOutputStaysWhenALaterLineFails) {
  marrowick::testing::ScopedTempDir dir;
  writeText("s.tcl", kElasticModel +
                         "recorder Node -file r.out -time -node 2 -dof 1 disp\n"
                         "pattern Plain 1 Linear {\nload 2 10.0 0 0\n}\n"
                         "integrator LoadControl 0.5\n" +
                         kAnalysis + "analysis Static\nanalyze 2\nbogus\n");
  const auto result = runSolver("s.tcl");
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.errors.find("line 24"), std::string::npos) << result.errors;
  // EA = 2000: u = λ·10/2000.
  EXPECT_EQ(readLines("r.out"), (std::vector<std::string>{"0.5 0.0025 ", "1 0.005 "}));
}

// Runs a script in-process and returns what it wrote to r.out.
std::vector<std::string> recorded(const std::string& script, std::string* errors = nullptr) {
  const auto result = runScriptText(script);
  EXPECT_EQ(result.status, 0) << result.errors;
  if (errors != nullptr) *errors = result.errors;
  return readLines("r.out");
}

TEST(Analysis, LoadConstFreezesPatternsAndRestartsTime) {
  marrowick::testing::ScopedTempDir dir;
  const auto lines =
      recorded(kElasticModel + "pattern Plain 1 Linear {\nload 2 10.0 0 0\n}\n" +
               "integrator LoadControl 0.5\n" + kAnalysis + "analysis Static\nanalyze 2\n" +
               "loadConst -time 0.0\n"
               "recorder Node -file r.out -time -node 2 -dof 1 3 disp\n"
               "pattern Plain 2 Linear {\nload 2 0 0 2.0\n}\n"
               "integrator LoadControl 1.0\nanalyze 2\n");
  // The axial load stays at 10 (u = 0.005) while the moment grows with the
  // restarted time: θ = λ·2/EI, EI = 1000·(1 + 1) = 2000.
  EXPECT_EQ(lines, (std::vector<std::string>{"1 0.005 0.001 ", "2 0.005 0.002 "}));
}

TEST(Analysis, DisplacementControlFindsTheLoadFactor) {
  marrowick::testing::ScopedTempDir dir;
  const auto lines = recorded(kElasticModel +
                              "recorder Node -file r.out -time -node 2 -dof 3 disp\n"
                              "pattern Plain 1 Linear {\nload 2 0 0 1.0\n}\n"
                              "integrator DisplacementControl 2 3 0.01\n" +
                              kAnalysis + "analysis Static\nanalyze 3\n");
  // M = EI·θ = 2000·θ with a unit reference moment.
  EXPECT_EQ(lines, (std::vector<std::string>{"20 0.01 ", "40 0.02 ", "60 0.03 "}));
}

TEST(Analysis, SingularSystemFailsTheStepAndTheScriptGoesOn) {
  marrowick::testing::ScopedTempDir dir;
  std::string errors;
  const auto lines = recorded(
      columnModel("uniaxialMaterial Elastic 1 1000.0", "") +
          "recorder Node -file r.out -node 2 -dof 1 disp\n"
          "pattern Plain 1 Linear {\nload 2 10.0 0 0\n}\n" +
          kAnalysis + "analysis Static\nset f [open code.txt w]\nputs $f [analyze 3]\nclose $f\n",
      &errors);
  EXPECT_TRUE(lines.empty());
  EXPECT_EQ(readLines("code.txt"), std::vector<std::string>{"-3"});
  EXPECT_NE(errors.find("singular"), std::string::npos) << errors;
}

TEST(Analysis, NewtonGivesUpAfterTheTestsIterations) {
  marrowick::testing::ScopedTempDir dir;
  std::string errors;
  // Concrete cannot carry the tension: every step sees a cracked section.
  const auto lines =
      recorded(columnModel("uniaxialMaterial Concrete01 1 -35 -0.002 -15 -0.0033",
                           "fiber -1 0 1 1\nfiber 1 0 1 1\n") +
                   "recorder Node -file r.out -node 2 -dof 1 disp\n"
                   "pattern Plain 1 Linear {\nload 2 10.0 0 0\n}\n"
                   "test NormUnbalance 1e-9 7\nalgorithm Newton\nanalysis Static\nanalyze 2\n",
               &errors);
  EXPECT_TRUE(lines.empty());
  EXPECT_NE(errors.find("step 1 of 2"), std::string::npos) << errors;
}

TEST(Analysis, HandWrittenScriptsUseTclItself) {
  marrowick::testing::ScopedTempDir dir;
  const auto lines = recorded(
      "wipe\nmodel basic -ndm 2 -ndf 3\nnode 1 0 0\nnode 2 0 0\nfix 1 1 1 1\nfix 2 0 1 0\n"
      "uniaxialMaterial Elastic 1 1000.0\n"
      "section Fiber 1 {\n  foreach y {-1 1} { fiber $y 0 1 1 }\n}\n"
      "element zeroLengthSection 1 1 2 1\n"
      "pattern Plain 1 Linear {\nload 2 10.0 0 0\n}\n"
      "integrator LoadControl 0.5\n" +
      kAnalysis + "analysis Static\nanalyze 2\n" +
      "set f [open r.out w]\nputs $f \"[getTime] [nodeDisp 2 1]\"\nclose $f\n");
  EXPECT_EQ(lines, std::vector<std::string>{"1.0 0.005"});
}

// An elastic section of two 2 × 1 cells (E = 1000: EA = 2000, EI = 500)
// bent by a moment of 10 in two load steps, recorded every way there is.
TEST(Recorders, NodeElementAndQueriesAgreeWithTheElasticSection) {
  marrowick::testing::ScopedTempDir dir;
  const auto result = runScriptText(
      columnModel("uniaxialMaterial Elastic 1 1000.0",
                  "  set w 1.0\n  patch rect 1 2 1 -$w -0.5 $w [expr {$w / 2}]\n") +
      "recorder Node -file n.out -time -precision 4 -node 1 2 -dof 1 3 reaction\n"
      "recorder Element -file e.out -ele 1 section force\n"
      "recorder Element -file d.out -time -ele 1 section deformation\n"
      "recorder Element -file f.out -ele 1 section fiber 0.4 9 1 stressStrain\n"
      "pattern Plain 1 Linear {\n  load 2 0 0 10\n}\n"
      "integrator LoadControl 0.5\n" +
      kAnalysis + "analysis Static\nanalyze 2\n" +
      "remove recorders\nanalyze 1\n"
      "set q [open q.out w]\nputs $q \"[getTime] [eleResponse 1 section force]\"\n"
      "puts $q \"[nodeReaction 1 3] [eleResponse 1 section fiber 0 0 stressStrain]\"\nclose $q\n");
  ASSERT_EQ(result.status, 0) << result.errors;
  // Node 1 pushes back with −M; node 2 is in equilibrium.
  EXPECT_EQ(readLines("n.out"), (std::vector<std::string>{"0.5 0 -5 0 0 ", "1 0 -10 0 0 "}));
  EXPECT_EQ(readLines("e.out"), (std::vector<std::string>{"0 5 ", "0 10 "}));
  EXPECT_EQ(readLines("d.out"), (std::vector<std::string>{"0.5 0 0.01 ", "1 0 0.02 "}));
  // The nearest fiber of material 1 to y = 0.4 is the one at 0.5.
  EXPECT_EQ(readLines("f.out"), (std::vector<std::string>{"-5 -0.005 ", "-10 -0.01 "}));
  // After "remove recorders" the third step writes nowhere; the queries see it.
  // Without a material OpenSees measures the first fiber's distance plainly
  // and the others' squared, so of two fibers 0.5 away the second wins.
  EXPECT_EQ(readLines("q.out"), (std::vector<std::string>{"1.5 0.0 15.0", "-15.0 -15.0 -0.015"}));
}

// Steel01 fibers (E0 1000, fy 1, b 0.1) at y = −0.5, 0, 0.5 bent to a
// curvature of 0.003 and back to none, by two DisplacementControl
// integrators; a second model after wipe runs the same and records the same.
TEST(Analysis, ReversalLeavesTheResidualMomentOfTheSteelSection) {
  marrowick::testing::ScopedTempDir dir;
  std::string model =
      "model basic -ndm 2 -ndf 3\nnode 1 0 0\nnode 2 0 0\nfix 1 1 1 1\nfix 2 1 1 0\n"
      "uniaxialMaterial Steel01 1 1.0 1000.0 0.1\n"
      "section Fiber 1 -GJ 1e6 {\n  layer straight 1 3 1.0 -0.5 0 0.5 0\n}\n"
      "element zeroLengthSection 1 1 2 1\n"
      "pattern Plain 1 Linear {\n  load 2 0 0 1\n}\n" +
      kAnalysis + "analysis Static\n";
  const std::string run =
      "integrator DisplacementControl 2 3 0.001\nanalyze 3\n"
      "integrator DisplacementControl 2 3 -0.001 1 -0.001 -0.001\nanalyze 3\n";
  const std::string recorders =
      "recorder Node -file a.out -time -node 2 -dof 3 disp\n"
      "recorder Node -file r.out -node 1 -dof 3 reaction\n";
  const auto result = runScriptText("wipe\n" + model + recorders + run + "wipe\n" + model +
                                    "recorder Node -file b.out -time -node 2 -dof 3 disp\n" + run);
  ASSERT_EQ(result.status, 0) << result.errors;
  // The load factor is the moment; the reaction at node 1 is its opposite.
  const double expected[][2] = {{0.5, 0.001},  {1.0, 0.002},  {1.05, 0.003},
                                {0.55, 0.002}, {0.05, 0.001}, {-0.45, 0.0}};
  const auto lines = readLines("a.out");
  const auto reactions = readLines("r.out");
  ASSERT_EQ(lines.size(), 6u);
  ASSERT_EQ(reactions.size(), 6u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(lines[i] + "| " + reactions[i]);
    std::istringstream in(lines[i] + reactions[i]);
    double time = 0.0, curvature = 0.0, reaction = 0.0;
    in >> time >> curvature >> reaction;
    EXPECT_NEAR(time, expected[i][0], 1e-9);
    EXPECT_NEAR(curvature, expected[i][1], 1e-12);
    EXPECT_NEAR(reaction, -expected[i][0], 1e-9);
  }
  EXPECT_EQ(readLines("b.out"), lines);
}

std::string traceback(int frames) {
  std::string text = "too deep";
  for (int k = 0; k < frames; ++k) {
    text += std::string(k == 0 ? "\n    while executing" : "\n    invoked from within") + "\n\"f " +
            std::to_string(k) + "\"\n    (procedure \"f\" line 1)";
  }
  return text;
}

TEST(ShortTraceback, KeepsTheEndsOfADeepTraceback) {
  EXPECT_EQ(shortTraceback(traceback(8), 4), traceback(8));
  const std::string shortened = shortTraceback(traceback(1000), 2);
  EXPECT_EQ(shortened,
            "too deep\n    while executing\n\"f 0\"\n    (procedure \"f\" line 1)\n"
            "    invoked from within\n\"f 1\"\n    (procedure \"f\" line 1)\n"
            "    ... 996 frames left out ...\n"
            "    invoked from within\n\"f 998\"\n    (procedure \"f\" line 1)\n"
            "    invoked from within\n\"f 999\"\n    (procedure \"f\" line 1)");
}

}  // namespace
}  // namespace marrowick::engine
