#pragma once

#include <cstdint>

#include "section/analysis_state.h"
#include "solver/axial_sweep.h"
#include "solver/solver_process.h"
#include "solver/solver_script.h"

namespace marrowick {

// The scripts of the Mx–My contour (kContourRuns, ContourAngle): moment-
// curvature runs under the axial force of 施加轴力.
class MxMyScripts {
 public:
  MxMyScripts(const ScriptSection& section, double axial_load_kN);
  LevelScript Run(int32_t run) const;

 private:
  const ScriptSection& section_;
  Lines fiber_lines_;
  double axial_load_kN_;
};

// "显示Mx-My曲线": each run's script saved and its solver started in turn,
// each started solver handed to `started`.
void RunMxMyContour(const AnalysisState& state, const SolverStarted& started = LetSolverRun);

}  // namespace marrowick
