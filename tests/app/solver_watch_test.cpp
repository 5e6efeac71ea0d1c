// The window knows when its solvers end: a second press of an analysis whose
// solvers still run starts nothing, which used to rewrite the scripts under
// them (an earlier solver's "file delete" could then take a newer script).
#include "app/solver_watch.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "core/text_file.h"
#include "recording_form.h"
#include "solver/fake_solver.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

TEST(SolverWatch, AnAnalysisStillRunningIsNotStartedAgainAndTheOtherIsIndependent) {
  testing::ScopedTempDir dir;
  testing::SolverEnvironment solvers;
  const auto real =
      std::filesystem::read_symlink("/proc/self/exe").parent_path() / "marrowick-solver";
  ASSERT_TRUE(std::filesystem::exists(real));
  const auto starts = solvers.Root() / "starts";
  // Slow to start, as on a loaded machine: every run overlaps the next press.
  testing::WriteExecutable(solvers.Root() / "bin" / "opensees.exe",
                           "#!/bin/sh\nPATH=/usr/bin:/bin\necho \"$1\" >> '" + starts.string() +
                               "'\nsleep 0.5\nexec '" + real.string() + "' \"$1\" 2>/dev/null\n");
  setenv("PATH", (solvers.Root() / "bin").c_str(), 1);

  testing::RecordingForm form;
  int ended[2] = {0, 0};
  QObject::connect(form.Solvers, &SolverWatch::AnalysisEnded,
                   [&](Analysis analysis) { ++ended[analysis == Analysis::Sweep]; });
  const auto wait_for = [&](int moment_curvature, int sweep) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while ((ended[0] < moment_curvature || ended[1] < sweep) &&
           std::chrono::steady_clock::now() < deadline) {
      QApplication::processEvents();
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return ended[0] >= moment_curvature && ended[1] >= sweep;
  };
  const auto started = [&] {
    Lines lines;
    LoadLines(lines, starts.string());
    return lines.size();
  };

  form.Type(20, "4");
  form.Press("Button6");
  form.Press("Button3");
  form.Press("Button3");
  form.Press("Button7");
  form.Press("Button7");
  ASSERT_EQ(form.shown, (std::vector<std::string>{
                            "OpenSEES PM分析 still has 5 solvers running; press it again once "
                            "they have ended.",
                            "OpenSEES弯矩曲率分析 still has 1 solver running; press it again once "
                            "it has ended."}));
  ASSERT_TRUE(wait_for(1, 1)) << "the window never learnt that its solvers ended";
  EXPECT_EQ(form.Solvers->Running(Analysis::Sweep), 0);
  EXPECT_EQ(started(), 6u);

  // Every level's file is whole and charted; the sweep runs again once ended.
  form.Press("Button5");
  form.Press("Button4");
  form.Press("Button3");
  EXPECT_EQ(form.shown.size(), 2u) << form.shown.back();
  ASSERT_TRUE(wait_for(1, 2));
  EXPECT_EQ(started(), 11u);
  form.Press("Button5");
  EXPECT_EQ(form.shown.size(), 2u) << form.shown.back();
}

}  // namespace
}  // namespace marrowick
