#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "core/failure.h"
#include "core/text_file.h"
#include "section/axial_levels.h"
#include "section/fiber_model.h"
#include "solver/axial_sweep.h"
#include "solver/fake_solver.h"
#include "solver/moment_curvature_run.h"
#include "solver/solver_script.h"
#include "support/default_section.h"
#include "support/expect_failure.h"
#include "support/script_lines.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;
using testing::LineStarting;

using testing::ReadBytes;

using testing::DefaultModel;

Lines ScriptOnDisk(const std::string& file_name) {
  Lines lines;
  LoadLines(lines, file_name);
  return lines;
}

bool DirectoryIsEmpty(const std::filesystem::path& path) {
  return std::filesystem::directory_iterator(path) == std::filesystem::directory_iterator();
}

TEST(MomentCurvatureRun, WritesOsTclAndStartsTheSolverOnIt) {
  testing::SolverEnvironment environment;
  environment.InstallRecordingSolver();
  testing::ScopedTempDir dir;
  AnalysisState state = DefaultModel();

  RunMomentCurvature(state);
  ASSERT_TRUE(environment.WaitForStart("os.tcl"));
  EXPECT_EQ(ReadBytes("os.tcl"), ReadBytes(MARROWICK_TEST_DATA "/scripts/default-os.tcl"));
  EXPECT_EQ(environment.SeenScript("os.tcl"), ReadBytes("os.tcl"));
}

TEST(MomentCurvatureRun, AScriptThatCannotBeCreatedStartsNothing) {
  // No solver is available, so an attempt to start one would fail otherwise.
  testing::SolverEnvironment environment;
  testing::ScopedTempDir dir;
  std::filesystem::create_directory("os.tcl");
  AnalysisState state = DefaultModel();
  const Failure failure =
      ExpectFailure(FailureKind::FileCreate, [&] { RunMomentCurvature(state); });
  EXPECT_EQ(FailureDisplayText(failure.Message()),
            "Cannot create file \"" + (dir.Path() / "os.tcl").string() + "\". Is a directory.");
}

TEST(MomentCurvatureRun, AMissingSolverIsReportedAndTheScriptStays) {
  testing::SolverEnvironment environment;
  testing::ScopedTempDir dir;
  std::ofstream("mom_cur.out", std::ios::binary) << "1 2 \r\n";
  AnalysisState state = DefaultModel();
  const Failure failure =
      ExpectFailure(FailureKind::SolverStart, [&] { RunMomentCurvature(state); });
  EXPECT_EQ(FailureDisplayText(failure.Message()),
            "Cannot start solver \"opensees.exe os.tcl\". No such file or directory.");
  EXPECT_EQ(ReadBytes("os.tcl"), ReadBytes(MARROWICK_TEST_DATA "/scripts/default-os.tcl"));
  EXPECT_EQ(ReadBytes("mom_cur.out"), "1 2 \r\n");
}

// A solver that stops before its recorder command writes nothing: an
// earlier run's file must not be there to be charted as the new result.
TEST(MomentCurvatureRun, RemovesTheRecorderFileOfAnEarlierRunBeforeStarting) {
  testing::SolverEnvironment environment;
  environment.InstallRecordingSolver();
  testing::ScopedTempDir dir;
  AnalysisState state = DefaultModel();
  state.AxialLevels = 1;
  for (const char* stale : {"mom_cur.out", "P1_mom_cur.out", "P2_mom_cur.out"})
    std::ofstream(stale, std::ios::binary) << "1 2 \r\n";
  RunMomentCurvature(state);
  RunAxialSweep(state);
  ASSERT_TRUE(environment.WaitForStart("os.tcl") && environment.WaitForStart("P2.tcl"));
  for (const char* stale : {"mom_cur.out", "P1_mom_cur.out", "P2_mom_cur.out"})
    EXPECT_FALSE(std::filesystem::exists(stale)) << stale;

  // One that cannot be removed is reported, and its solver is not started.
  std::filesystem::remove(environment.Records() / "os.tcl.start");
  std::filesystem::create_directories("mom_cur.out/kept");
  const Failure failure =
      ExpectFailure(FailureKind::FileDelete, [&] { RunMomentCurvature(state); });
  EXPECT_EQ(
      FailureDisplayText(failure.Message()),
      "Cannot delete file \"" + (dir.Path() / "mom_cur.out").string() + "\". Is a directory.");
  EXPECT_TRUE(std::filesystem::exists("mom_cur.out/kept"));
  EXPECT_FALSE(std::filesystem::exists(environment.Records() / "os.tcl.start"));
}

TEST(AxialSweep, StepsEvenlyFromTensionToCompression) {
  struct Case {
    double tension, compression;
    int32_t levels;
    std::vector<std::pair<int32_t, std::string>> load_lines;  // level, script line
  };
  const Case cases[] = {
      {1000,
       -9000,
       4,
       {{1, "load 2 1.000E+006 0.0 0.0"},
        {2, "load 2 -1.500E+006 0.0 0.0"},
        {3, "load 2 -4.000E+006 0.0 0.0"},
        {4, "load 2 -6.500E+006 0.0 0.0"},
        {5, "load 2 -9.000E+006 0.0 0.0"}}},
      {1130.4,
       -11630.4,
       20,
       {{1, "load 2 1.130E+006 0.0 0.0"},
        {2, "load 2 4.924E+005 0.0 0.0"},
        {21, "load 2 -1.163E+007 0.0 0.0"}}},
      {1000, -9000, 1, {{1, "load 2 1.000E+006 0.0 0.0"}, {2, "load 2 -9.000E+006 0.0 0.0"}}},
  };
  for (const Case& c : cases) {
    testing::SolverEnvironment environment;
    environment.InstallRecordingSolver();
    testing::ScopedTempDir dir;
    AnalysisState state = DefaultModel();
    state.TensionCapacity = c.tension;
    state.CompressionCapacity = c.compression;
    state.AxialLevels = c.levels;

    RunAxialSweep(state);
    const int32_t level_count = c.levels + 1;
    for (int32_t i = 1; i <= level_count; ++i)
      ASSERT_TRUE(environment.WaitForStart("P" + std::to_string(i) + ".tcl")) << i;
    EXPECT_FALSE(std::filesystem::exists("P" + std::to_string(level_count + 1) + ".tcl"));
    for (const auto& [level, line] : c.load_lines)
      EXPECT_EQ(LineStarting(ScriptOnDisk("P" + std::to_string(level) + ".tcl"), "load 2 "), line)
          << level;
  }
}

TEST(AxialSweep, EveryLevelIsTheMomentCurvatureScriptWithItsOwnLoadAndFiles) {
  testing::SolverEnvironment environment;
  environment.InstallRecordingSolver();
  testing::ScopedTempDir dir;
  AnalysisState state = DefaultModel();
  state.AxialLevels = 9;

  RunAxialSweep(state);
  const Lines single =
      BuildSolverScript(ScriptSectionOf(state), state.AxialLoad, "mom_cur.out", "os.tcl");
  for (int32_t i = 1; i <= 10; ++i) {
    const std::string script = "P" + std::to_string(i) + ".tcl";
    ASSERT_TRUE(environment.WaitForStart(script)) << i;
    // Whole on disk before its solver started.
    EXPECT_EQ(environment.SeenScript(script), ReadBytes(script)) << i;
    Lines level = ScriptOnDisk(script);
    ASSERT_EQ(level.size(), 280u);
    EXPECT_EQ(LineStarting(level, "recorder "), "recorder Node -file P" + std::to_string(i) +
                                                    "_mom_cur.out -time -node 2 -dof 3 disp");
    EXPECT_EQ(LineStarting(level, "file delete"), "file delete " + script);
    for (const char* start : {"load 2 ", "recorder ", "file delete"})
      level = testing::WithLine(level, start, LineStarting(single, start));
    EXPECT_EQ(level, single) << i;
  }
  EXPECT_EQ(testing::RecordLines(environment.Record("P10.tcl")).at(1), "P10.tcl");
  EXPECT_EQ(LineStarting(ScriptOnDisk("P10.tcl"), "recorder "),
            "recorder Node -file P10_mom_cur.out -time -node 2 -dof 3 disp");
}

TEST(AxialSweep, ALevelCountOfZeroOrLessDoesNothingAtAll) {
  // No solver is available: a start attempt would fail loudly.
  testing::SolverEnvironment environment;
  testing::ScopedTempDir dir;
  for (const int32_t levels : {-1, -7, INT32_MIN, INT32_MAX}) {
    AnalysisState state = DefaultModel();
    state.AxialLevels = levels;
    RunAxialSweep(state);
    EXPECT_TRUE(DirectoryIsEmpty(dir.Path())) << levels;
  }
}

TEST(AxialSweep, RefusesMoreSolversThanTheMachineCanRun) {
  testing::SolverEnvironment environment;
  testing::ScopedTempDir dir;
  for (const int32_t levels : {kMaxAxialLevels + 1, 2000000, INT32_MAX - 1}) {
    AnalysisState state = DefaultModel();
    state.AxialLevels = levels;
    const Failure failure = ExpectFailure(FailureKind::InvalidInput, [&] { RunAxialSweep(state); });
    EXPECT_NE(failure.Message().find("at most 1000 axial-force segments"), std::string::npos);
    EXPECT_TRUE(DirectoryIsEmpty(dir.Path())) << levels;
  }
}

TEST(AxialSweep, ZeroLevelsIsAnInvalidOperationBeforeAnyScript) {
  testing::SolverEnvironment environment;
  testing::ScopedTempDir dir;
  for (const bool input_read : {true, false}) {
    AnalysisState state = input_read ? DefaultModel() : AnalysisState{};
    state.AxialLevels = 0;
    const Failure failure =
        ExpectFailure(FailureKind::InvalidOperation, [&] { RunAxialSweep(state); });
    EXPECT_EQ(FailureDisplayText(failure.Message()), "Invalid floating point operation.");
    EXPECT_TRUE(DirectoryIsEmpty(dir.Path()));
  }
}

TEST(AxialSweep, StopsAtTheFirstLevelWhoseScriptCannotBeCreated) {
  testing::SolverEnvironment environment;
  environment.InstallRecordingSolver();
  testing::ScopedTempDir dir;
  std::filesystem::create_directory("P3.tcl");
  AnalysisState state = DefaultModel();
  state.AxialLevels = 4;
  const Failure failure = ExpectFailure(FailureKind::FileCreate, [&] { RunAxialSweep(state); });
  EXPECT_EQ(failure.Message(),
            "Cannot create file \"" + (dir.Path() / "P3.tcl").string() + "\". Is a directory");
  EXPECT_TRUE(environment.WaitForStart("P1.tcl"));
  EXPECT_TRUE(environment.WaitForStart("P2.tcl"));
  EXPECT_FALSE(std::filesystem::exists("P4.tcl"));
  EXPECT_FALSE(std::filesystem::exists(environment.Records() / "P3.tcl.start"));
}

TEST(AxialSweep, StopsAtTheFirstLevelWhoseSolverCannotStart) {
  testing::SolverEnvironment environment;
  testing::ScopedTempDir dir;
  AnalysisState state = DefaultModel();
  const Failure failure = ExpectFailure(FailureKind::SolverStart, [&] { RunAxialSweep(state); });
  EXPECT_EQ(failure.Message(),
            "Cannot start solver \"opensees.exe P1.tcl\". No such file or directory");
  EXPECT_EQ(LineStarting(ScriptOnDisk("P1.tcl"), "load 2 "), "load 2 1.130E+006 0.0 0.0");
  EXPECT_FALSE(std::filesystem::exists("P2.tcl"));
}

}  // namespace
}  // namespace marrowick
