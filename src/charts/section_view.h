#pragma once

#include "charts/canvas.h"
#include "charts/chart_frame.h"
#include "section/analysis_state.h"

namespace marrowick {

// "显示截面": every fiber of the current model as a 6 × 6 square at its
// centre (concrete yellow, bars red, corner bars blue), scaled so that the
// section fills 60 % of the surface in its limiting direction. The squares
// show the layout of the mesh and the bars, not the fiber sizes. A confined
// section's core fibers are orange, and the hoop centreline is drawn over
// the fibers as a blue rectangle. A circular section is scaled by its
// diameter, its outline drawn as a black circle over the fibers and its hoop
// centreline as a blue one.
// A section of zero width or height fails before anything is drawn.
void DrawSectionView(AnalysisState& state, Canvas& canvas);

// The centre pixel of a fiber's square at that scale on a surface of that
// size: the section centre at the surface centre, section Y upward.
ChartPixel FiberPixel(const TFiber& fiber, double draw_scale, int width, int height);

}  // namespace marrowick
