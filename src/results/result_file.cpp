#include "results/result_file.h"

#include <limits>

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_file.h"

namespace marrowick {

void SplitFields(RecorderFields& fields, const std::string& line) {
  // ends[k] is the position (counted from 1) of the space that ends field k;
  // ends[0] = 0 stands just before the first character.
  std::array<std::size_t, 11> ends{};
  std::size_t count = 0;
  for (std::size_t i = 0; i < line.size() && count < 10; ++i)
    if (line[i] == ' ') ends[++count] = i + 1;
  if (count < 10) ends[++count] = line.size() + 1;

  for (std::size_t k = 0; k < 10; ++k) {
    fields[k + 1].clear();
    // A field with no space after it is unrecorded and stays empty.
    if (k + 1 > count || ends[k + 1] <= ends[k] + 1) continue;
    fields[k + 1] = TrimText(line.substr(ends[k], ends[k + 1] - ends[k] - 1));
  }
}

int32_t ReadResultFile(AnalysisState& state, const std::string& file_name, int32_t& count,
                       RealTable& first, RealTable* second) {
  state.TextLines.clear();
  LoadLines(state.TextLines, file_name);
  if (state.TextLines.size() > static_cast<std::size_t>(std::numeric_limits<int32_t>::max() - 1))
    FailRangeCheck();
  const auto n = static_cast<int32_t>(state.TextLines.size());
  count = n;
  first.resize(static_cast<std::size_t>(n) + 1);
  if (second) second->resize(static_cast<std::size_t>(n) + 1);

  for (int32_t i = 1; i <= n; ++i) {
    SplitFields(state.Fields, state.TextLines[static_cast<std::size_t>(i) - 1]);
    first[static_cast<std::size_t>(i)] = ParseReal(state.Fields[1], kFileDecimal);
    if (second) (*second)[static_cast<std::size_t>(i)] = ParseReal(state.Fields[2], kFileDecimal);
  }
  return n;
}

}  // namespace marrowick
