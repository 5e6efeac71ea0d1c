#include "solver/moment_curvature_run.h"

#include "core/text_file.h"
#include "solver/solver_script.h"

namespace marrowick {

void RunMomentCurvature(const AnalysisState& state, const SolverStarted& started) {
  SaveLines(BuildSolverScript(ScriptSectionOf(state), state.AxialLoad, "mom_cur.out", "os.tcl",
                              MomentDirectionOf(state.BendingAngle)),
            "os.tcl");
  started(StartSolver("os.tcl", "mom_cur.out"));
}

}  // namespace marrowick
