#include "solver/moment_curvature_run.h"

#include <unistd.h>

#include <cerrno>

#include "core/failure.h"
#include "core/text_file.h"
#include "solver/solver_script.h"

namespace marrowick {

void RunMomentCurvature(const AnalysisState& state, const SolverStarted& started) {
  // A confined section's chart reads this file too; an earlier run's must not
  // stand in for one this solver never writes.
  if (state.Confinement && ::unlink(kDeformationFile) != 0 && errno != ENOENT)
    FailFileDelete(kDeformationFile, errno);
  SaveLines(BuildSolverScript(ScriptSectionOf(state), state.AxialLoad, "mom_cur.out", "os.tcl",
                              MomentDirectionOf(state.BendingAngle), kDeformationFile),
            "os.tcl");
  started(StartSolver("os.tcl", "mom_cur.out"));
}

}  // namespace marrowick
