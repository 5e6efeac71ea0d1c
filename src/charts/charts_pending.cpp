#include "charts/interaction_curve.h"
#include "charts/moment_curvature_chart.h"

// The result charts arrive with the results subsystem.
namespace marrowick {
void DrawMomentCurvatureChart(AnalysisState&, Canvas&) {}
void DrawInteractionCurve(AnalysisState&, Canvas&) {}
}  // namespace marrowick
