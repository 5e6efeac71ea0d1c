#pragma once

#include <filesystem>

#include "charts/canvas.h"
#include "charts/chart_frame.h"
#include "results/mx_my_contour.h"

namespace marrowick {

// The frame's ranges for the contour on a surface of that size: centred on
// the origin and wide enough for every point, with as many kN·m per pixel
// across as up, so that the contour keeps its shape.
ScaleRanges MxMyRanges(const MxMyContour& contour, int width, int height);

// The contour: My across, Mz up, each run's point as a red circle, the points
// joined in order and closed, and the origin marked by blue axes.
ScaleRanges DrawMxMyContour(const MxMyContour& contour, Canvas& canvas);

// "显示Mx-My曲线", once its runs have ended: reads every run's file in
// `folder` (the window's is the current directory) and draws the contour.
MxMyContour ShowMxMyContour(const AnalysisState& state, Canvas& canvas,
                            const std::filesystem::path& folder = {});

}  // namespace marrowick
