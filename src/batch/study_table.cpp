#include "batch/study_table.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <span>
#include <string_view>

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_file.h"
#include "results/export.h"
#include "results/key_points.h"

namespace marrowick {

namespace {

constexpr const char* kFigureColumns[] = {"fiber_count", "steel_area_mm2",
                                          "compression_capacity_kN", "tension_capacity_kN"};
constexpr const char* kKeyPointColumns[] = {"yield_curvature_per_mm",
                                            "yield_moment_kNm",
                                            "peak_curvature_per_mm",
                                            "peak_moment_kNm",
                                            "ultimate_curvature_per_mm",
                                            "ultimate_moment_kNm",
                                            "ductility",
                                            "balanced_axial_force_kN",
                                            "balanced_moment_kNm",
                                            "m0_kNm"};

std::string Cell(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::span<const double> Entries(const RealTable& table, int32_t count) {
  return std::span<const double>(table).subspan(1, static_cast<std::size_t>(count));
}

}  // namespace

std::string StudyHeader() {
  std::string header = "name,status,message";
  for (const SectionFileKey& entry : kSectionFileKeys) header += std::string(",") + entry.key;
  for (const char* column : kFigureColumns) header += std::string(",") + column;
  for (const char* column : kKeyPointColumns) header += std::string(",") + column;
  return header;
}

StudyFigures FiguresOf(const AnalysisState& state, const MomentCurvatureSeries& series,
                       const InteractionCurve& curve) {
  const MomentCurvatureKeyPoints bending = FindMomentCurvatureKeyPoints(
      Entries(series.Curvatures, series.Count), Entries(series.Moments, series.Count));
  const InteractionKeyPoints interaction = FindInteractionKeyPoints(
      Entries(curve.AxialForces, curve.Levels), Entries(curve.PeakMoments, curve.Levels));
  StudyFigures figures{state.FiberCount,
                       state.SteelArea,
                       // Stored negative, as the solver's sign takes compression.
                       0.0 - state.CompressionCapacity,
                       state.TensionCapacity,
                       {}};
  for (const auto& point : {bending.Yield, bending.Peak, bending.Ultimate}) {
    figures.key_points.push_back(point ? std::optional(point->CurvaturePerMm) : std::nullopt);
    figures.key_points.push_back(point ? std::optional(point->MomentKNm) : std::nullopt);
  }
  figures.key_points.push_back(bending.Ductility);
  const auto& balanced = interaction.Balanced;
  figures.key_points.push_back(balanced ? std::optional(balanced->AxialForceKN) : std::nullopt);
  figures.key_points.push_back(balanced ? std::optional(balanced->MomentKNm) : std::nullopt);
  figures.key_points.push_back(interaction.PureBendingMomentKNm);
  return figures;
}

std::string StudyRow(const std::string& name, bool done, const std::string& message,
                     const SectionTexts* texts, const StudyFigures* figures) {
  // One line per row, so that a resumed study reads the table line by line.
  std::string flat = message;
  for (char& c : flat)
    if (c == '\r' || c == '\n') c = ' ';
  std::string row = Cell(name) + (done ? ",done," : ",failed,") + Cell(flat);
  for (const SectionFileKey& entry : kSectionFileKeys) {
    row += ',';
    if (!texts) continue;
    // An optional input the section does not have is an empty cell.
    const std::optional<std::string>& given = texts->at(static_cast<std::size_t>(entry.field));
    if (!given) continue;
    const std::string& text = *given;
    row += entry.rule == FieldRule::Integer ? std::to_string(ParseInteger(text))
           : entry.rule == FieldRule::Word  ? Cell(text)
                                            : RoundTripText(ParseReal(text, RegionalDecimal()));
  }
  if (!figures)
    return row + std::string(std::size(kFigureColumns) + std::size(kKeyPointColumns), ',');
  row += ',' + std::to_string(figures->fiber_count) + ',' + RoundTripText(figures->steel_area_mm2) +
         ',' + RoundTripText(figures->compression_capacity_kN) + ',' +
         RoundTripText(figures->tension_capacity_kN);
  for (const std::optional<double>& value : figures->key_points)
    row += ',' + (value ? RoundTripText(*value) : std::string());
  return row;
}

std::optional<StudyRowStatus> ReadStudyRowStatus(const std::string& line) {
  std::string cells[2];
  std::size_t at = 0;
  for (std::string& cell : cells) {
    if (at < line.size() && line[at] == '"') {
      for (++at; at < line.size(); ++at) {
        if (line[at] == '"' && (at + 1 >= line.size() || line[at + 1] != '"')) break;
        if (line[at] == '"') ++at;
        cell += line[at];
      }
      if (at++ >= line.size()) return std::nullopt;
    } else {
      const std::size_t end = line.find(',', at);
      cell = line.substr(at, end == std::string::npos ? std::string::npos : end - at);
      at = end == std::string::npos ? line.size() : end;
    }
    if (at >= line.size() || line[at] != ',') return std::nullopt;
    ++at;
  }
  if (cells[1] != "done" && cells[1] != "failed") return std::nullopt;
  return StudyRowStatus{cells[0], cells[1]};
}

StudyFile::StudyFile(const std::string& file_name, bool resume) {
  fd_ = ::open(file_name.c_str(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC | (resume ? 0 : O_TRUNC),
               0644);
  if (fd_ < 0) FailFileCreate(file_name, errno);
  bool has_header = false;
  if (resume) {
    std::string text;
    struct stat info = {};
    if (::fstat(fd_, &info) != 0) FailFileOpen(file_name, errno);
    text.resize(static_cast<std::size_t>(info.st_size));
    const ssize_t got = ::pread(fd_, text.data(), text.size(), 0);
    if (got != static_cast<ssize_t>(text.size())) FailFileOpen(file_name, errno);
    const std::size_t whole = text.rfind('\n') == std::string::npos ? 0 : text.rfind('\n') + 1;
    // A table begun by a batch that knew other inputs has other columns; rows
    // appended to it would sit under the wrong headings, so it is left as it is.
    const std::string header = StudyHeader();
    const std::size_t first_end = text.find('\n');
    if (first_end != std::string::npos &&
        std::string_view(text).substr(0, first_end) != header + "\r") {
      ::close(fd_);
      fd_ = -1;
      throw Failure(FailureKind::InvalidInput,
                    file_name +
                        ": its columns are not the ones this batch writes (it was begun by "
                        "another version); resume it with that version, or start the "
                        "study in another --out folder");
    }
    if (whole < text.size() && ::ftruncate(fd_, static_cast<off_t>(whole)) != 0)
      FailFileCreate(file_name, errno);
    text.resize(whole);
    // The sections that are not done run again: their old rows go, so that
    // the resumed table ends as one run straight through would.
    Lines kept;
    const Lines lines = SplitTextLines(text);
    for (const std::string& line : lines) {
      const auto row = ReadStudyRowStatus(line);
      if (row && row->status == "done") done_.insert(row->name);
      if (!row || row->status == "done") kept.push_back(line);
    }
    if (kept.size() != lines.size()) {
      ::close(fd_);
      fd_ = -1;
      ReplaceLines(kept, file_name);
      fd_ = ::open(file_name.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
      if (fd_ < 0) FailFileCreate(file_name, errno);
    }
    has_header = !kept.empty();
  }
  if (!has_header) Add(StudyHeader());
}

StudyFile::~StudyFile() {
  if (fd_ >= 0) ::close(fd_);
}

void StudyFile::Add(const std::string& row) {
  const std::string line = row + "\r\n";
  if (::write(fd_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
    FailStreamWrite();
}

}  // namespace marrowick
