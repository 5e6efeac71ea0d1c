#pragma once

#include "charts/canvas.h"
#include "core/analysis_state.h"
#include "results/interaction_curve.h"

namespace marrowick {

// The curve as red circles joined by a red line, moment across and axial
// force up, with a blue line at zero force.
void DrawInteractionCurve(const InteractionCurve& curve, Canvas& canvas);

// "显示PM曲线": the peak moment of every axial level, drawn against the
// level's force, and written to "m-n.out".
void ShowInteractionCurve(AnalysisState& state, Canvas& canvas);

}  // namespace marrowick
