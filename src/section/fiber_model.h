#pragma once

#include <cstdint>

#include "section/analysis_state.h"

namespace marrowick {

// The largest model the program builds. A script holds one line per fiber and
// the solver one material per fiber; beyond this a mesh size was mistyped.
inline constexpr int32_t kMaxFiberCount = 1000000;

// The solver's material number of the confined core's concrete.
inline constexpr int32_t kCoreMaterial = 3;

// Cuts the section of the captured parameters into its fiber model: concrete
// cells column by column from the left (each column bottom up), the bars of
// the two faces parallel to Y, those of the faces parallel to X, then the four
// corner bars; and the steel area and the two axial capacities in kN. With
// hoops the concrete is the confined core and four cover strips instead,
// and the core's figures are kept in Confinement. A circular section is its
// ring patches (the core, then the cover, with hoops) cut as the solver cuts
// them, ring by ring, then its bars from +y counter-clockwise; the patches
// and bars are kept in Circle for its scripts.
// Every formula is evaluated in extended precision in the written order.
// Inputs the model cannot take fail before anything of the model changes.
void BuildFiberModel(AnalysisState& state);

}  // namespace marrowick
