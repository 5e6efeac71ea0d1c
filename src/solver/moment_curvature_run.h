#pragma once

#include "section/analysis_state.h"
#include "solver/solver_process.h"

namespace marrowick {

// "OpenSEES弯矩曲率分析": writes "os.tcl" for the captured section under
// AxialLoad and starts the solver on it, handing the running solver to
// `started`.
void RunMomentCurvature(const AnalysisState& state, const SolverStarted& started = LetSolverRun);

}  // namespace marrowick
