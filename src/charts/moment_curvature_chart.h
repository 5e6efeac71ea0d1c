#pragma once

#include <filesystem>

#include "charts/canvas.h"
#include "results/result_file.h"
#include "section/analysis_state.h"

namespace marrowick {

// Moment against curvature as one red line through the steps in their order.
void DrawMomentCurvatureChart(const MomentCurvatureSeries& series, Canvas& canvas);

// "显示弯矩曲率曲线": reads "mom_cur.out" in `folder` (the window's is the
// current directory) and draws moment against curvature. For a confined
// section it also reads the core's edge strains from the deformation file.
void ShowMomentCurvatureChart(AnalysisState& state, Canvas& canvas,
                              const std::filesystem::path& folder = {});

}  // namespace marrowick
