#include "solver/axial_sweep.h"

#include <cstdint>
#include <string>

#include "core/decimal_symbol.h"
#include "core/extended_arithmetic.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_file.h"
#include "section/axial_levels.h"
#include "solver/solver_process.h"
#include "solver/solver_script.h"

namespace marrowick {

void RunAxialSweep(AnalysisState& state) {
  // The level count wraps like a 32-bit integer: a huge AxialLevels gives a
  // negative count and so no level at all.
  const auto level_count =
      static_cast<int32_t>(static_cast<uint32_t>(state.AxialLevels) + uint32_t{1});
  if (level_count <= 0) return;
  if (state.AxialLevels > kMaxAxialLevels)
    FailInvalidInput("The sweep would start " + std::to_string(level_count) +
                     " solvers at once; at most " + std::to_string(kMaxAxialLevels) +
                     " axial-force segments are allowed");

  const ScriptSection section = ScriptSectionOf(state);
  const Lines fiber_lines = ScriptFiberLines(section.Fibers);
  for (int64_t i = 1; i <= level_count; ++i) {
    // With AxialLevels 0 the first level is 0/0, which fails before any
    // script is written.
    const Extended load =
        SweepLevelLoad(state.TensionCapacity, state.CompressionCapacity, state.AxialLevels, i);
    const auto level = static_cast<int32_t>(i);
    const std::string script_file = FormatTemplate("P%D.tcl", {level}, kFileDecimal);
    const std::string recorder_file = FormatTemplate("P%D_mom_cur.out", {level}, kFileDecimal);
    state.TextLines = BuildSolverScript(section, fiber_lines, load, recorder_file, script_file);
    // The solver reads its script as soon as it starts, so the script must be
    // whole on disk first.
    SaveLines(state.TextLines, script_file);
    StartSolver(script_file, recorder_file);
  }
}

}  // namespace marrowick
