#pragma once

#include <filesystem>

#include "charts/canvas.h"
#include "results/interaction_curve.h"
#include "section/analysis_state.h"

namespace marrowick {

// The curve as red circles joined by a red line, moment across and axial
// force up, with a blue line at zero force.
void DrawInteractionCurve(const InteractionCurve& curve, Canvas& canvas);

// "显示PM曲线": the peak moment of every axial level, drawn against the
// level's force, and written to "m-n.out"; the level files are read and
// "m-n.out" written in `folder` (the window's is the current directory).
void ShowInteractionCurve(AnalysisState& state, Canvas& canvas,
                          const std::filesystem::path& folder = {});

}  // namespace marrowick
