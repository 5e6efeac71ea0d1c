#pragma once

#include "charts/canvas.h"
#include "core/analysis_state.h"

namespace marrowick {

// "显示PM曲线": the peak moment of every axial level, drawn against the
// level's force, and written to "m-n.out".
void DrawInteractionCurve(AnalysisState& state, Canvas& canvas);

}  // namespace marrowick
