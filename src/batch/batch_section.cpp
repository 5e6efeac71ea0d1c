#include "batch/batch_section.h"

#include <unistd.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

#include "batch/summary.h"
#include "charts/calculation_report.h"
#include "charts/image_canvas.h"
#include "charts/interaction_curve.h"
#include "charts/moment_curvature_chart.h"
#include "charts/mx_my_chart.h"
#include "charts/section_view.h"
#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_file.h"
#include "results/design_curve.h"
#include "results/export.h"
#include "results/interaction_curve.h"
#include "results/mx_my_contour.h"
#include "results/result_file.h"
#include "section/axial_levels.h"
#include "section/section_input.h"
#include "solver/axial_sweep.h"
#include "solver/mx_my_runs.h"
#include "solver/solver_script.h"

namespace marrowick {

namespace {

// What WriteResults writes. They are removed before a section's solvers
// start, with the scripts and recorder files, so that a section that fails
// on this run cannot leave the results of an earlier one looking like its own.
constexpr const char* kResultFiles[] = {"section.png",
                                        "fibers.csv",
                                        "moment-curvature.png",
                                        "moment-curvature.csv",
                                        "interaction.png",
                                        "m-n.out",
                                        "interaction.csv",
                                        "summary.json",
                                        "report.pdf",
                                        "design-interaction.csv",
                                        "mx-my.csv",
                                        "mx-my.png"};

// A name the batch gives a file in a section folder: a result file, a script
// or a recorder file of any analysis, a sweep level being "P" and a positive
// number as FormatTemplate writes it (no leading zero), a run of the Mx–My
// contour "A" and one.
bool WrittenByTheBatch(const std::string& name) {
  for (const char* file : kResultFiles)
    if (name == file) return true;
  if (name == "os.tcl" || name == "mom_cur.out" || name == kDeformationFile) return true;
  std::string_view level(name);
  if ((!level.starts_with('P') && !level.starts_with('A')) || level.size() < 2 || level[1] < '1' ||
      level[1] > '9')
    return false;
  level.remove_prefix(1);
  while (!level.empty() && level.front() >= '0' && level.front() <= '9') level.remove_prefix(1);
  return level == ".tcl" || level == "_mom_cur.out";
}

// The window's drawing surface.
constexpr int kSurfaceWidth = 471;
constexpr int kSurfaceHeight = 359;

// The charts paint with a handful of flat colours (the canvas draws no
// antialiased pixel), so a palette PNG holds every pixel exactly, and is
// made several times faster and smaller than a true-colour one: pictures are
// a good part of a batch's own work.
bool FitsAPalette(const QImage& image) {
  std::vector<QRgb> colours;
  for (int y = 0; y < image.height(); ++y) {
    const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (!colours.empty() && colours.back() == row[x]) continue;
      const auto known = std::find(colours.begin(), colours.end(), row[x]);
      if (known != colours.end()) {
        std::iter_swap(known, colours.end() - 1);
        continue;
      }
      if (colours.size() == 256) return false;
      colours.push_back(row[x]);
    }
  }
  return true;
}

void SavePicture(const ImageCanvas& canvas, const std::string& file_name) {
  const QImage& image = canvas.Image();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  if (!buffer.open(QIODevice::WriteOnly)) FailStreamWrite();
  // Quality 80 asks zlib for little effort: the files stay small.
  constexpr int kQuality = 80;
  const bool encoded =
      FitsAPalette(image)
          ? image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither)
                .save(&buffer, "PNG", kQuality)
          : image.save(&buffer, "PNG", kQuality);
  // A picture the encoder gave up on is a failure, not an empty file.
  if (!encoded) FailStreamWrite();
  ReplaceBytes(bytes.toStdString(), file_name);
}

// Writes the scripts of both analyses (and of the contour, when asked) into
// the section's folder, or with `in_memory` hands each run its script's
// bytes instead, and returns their runs, the moment-curvature run first.
std::vector<SolverRun> SaveScripts(const BatchSection& section, int section_number, bool contour,
                                   bool in_memory = false) {
  const std::filesystem::path& folder = section.directory;
  const AnalysisState& state = section.state;
  const ScriptSection script_section = ScriptSectionOf(state);

  // The scripts name their files relative to the folder the solver works in,
  // as the window's do.
  std::vector<SolverRun> runs;
  const auto keep = [&](const Lines& lines, SolverRun run) {
    if (in_memory)
      run.text = JoinLines(lines);
    else
      SaveLines(lines, (folder / run.script).string());
    runs.push_back(std::move(run));
  };
  const MomentDirection direction = MomentDirectionOf(state.BendingAngle);
  keep(BuildSolverScript(script_section, state.AxialLoad, "mom_cur.out", "os.tcl", direction,
                         kDeformationFile),
       {folder.string(), "os.tcl", "mom_cur.out", section_number, 0});

  const AxialSweepScripts sweep(script_section, state.AxialLevels, state.TensionCapacity,
                                state.CompressionCapacity, direction);
  for (int32_t level = 1; level <= sweep.LevelCount(); ++level) {
    const LevelScript script = sweep.Level(level);
    keep(script.lines,
         {folder.string(), script.script_file, script.recorder_file, section_number, level});
  }

  if (!contour) return runs;
  const MxMyScripts contour_runs(script_section, state.AxialLoad);
  for (int32_t run = 1; run <= kContourRuns; ++run) {
    const LevelScript script = contour_runs.Run(run);
    keep(script.lines,
         {folder.string(), script.script_file, script.recorder_file, section_number, 0, run});
  }
  return runs;
}

}  // namespace

std::string SectionName(const std::string& file, const Variant& variant) {
  return std::filesystem::path(file).stem().string() + variant.suffix;
}

std::filesystem::path SectionDirectory(const std::string& name, const std::string& out_directory) {
  return std::filesystem::absolute(std::filesystem::path(out_directory) / name).lexically_normal();
}

SectionTexts ReadSectionTexts(const std::string& file) {
  // Texts are handed to "输入数据" as the window's fields would hold them.
  // The defaults of the file's outline only: a rectangle's texts, and so its
  // summary and its row of a study, know nothing of a circle's inputs.
  SectionTexts texts = ReadSectionFile(file, RegionalDecimal());
  const bool circular =
      CircularShape(texts[FieldNumber(Field::SectionShape)].value_or("")).value_or(false);
  for (const InputField& entry : kInputFields) {
    const auto field = static_cast<std::size_t>(FieldNumber(entry.id));
    if (!texts[field] && entry.default_text && FieldOfShape(entry, circular))
      texts[field] = WithRegionalDecimal(entry.default_text);
  }
  return texts;
}

BatchSection EnterSection(const std::string& file, const std::filesystem::path& directory,
                          SectionTexts texts, const Variant& variant) {
  BatchSection section{file, directory, std::move(texts), {}};
  for (const auto& [field, text] : variant.texts)
    section.texts.at(static_cast<std::size_t>(field)) = WithRegionalDecimal(text);
  const auto text = [&](int field) { return section.texts.at(field).value_or(std::string()); };
  EnterSectionData(section.state, text, text);
  CaptureDesignInput(section.state, text);
  // A design curve the inputs cannot give fails the section before its solvers run.
  static_cast<void>(DesignCurvesOf(section.state));
  return section;
}

std::vector<SolverRun> WriteScripts(BatchSection& section, int section_number, bool contour,
                                    bool in_memory) {
  std::error_code error;
  std::filesystem::create_directories(section.directory, error);
  if (error) FailFileCreate(section.directory.string(), error.value());
  const std::filesystem::path& folder = section.directory;
  // A folder holds this run's files only: an earlier run with more levels
  // must not leave its levels' recorder files beside this run's curve.
  std::vector<std::string> stale;
  for (std::filesystem::directory_iterator file(folder, error);
       !error && file != std::filesystem::directory_iterator(); file.increment(error))
    if (WrittenByTheBatch(file->path().filename().string())) stale.push_back(file->path().string());
  if (error) FailFileOpen(folder.string(), error.value());
  for (const std::string& file : stale)
    if (::unlink(file.c_str()) != 0 && errno != ENOENT) FailFileDelete(file, errno);
  return SaveScripts(section, section_number, contour, in_memory);
}

StudyFigures WriteResults(BatchSection& section, const SectionOutputs& outputs,
                          const std::optional<ReportSolver>& report) {
  const std::filesystem::path& folder = section.directory;
  const auto in_folder = [&](const char* file) { return (folder / file).string(); };
  AnalysisState& state = section.state;

  if (outputs.png) {
    ImageCanvas section_view(kSurfaceWidth, kSurfaceHeight);
    DrawSectionView(state, section_view);
    SavePicture(section_view, in_folder("section.png"));
  }
  if (outputs.csv)
    ReplaceLines(FiberTable(state.Fibers, state.FiberCount, ',', state.Circular),
                 in_folder("fibers.csv"));

  const MomentDirection direction = MomentDirectionOf(state.BendingAngle);
  const MomentCurvatureSeries series =
      ReadMomentCurvatureSeries(in_folder("mom_cur.out"), direction);
  state.CoreEdgeStrains.clear();
  if (state.Confinement)
    state.CoreEdgeStrains =
        ReadCoreEdgeStrains(in_folder(kDeformationFile), state.Confinement->CoreHeight);
  if (outputs.png) {
    ImageCanvas moment_curvature(kSurfaceWidth, kSurfaceHeight);
    DrawMomentCurvatureChart(series, moment_curvature);
    SavePicture(moment_curvature, in_folder("moment-curvature.png"));
  }
  if (outputs.csv) ReplaceLines(MomentCurvatureTable(series), in_folder("moment-curvature.csv"));

  const std::vector<DesignCurve> design = DesignCurvesOf(state);
  const InteractionCurve curve = ReadInteractionCurve(state.AxialLevels, state.TensionCapacity,
                                                      state.CompressionCapacity, folder, direction);
  if (outputs.png) {
    ImageCanvas interaction(kSurfaceWidth, kSurfaceHeight);
    DrawInteractionCurve(curve, interaction, design);
    SavePicture(interaction, in_folder("interaction.png"));
  }
  if (outputs.recorders) SaveLines(InteractionCurveLines(curve), in_folder("m-n.out"));
  if (outputs.csv) ReplaceLines(InteractionTable(curve), in_folder("interaction.csv"));
  if (outputs.csv && !design.empty())
    ReplaceLines(DesignCurveTable(design), in_folder("design-interaction.csv"));

  if (outputs.png || outputs.csv) {
    const MxMyContour contour = ReadMxMyContour(state.AxialLoad, folder);
    if (outputs.png) {
      ImageCanvas contour_chart(kSurfaceWidth, kSurfaceHeight);
      DrawMxMyContour(contour, contour_chart);
      SavePicture(contour_chart, in_folder("mx-my.png"));
    }
    if (outputs.csv) ReplaceLines(MxMyTable(contour), in_folder("mx-my.csv"));
  }

  if (outputs.json)
    ReplaceBytes(SummaryJson(section.texts, state, series, curve, design),
                 in_folder("summary.json"));

  if (report) {
    CalculationReport sheet;
    sheet.section_name = std::filesystem::path(section.file).filename().string();
    sheet.made_at = ReportTimestamp();
    sheet.solver = report->program;
    sheet.solver_version = report->version_line;
    for (std::size_t field = 1; field < section.texts.size(); ++field)
      sheet.texts[field] = section.texts[field].value_or("");
    sheet.state = state;
    sheet.moment_curvature = series;
    sheet.curvature_steps = kCurvatureSteps;
    sheet.interaction = curve;
    sheet.level_steps = LevelStepCounts(state.AxialLevels, folder);
    ReplaceBytes(CalculationReportPdf(sheet), in_folder("report.pdf"));
  }
  if (!outputs.recorders) {
    // Read, and not asked for.
    for (int32_t level = 0; level <= curve.Levels; ++level) {
      const std::string file =
          level == 0 ? in_folder("mom_cur.out")
                     : in_folder(("P" + std::to_string(level) + "_mom_cur.out").c_str());
      if (::unlink(file.c_str()) != 0 && errno != ENOENT) FailFileDelete(file, errno);
    }
    for (int32_t run = 1; run <= kContourRuns; ++run) {
      const std::string file = in_folder(("A" + std::to_string(run) + "_mom_cur.out").c_str());
      if (::unlink(file.c_str()) != 0 && errno != ENOENT) FailFileDelete(file, errno);
    }
    if (const std::string file = in_folder(kDeformationFile);
        ::unlink(file.c_str()) != 0 && errno != ENOENT)
      FailFileDelete(file, errno);
  }
  // Every script, the contour's too: a script does not need its run.
  if (outputs.scripts) SaveScripts(section, 0, true);
  return FiguresOf(state, series, curve);
}

}  // namespace marrowick
