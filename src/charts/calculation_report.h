#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "results/interaction_curve.h"
#include "results/key_points.h"
#include "results/result_file.h"
#include "section/analysis_state.h"
#include "section/input_fields.h"

namespace marrowick {

// Everything a calculation sheet of one section states: what was analysed,
// with which inputs and solver, and what the last completed runs gave. The
// window and the batch fill it from the same runs their charts come from.
struct CalculationReport {
  std::string section_name;    // the section file's name; empty when the fields were typed
  std::string made_at;         // date and time, as the sheet prints it
  std::string solver;          // the program that ran, a path or a name
  std::string solver_version;  // the version line it printed; empty when not read
  std::array<std::string, kFieldSlots> texts;  // every input's text as typed, texts[N] for input N
  AnalysisState state;                         // the inputs captured and the fiber model
  MomentCurvatureSeries moment_curvature;
  int32_t curvature_steps = 0;  // the steps each run asks the solver for
  // The N-M part, present only once the curve of this section was drawn.
  std::optional<InteractionCurve> interaction;
  std::vector<int32_t> level_steps;  // recorded steps of each level, level 1 first
};

// The local date and time as the sheet's title block gives it.
std::string ReportTimestamp();

// The sheet as PDF: A4 portrait, two pages, every text in the regional decimal
// symbol and in an embedded CJK font, drawn as vectors.
std::string CalculationReportPdf(const CalculationReport& report);

// A unit read off a section-file key's suffix ("_MPa", "_mm", "_kN",
// "_per_mm"); "—" for a plain number (a strain, a ratio, a count) or no key.
std::string InputUnit(const char* key);

// Longitudinal steel ratio ρ = As / (B·H), the gross section's.
double SteelRatio(double steel_area, double width, double height);

// A figure as the sheet prints it: four significant digits in plain form from
// 0.001 to below a million, exponent form beyond, trailing zeros dropped,
// with the given decimal symbol.
std::string ReportNumber(double value, char decimal);

// What ended the curve at its ultimate point: the moment falling to 0.8 of
// the peak, or the run's last recorded step.
enum class UltimateCause { Drop, LastStep };
std::optional<UltimateCause> UltimateCauseOf(const MomentCurvatureKeyPoints& keys);

// The lines a checker needs about the runs: the moment-curvature run and each
// level that stopped short of its steps or found no equilibrium at all.
std::vector<std::string> RunNotes(const CalculationReport& report, char decimal);

}  // namespace marrowick
