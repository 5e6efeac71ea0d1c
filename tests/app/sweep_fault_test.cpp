// What a sweep leaves when things go wrong outside the program: a solver
// killed half-way, a recorder file deleted before the chart, a file still
// held by a writer. Runs the real bundled solver, built beside this test,
// behind a stand-in "opensees.exe" that can have one level's solver killed
// at a chosen line of its script.
#include <gtest/gtest.h>

#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app/form1.h"
#include "app/image_control.h"
#include "core/number_text.h"
#include "core/text_file.h"
#include "recording_form.h"
#include "results/result_file.h"
#include "solver/fake_solver.h"
#include "support/temp_dir.h"
#include "support/write_lock_holder.h"

namespace marrowick {
namespace {

using testing::ReadBytes;
using testing::RecordingForm;

// Where, in the script of the level to kill, its solver dies by SIGKILL.
enum class KillPoint {
  kNone,
  kBeforeRecorder,  // no recorder file at all
  kAfterRecorder,   // the recorder file created, no step recorded
  kHalfWay,         // 40 of the 100 moment steps recorded
};

std::string KillEdit(KillPoint point) {
  const char* kill = "exec kill -KILL [pid]; ";
  switch (point) {
    case KillPoint::kBeforeRecorder:
      return std::string("s/^recorder /") + kill + "recorder /";
    case KillPoint::kAfterRecorder:
      return std::string("s/^pattern Plain 2 /") + kill + "pattern Plain 2 /";
    case KillPoint::kHalfWay:
      return std::string("s/^analyze 100 /analyze 40; ") + kill + "/";
    case KillPoint::kNone:
      break;
  }
  return {};
}

class SweepFaultTest : public ::testing::Test {
 protected:
  static constexpr int kLevels = 5;  // "轴压力分段" 4

  void SetUp() override {
    const std::filesystem::path solver =
        std::filesystem::read_symlink("/proc/self/exe").parent_path() / "marrowick-solver";
    ASSERT_TRUE(std::filesystem::exists(solver)) << "marrowick-solver is not built beside the test";
    solver_ = solver.string();
    form_.Type(20, "4");
    form_.Press("Button6");
    ASSERT_TRUE(form_.shown.empty());
  }

  // Puts the stand-in on PATH: it runs the real solver on its script, edited
  // first for the level to kill, and notes every finished level.
  void InstallSolver(int killed_level, KillPoint point) {
    std::string script = "#!/bin/sh\nPATH=/usr/bin:/bin\n";
    if (point != KillPoint::kNone)
      script += "[ \"$1\" = P" + std::to_string(killed_level) + ".tcl ] && sed -i '" +
                KillEdit(point) + "' \"$1\"\n";
    script += "'" + solver_ + "' \"$1\" 2>/dev/null\necho \"$1\" >> '" +
              (solvers_.Root() / "done").string() + "'\n";
    testing::WriteExecutable(solvers_.Root() / "bin" / "opensees.exe", script);
    setenv("PATH", (solvers_.Root() / "bin").c_str(), 1);
  }

  // Runs "OpenSEES PM分析" and waits, bounded, until every solver has ended.
  void Sweep() {
    std::filesystem::remove(solvers_.Root() / "done");
    const std::size_t boxes = form_.shown.size();
    form_.Press("Button3");
    ASSERT_EQ(form_.shown.size(), boxes) << form_.shown.back();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
      Lines done;
      if (std::filesystem::exists(solvers_.Root() / "done"))
        LoadLines(done, (solvers_.Root() / "done").string());
      if (done.size() >= kLevels) break;
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the solvers did not finish";
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
  }

  std::string Missing(const std::string& file) const {
    return "Cannot open file \"" + (dir_.Path() / file).string() + "\". No such file or directory.";
  }

  static double PeakOf(const std::string& file) {
    const LevelMoments level = ReadLevelMoments(file);
    return level.Count ? *std::max_element(level.Moments.begin() + 1, level.Moments.end()) : 0;
  }

  testing::ScopedTempDir dir_;
  testing::SolverEnvironment solvers_;
  std::string solver_;
  RecordingForm form_;
};

// A killed solver leaves what it recorded up to its death: a level killed
// half-way reads its 40 lines, one killed before its first step reads as no
// moment at all, and the chart of the whole sweep is drawn from them.
TEST_F(SweepFaultTest, ALevelKilledAfterItsRecorderStartedIsChartedFromWhatItWrote) {
  for (const KillPoint point : {KillPoint::kHalfWay, KillPoint::kAfterRecorder}) {
    SCOPED_TRACE(point == KillPoint::kHalfWay ? "half-way" : "after the recorder");
    InstallSolver(3, point);
    ASSERT_NO_FATAL_FAILURE(Sweep());
    // The killed solver never reached its last line, which deletes the script.
    EXPECT_TRUE(std::filesystem::exists("P3.tcl"));
    EXPECT_FALSE(std::filesystem::exists("P2.tcl"));
    Lines level3;
    LoadLines(level3, "P3_mom_cur.out");
    EXPECT_EQ(level3.size(), point == KillPoint::kHalfWay ? 40u : 0u);

    const QImage blank = form_.Picture();
    form_.Press("Button5");
    ASSERT_TRUE(form_.shown.empty()) << form_.shown.front();
    EXPECT_NE(form_.Picture(), blank);
    Lines curve;
    LoadLines(curve, "m-n.out");
    ASSERT_EQ(curve.size(), kLevels + 1u);
    const std::string peak3 = curve[3].substr(0, curve[3].find(','));
    EXPECT_EQ(peak3, FormatTemplate("%0.4E", {Extended{PeakOf("P3_mom_cur.out")}}, '.'));
    if (point == KillPoint::kAfterRecorder) {
      EXPECT_EQ(peak3, "0.000E+000");
    }
    std::filesystem::remove("P3.tcl");
  }
}

// A level without its file, whether its solver died before the recorder was
// set up or the file was deleted before the chart: the chart names the file,
// draws nothing and leaves the earlier "m-n.out" as it was.
TEST_F(SweepFaultTest, ALevelWithoutItsFileIsNamedAndNothingIsDrawnOrWritten) {
  InstallSolver(0, KillPoint::kNone);
  ASSERT_NO_FATAL_FAILURE(Sweep());
  form_.Press("Button5");
  ASSERT_TRUE(form_.shown.empty()) << form_.shown.front();
  const std::string earlier_curve = ReadBytes("m-n.out");
  const QImage earlier_picture = form_.Picture();

  std::filesystem::remove("P2_mom_cur.out");
  form_.Press("Button5");
  ASSERT_EQ(form_.shown, std::vector<std::string>{Missing("P2_mom_cur.out")});
  EXPECT_EQ(ReadBytes("m-n.out"), earlier_curve);
  EXPECT_EQ(form_.Picture(), earlier_picture);

  std::filesystem::remove("P4_mom_cur.out");
  InstallSolver(4, KillPoint::kBeforeRecorder);
  ASSERT_NO_FATAL_FAILURE(Sweep());
  EXPECT_TRUE(std::filesystem::exists("P2_mom_cur.out"));
  EXPECT_FALSE(std::filesystem::exists("P4_mom_cur.out"));
  form_.Press("Button5");
  ASSERT_EQ(form_.shown.size(), 2u);
  EXPECT_EQ(form_.shown[1], Missing("P4_mom_cur.out"));
  EXPECT_EQ(ReadBytes("m-n.out"), earlier_curve);
  EXPECT_EQ(form_.Picture(), earlier_picture);
}

// A level file still held by its writer is refused as in use, and reads as
// soon as the writer lets go.
TEST_F(SweepFaultTest, ALevelStillBeingWrittenIsRefusedUntilReleased) {
  InstallSolver(0, KillPoint::kNone);
  ASSERT_NO_FATAL_FAILURE(Sweep());
  const QImage blank = form_.Picture();
  {
    testing::WriteLockHolder writer("P5_mom_cur.out");
    ASSERT_TRUE(writer.Locked());
    form_.Press("Button5");
  }
  ASSERT_EQ(form_.shown, std::vector<std::string>{"Cannot open file \"" +
                                                  (dir_.Path() / "P5_mom_cur.out").string() +
                                                  "\". The file is in use by another program."});
  EXPECT_FALSE(std::filesystem::exists("m-n.out"));
  EXPECT_EQ(form_.Picture(), blank);
  form_.Press("Button5");
  EXPECT_EQ(form_.shown.size(), 1u);
  EXPECT_TRUE(std::filesystem::exists("m-n.out"));
}

// The moment-curvature file deleted between the run and its chart.
TEST_F(SweepFaultTest, AMomentCurvatureFileDeletedBeforeTheChartIsNamed) {
  InstallSolver(0, KillPoint::kNone);
  form_.Press("Button7");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!std::filesystem::exists(solvers_.Root() / "done")) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the solver did not finish";
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  form_.Press("Button4");
  ASSERT_TRUE(form_.shown.empty()) << form_.shown.front();
  const QImage chart = form_.Picture();
  std::filesystem::remove("mom_cur.out");
  form_.Press("Button4");
  ASSERT_EQ(form_.shown, std::vector<std::string>{Missing("mom_cur.out")});
  EXPECT_EQ(form_.Picture(), chart);
  EXPECT_EQ(form_.State().SeriesCount, 100);
}

}  // namespace
}  // namespace marrowick
