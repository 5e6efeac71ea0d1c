#pragma once

#include <array>
#include <functional>
#include <string>

#include "section/analysis_state.h"
#include "section/input_fields.h"

namespace marrowick {

// The current text of input field EditN, for N from 1 to 20, passed on
// unchanged: blanks and the decimal symbol are the conversions' business.
using FieldText = std::function<std::string(int field)>;

// "输入数据", first step: the twenty fields in the order an engineer fills the
// section in (materials, outline, cover, mesh, bar counts before diameters,
// the unused angle before the axial load). Each value is stored as soon as it
// is read, so a bad field leaves every earlier parameter new and itself and
// every later one as before.
void CaptureSectionInput(AnalysisState& state, const FieldText& field_text);

// "输入数据" for the design-code inputs (the dialog 设计参数…): an empty
// text is an input left out. Read apart from the twenty fields, whose
// callers know only those.
void CaptureDesignInput(AnalysisState& state, const FieldText& input_text);

// "输入数据" as a whole: the twenty reads, then the fiber model. A bad field
// stops before the model, which then still describes the previous section.
void EnterSectionData(AnalysisState& state, const FieldText& field_text);

}  // namespace marrowick
