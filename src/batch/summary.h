#pragma once

#include <string>
#include <vector>

#include "results/design_curve.h"
#include "results/interaction_curve.h"
#include "results/result_file.h"
#include "section/analysis_state.h"
#include "section/section_file.h"

namespace marrowick {

// summary.json of a section: its inputs by the section file's keys, the fiber
// model's totals (capacities as magnitudes), and the key points of both
// curves, null where a key point cannot be found. Numbers are written in
// their shortest form that reads back to the same double. With a design
// code, `design` holds the key points of each of its curves by name; without
// one there is no such entry.
std::string SummaryJson(const SectionTexts& texts, const AnalysisState& state,
                        const MomentCurvatureSeries& series, const InteractionCurve& curve,
                        const std::vector<DesignCurve>& design = {});

}  // namespace marrowick
