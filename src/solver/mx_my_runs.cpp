#include "solver/mx_my_runs.h"

#include "core/decimal_symbol.h"
#include "core/number_text.h"
#include "section/moment_direction.h"

namespace marrowick {

MxMyScripts::MxMyScripts(const ScriptSection& section, double axial_load_kN)
    : section_(section),
      fiber_lines_(ScriptGeometryLines(section)),
      axial_load_kN_(axial_load_kN) {}

LevelScript MxMyScripts::Run(int32_t run) const {
  LevelScript script{FormatTemplate("A%D.tcl", {run}, kFileDecimal),
                     FormatTemplate("A%D_mom_cur.out", {run}, kFileDecimal),
                     {}};
  script.lines = BuildSolverScript(section_, fiber_lines_, axial_load_kN_, script.recorder_file,
                                   script.script_file, MomentDirectionOf(ContourAngle(run)));
  return script;
}

void RunMxMyContour(const AnalysisState& state, const SolverStarted& started) {
  const ScriptSection section = ScriptSectionOf(state);
  const MxMyScripts scripts(section, state.AxialLoad);
  for (int32_t run = 1; run <= kContourRuns; ++run) {
    const LevelScript script = scripts.Run(run);
    SaveLines(script.lines, script.script_file);
    started(StartSolver(script.script_file, script.recorder_file));
  }
}

}  // namespace marrowick
