#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "batch/solver_pool.h"
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

// The folder a section file's results go to: DIR/NAME for NAME.ini.
std::filesystem::path SectionDirectory(const std::string& file, const std::string& out_directory);

// "输入数据" on the file's texts: fails with the section file's failure or
// with the window's message for a section the model cannot take.
BatchSection LoadSection(const std::string& file, const std::string& out_directory);

// Creates the folder and writes in it the scripts of "OpenSEES弯矩曲率分析"
// and "OpenSEES PM分析"; returns their runs, the moment-curvature run first.
std::vector<SolverRun> WriteScripts(BatchSection& section, int section_number);

// The solver a section's calculation report names: the program that ran and
// the version line it prints.
struct ReportSolver {
  std::string program;
  std::string version_line;
};

// Once every run has ended: what "显示截面", "显示弯矩曲率曲线" and
// "显示PM曲线" show and write (section.png, moment-curvature.png,
// interaction.png, "m-n.out"), the data behind them as CSV, and
// summary.json; and with a report solver given, the calculation report
// (report.pdf).
void WriteResults(BatchSection& section, const std::optional<ReportSolver>& report = std::nullopt);

}  // namespace marrowick
