#pragma once

#include "core/analysis_state.h"

namespace marrowick {

// "OpenSEES弯矩曲率分析": writes "os.tcl" for the captured section under
// AxialLoad and starts the solver on it, without waiting.
void RunMomentCurvature(AnalysisState& state);

}  // namespace marrowick
