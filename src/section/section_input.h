#pragma once

#include <array>
#include <functional>
#include <string>

#include "section/analysis_state.h"
#include "section/input_fields.h"

namespace marrowick {

// The current text of input N (EditN for N from 1 to 20, the dialogs' inputs
// above), passed on unchanged: blanks and the decimal symbol are the
// conversions' business. An optional input left out is an empty text.
using FieldText = std::function<std::string(int field)>;

// "输入数据", first step: the twenty fields in the order an engineer fills the
// section in (materials, outline, cover, mesh, bar counts before diameters,
// the bending angle before the axial load), then the hoops (none unless their
// diameter, spacing and yield strength are all given; some of them alone
// fail naming the first one missing), read through dialog_text: the inputs
// edited outside the main window; a caller without them has no hoops. Hoops
// with a bending angle other than 0 fail naming both. Each
// value is stored as soon as it is read, so a bad field leaves every earlier
// parameter new and itself and every later one as before.
void CaptureSectionInput(AnalysisState& state, const FieldText& field_text,
                         const FieldText& dialog_text = {});

// "输入数据" for the design-code inputs (the dialog 设计参数…): an empty
// text is an input left out. Read apart from the twenty fields, whose
// callers know only those.
void CaptureDesignInput(AnalysisState& state, const FieldText& input_text);

// "输入数据" as a whole: the twenty reads, then the fiber model. A bad field
// stops before the model, which then still describes the previous section.
void EnterSectionData(AnalysisState& state, const FieldText& field_text,
                      const FieldText& dialog_text = {});

}  // namespace marrowick
