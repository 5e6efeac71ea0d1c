#pragma once

#include <string>
#include <vector>

#include "charts/canvas.h"
#include "charts/chart_frame.h"
#include "results/design_curve.h"
#include "results/key_points.h"

namespace marrowick {

// The marks an engineer can switch on over a finished chart: a small filled
// square at each key point with a short label beside it, in a colour the
// charts never use. Absent key points, and any outside the chart's ranges,
// are not marked. They change the surface's pen, brush and font, so the
// window draws them on a copy of the chart, whose own drawing state stays as
// the chart left it.
// A confined section's ultimate point says what ended the curve.
void MarkMomentCurvatureKeyPoints(Canvas& canvas, const ScaleRanges& ranges,
                                  const MomentCurvatureKeyPoints& keys, bool confined = false);
void MarkInteractionKeyPoints(Canvas& canvas, const ScaleRanges& ranges,
                              const InteractionKeyPoints& keys);

// The key points of a design code's curves: labelled on the design curve,
// squares alone on ACI 318's nominal curve (its points lie at the same
// neutral-axis depths).
void MarkDesignKeyPoints(Canvas& canvas, const ScaleRanges& ranges,
                         const std::vector<DesignCurve>& design);

// A design key point's label (界限, 纯弯 …) and a curve's name as the window
// shows them.
const char* DesignKeyLabel(const std::string& key);
std::string DesignCurveCaption(const DesignCurve& curve);

// The colour of the marks and their labels.
inline constexpr TColor kKeyPointColor{0, 128, 0};

}  // namespace marrowick
