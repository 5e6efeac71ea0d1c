#pragma once

#include <string>

#include "section/analysis_state.h"
#include "results/interaction_curve.h"
#include "results/result_file.h"
#include "section/section_file.h"

namespace marrowick {

// summary.json of a section: its inputs by the section file's keys, the fiber
// model's totals (capacities as magnitudes), and the key points of both
// curves, null where a key point cannot be found. Numbers are written in
// their shortest form that reads back to the same double.
std::string SummaryJson(const SectionTexts& texts, const AnalysisState& state,
                        const MomentCurvatureSeries& series, const InteractionCurve& curve);

}  // namespace marrowick
