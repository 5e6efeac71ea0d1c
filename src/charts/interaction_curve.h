#pragma once

#include <filesystem>
#include <vector>

#include "charts/canvas.h"
#include "charts/chart_frame.h"
#include "results/design_curve.h"
#include "results/interaction_curve.h"
#include "section/analysis_state.h"

namespace marrowick {

// The curve as red circles joined by a red line, moment across and axial
// force up, with a blue line at zero force. A design code's curves, when
// given, are drawn first as lines of their own colours, from pure tension
// to the cap, and the frame takes in their points too.
void DrawInteractionCurve(const InteractionCurve& curve, Canvas& canvas,
                          const std::vector<DesignCurve>& design = {});

// The colours of a design code's curves: its design curve, and ACI 318's
// nominal one.
inline constexpr TColor kDesignCurveColor{160, 0, 160};
inline constexpr TColor kNominalCurveColor{255, 128, 0};

// The tables the chart's frame is scaled to: the levels' peak moments and
// forces (slots 1 to n), then every point of the design curves.
struct InteractionFrame {
  RealTable Moments, Forces;
  int32_t Count = 0;
};
InteractionFrame InteractionFrameTables(const RealTable& moments, const RealTable& forces,
                                        int32_t n, const std::vector<DesignCurve>& design);

// "显示PM曲线": the peak moment of every axial level, drawn against the
// level's force, and written to "m-n.out"; the level files are read and
// "m-n.out" written in `folder` (the window's is the current directory).
// With a design code chosen its curves are drawn beside; inputs they cannot
// be made from fail before anything is read or drawn.
void ShowInteractionCurve(AnalysisState& state, Canvas& canvas,
                          const std::filesystem::path& folder = {});

}  // namespace marrowick
