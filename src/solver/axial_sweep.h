#pragma once

#include "core/analysis_state.h"

namespace marrowick {

// "OpenSEES PM分析": one script and one solver per axial level, from the
// tension capacity to the compression capacity (section/axial_levels.h);
// at most kMaxAxialLevels segments.
void RunAxialSweep(AnalysisState& state);

}  // namespace marrowick
