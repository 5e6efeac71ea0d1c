#pragma once

#include "charts/canvas.h"
#include "core/analysis_state.h"

namespace marrowick {

// "显示弯矩曲率曲线": reads "mom_cur.out" and draws moment against curvature.
void DrawMomentCurvatureChart(AnalysisState& state, Canvas& canvas);

}  // namespace marrowick
