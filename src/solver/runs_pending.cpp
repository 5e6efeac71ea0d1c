#include "solver/axial_sweep.h"
#include "solver/moment_curvature_run.h"

// The solver runs arrive with the solver driver.
namespace marrowick {
void RunMomentCurvature(AnalysisState&) {}
void RunAxialSweep(AnalysisState&) {}
}  // namespace marrowick
