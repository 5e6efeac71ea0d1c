#include "solver/axial_sweep.h"

#include <cstdint>
#include <string>

#include "core/decimal_symbol.h"
#include "core/extended_arithmetic.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "section/axial_levels.h"

namespace marrowick {

AxialSweepScripts::AxialSweepScripts(const ScriptSection& section, int32_t axial_levels,
                                     double tension_capacity, double compression_capacity,
                                     const MomentDirection& direction)
    : section_(section),
      axial_levels_(axial_levels),
      tension_capacity_(tension_capacity),
      compression_capacity_(compression_capacity),
      direction_(direction),
      level_count_(static_cast<int32_t>(static_cast<uint32_t>(axial_levels) + uint32_t{1})) {
  if (level_count_ <= 0) {
    level_count_ = 0;
    return;
  }
  if (axial_levels > kMaxAxialLevels)
    FailInvalidInput("The sweep would start " + std::to_string(level_count_) +
                     " solvers at once; at most " + std::to_string(kMaxAxialLevels) +
                     " axial-force segments are allowed");
  fiber_lines_ = ScriptGeometryLines(section);
}

LevelScript AxialSweepScripts::Level(int32_t level) const {
  const Extended load =
      SweepLevelLoad(tension_capacity_, compression_capacity_, axial_levels_, level);
  LevelScript script{FormatTemplate("P%D.tcl", {level}, kFileDecimal),
                     FormatTemplate("P%D_mom_cur.out", {level}, kFileDecimal),
                     {}};
  script.lines = BuildSolverScript(section_, fiber_lines_, load, script.recorder_file,
                                   script.script_file, direction_);
  return script;
}

void RunAxialSweep(const AnalysisState& state, const SolverStarted& started) {
  const ScriptSection section = ScriptSectionOf(state);
  const AxialSweepScripts sweep(section, state.AxialLevels, state.TensionCapacity,
                                state.CompressionCapacity, MomentDirectionOf(state.BendingAngle));
  for (int32_t level = 1; level <= sweep.LevelCount(); ++level) {
    const LevelScript script = sweep.Level(level);
    // The solver reads its script as soon as it starts, so the script must be
    // whole on disk first.
    SaveLines(script.lines, script.script_file);
    started(StartSolver(script.script_file, script.recorder_file));
  }
}

}  // namespace marrowick
