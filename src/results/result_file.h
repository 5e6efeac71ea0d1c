#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/analysis_state.h"

namespace marrowick {

using RecorderFields = std::array<std::string, 11>;

// Cuts one recorder line into fields[1] to fields[10] at its first ten spaces,
// each field trimmed of blanks and control characters; slot 0 is not touched.
// A field is the text before a space, so the text after the tenth space is
// ignored. A line with fewer than ten spaces also ends its last field at its
// own end: OpenSees writes no space after a line's last value, and that value
// (the curvature of "mom_cur.out") must still be read.
void SplitFields(RecorderFields& fields, const std::string& line);

// Reads a recorder file through state.TextLines: the first value of every line
// into first[1..n] and, when second is given, the second value into
// second[1..n]. Values are always read with a point, as the solver writes
// them. The line count goes to count and both series are sized to n + 1 slots
// before any value is converted, so a failing line leaves the earlier slots
// with their new values and state.Fields with the fields of that line.
// Returns n.
int32_t ReadResultFile(AnalysisState& state, const std::string& file_name, int32_t& count,
                       RealTable& first, RealTable* second = nullptr);

}  // namespace marrowick
