#pragma once

#include <string>

#include "core/analysis_state.h"
#include "core/extended_arithmetic.h"

namespace marrowick {

// Fills state.TextLines with the OpenSees script of one section analysis: the
// captured materials and fiber table, the axial load (kN, carried unrounded
// into the script in N), then the moment-curvature phase up to
// CurvatureLimit, recording into recorder_file; the script's last command
// makes the solver delete script_file. Reals are always written with a point,
// whatever the regional settings, because the solver reads Tcl numbers.
void BuildSolverScript(AnalysisState& state, Extended axial_load_kN,
                       const std::string& recorder_file, const std::string& script_file);

}  // namespace marrowick
