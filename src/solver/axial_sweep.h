#pragma once

#include <cstdint>

#include "core/analysis_state.h"

namespace marrowick {

// Every level starts its own solver process at once: beyond this many
// segments a typo would start thousands of solvers and bring the machine
// down, so such a count is refused before anything is written or started.
inline constexpr int32_t kMaxAxialLevels = 1000;

// "OpenSEES PM分析": one script and one solver per axial level, from the
// tension capacity to the compression capacity.
void RunAxialSweep(AnalysisState& state);

}  // namespace marrowick
