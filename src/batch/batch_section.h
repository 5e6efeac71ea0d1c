#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "batch/solver_pool.h"
#include "batch/study_table.h"
#include "section/analysis_state.h"
#include "section/section_file.h"

namespace marrowick {

// One section of a batch, from its file to its folder of results. Each step
// does what the window's buttons do for the same inputs, with the same
// functions, so that the files are byte for byte the window's.
struct BatchSection {
  std::string file;                 // as named on the command line
  std::filesystem::path directory;  // DIR/NAME, absolute
  SectionTexts texts;               // every field's text, absent keys at their defaults
  AnalysisState state;
};

// A section's name: NAME for NAME.ini, and a grid point's suffix after it.
std::string SectionName(const std::string& file, const Variant& variant);

// The folder of a section's results: DIR/NAME.
std::filesystem::path SectionDirectory(const std::string& name, const std::string& out_directory);

// Every field's text for a section file, absent keys at their defaults,
// with the regional decimal symbol as the window's fields hold them: fails
// with the section file's failure.
SectionTexts ReadSectionTexts(const std::string& file);

// "输入数据" on the texts, a grid point's texts in place of the file's:
// fails with the window's message for a section the model cannot take.
BatchSection EnterSection(const std::string& file, const std::filesystem::path& directory,
                          SectionTexts texts, const Variant& variant);

// Creates the folder and writes in it the scripts of "OpenSEES弯矩曲率分析"
// and "OpenSEES PM分析", and with `contour` those of the Mx–My contour;
// returns their runs, the moment-curvature run first. With `in_memory` the
// scripts are not saved: each run carries its script's bytes.
std::vector<SolverRun> WriteScripts(BatchSection& section, int section_number, bool contour = true,
                                    bool in_memory = false);

// The solver a section's calculation report names: the program that ran and
// the version line it prints.
struct ReportSolver {
  std::string program;
  std::string version_line;
};

// Once every run has ended: reads both curves from the recorder files and
// writes what the outputs ask for of what "显示截面", "显示弯矩曲率曲线" and
// "显示PM曲线" show and write (section.png, moment-curvature.png,
// interaction.png, "m-n.out"), the data behind them as CSV, summary.json,
// the design curve's table when a design code is given, the scripts again,
// and with a report solver given the calculation report (report.pdf);
// recorder files not asked for are removed. Returns the figures of the
// section's row in study.csv.
StudyFigures WriteResults(BatchSection& section, const SectionOutputs& outputs,
                          const std::optional<ReportSolver>& report = std::nullopt);

}  // namespace marrowick
