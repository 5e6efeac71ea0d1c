#pragma once

#include "charts/canvas.h"
#include "core/analysis_state.h"
#include "results/result_file.h"

namespace marrowick {

// Moment against curvature as one red line through the steps in their order.
void DrawMomentCurvatureChart(const MomentCurvatureSeries& series, Canvas& canvas);

// "显示弯矩曲率曲线": reads "mom_cur.out" and draws moment against curvature.
void ShowMomentCurvatureChart(AnalysisState& state, Canvas& canvas);

}  // namespace marrowick
