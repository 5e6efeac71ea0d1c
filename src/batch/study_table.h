#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "results/interaction_curve.h"
#include "results/result_file.h"
#include "section/analysis_state.h"
#include "section/section_file.h"

namespace marrowick {

// study.csv: one row per section of a batch, written as each section ends,
// so that a study cut short keeps every finished row. The columns are the
// section's name, "done" or "failed" and the failure's message, every input
// by its section-file key, the fiber model's totals and the key points of
// both curves; a cell is empty where its value is absent (a section that
// failed, a key point the curve cannot give).

// The header row.
std::string StudyHeader();

// What a finished section adds to its row after the inputs.
struct StudyFigures {
  int32_t fiber_count = 0;
  double steel_area_mm2 = 0;
  double compression_capacity_kN = 0;  // both capacities as magnitudes
  double tension_capacity_kN = 0;
  std::vector<std::optional<double>> key_points;  // in the header's order
};

StudyFigures FiguresOf(const AnalysisState& state, const MomentCurvatureSeries& series,
                       const InteractionCurve& curve);

// A row without its line end. Inputs are written as numbers (texts in the
// regional decimal symbol, as the batch hands them to the model); a cell
// holding a comma, a quote or a line end is quoted as CSV quotes it.
std::string StudyRow(const std::string& name, bool done, const std::string& message,
                     const SectionTexts* texts, const StudyFigures* figures);

// The name and status of a row StudyRow wrote (cells unquoted); none for a
// line that is not such a row (the header, a line cut short by a crash).
struct StudyRowStatus {
  std::string name;
  std::string status;
};
std::optional<StudyRowStatus> ReadStudyRowStatus(const std::string& line);

// The study table of a batch, open for its rows. A new table replaces an old
// one and starts with the header; one resumed keeps the rows of the
// sections done (the others run again; a last line cut short by a crash is
// dropped too) and goes on after them. Each row is
// appended with a single write, so that a study killed at any moment keeps
// every row it finished whole.
class StudyFile {
 public:
  // Fails with the file-creation failure when the table cannot be written.
  StudyFile(const std::string& file_name, bool resume);
  ~StudyFile();
  StudyFile(const StudyFile&) = delete;
  StudyFile& operator=(const StudyFile&) = delete;

  // The names whose rows in the resumed table say done.
  const std::set<std::string>& Done() const { return done_; }
  // Appends a row; fails with the stream write failure.
  void Add(const std::string& row);

 private:
  int fd_ = -1;
  std::set<std::string> done_;
};

}  // namespace marrowick
