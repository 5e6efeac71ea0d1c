#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/number_text.h"
#include "core/text_file.h"
#include "results/interaction_curve.h"
#include "results/result_file.h"
#include "section/analysis_state.h"

namespace marrowick {

// RoundTripText (core/number_text.h) writes every number of these tables.

// Tables of results, a header row first, then one row per entry, the columns
// joined by `separator` (a comma for a CSV file, a tab for pasting into a
// spreadsheet). The lines carry no line ends.

// curvature_per_mm, moment_kNm: one row per recorded step, in order; a biaxial
// series adds mz_kNm, my_kNm, curvature_z_per_mm and curvature_y_per_mm.
Lines MomentCurvatureTable(const MomentCurvatureSeries& series, char separator = ',');

// level, axial_force_kN, peak_moment_kNm: compression positive, as in "m-n.out".
Lines InteractionTable(const InteractionCurve& curve, char separator = ',');

// kind, y_mm, z_mm, area_mm2 for fibers 1 to fiber_count; kind is concrete
// (the cover of a confined section), core_concrete, side_bar or corner_bar (a
// circular section's bars: bar), y the lever arm of bending (the fiber's Y,
// written first in the solver script) and z the fiber's X.
Lines FiberTable(const std::vector<TFiber>& fibers, int32_t fiber_count, char separator = ',',
                 bool circular = false);

}  // namespace marrowick
