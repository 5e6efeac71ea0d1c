#include "charts/calculation_report.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "core/decimal_symbol.h"
#include "section/input_fields.h"
#include "solver/solver_script.h"
#include "support/default_section.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

namespace fs = std::filesystem;

TEST(CalculationReportTest, FiguresAsTheSheetPrintsThem) {
  // Worked by hand: the default section has 12 bars of Φ20 at π = 3.14,
  // As = 12 · 314 = 3768 mm², over 500 × 600 mm = 300000 mm².
  EXPECT_DOUBLE_EQ(SteelRatio(3768, 500, 600), 0.01256);
  EXPECT_DOUBLE_EQ(SteelRatio(1256, 400, 400), 0.00785);
  EXPECT_EQ(SteelRatio(1256, 0, 400), 0);

  const struct {
    double value;
    char decimal;
    const char* text;
  } numbers[] = {
      {11630.4, '.', "11630"},   {1130.4, ',', "1130"},           {912.48, ',', "912,5"},
      {0.0033, '.', "0.0033"},   {1.256, ',', "1,256"},           {-1000, '.', "-1000"},
      {2e-05, '.', "2e-05"},     {1.23456e-05, ',', "1,235e-05"}, {0, ',', "0"},
      {2500000, '.', "2.5e+06"}, {9999.7, '.', "10000"},
  };
  for (const auto& number : numbers)
    EXPECT_EQ(ReportNumber(number.value, number.decimal), number.text) << number.value;

  const std::pair<const char*, const char*> units[] = {
      {"peak_strength_MPa", "MPa"},     {"width_mm", "mm"},   {"axial_force_kN", "kN"},
      {"max_curvature_per_mm", "1/mm"}, {"peak_strain", "—"}, {nullptr, "—"}};
  for (const auto& [key, unit] : units) EXPECT_EQ(InputUnit(key), unit);
}

std::string CommandOutput(const std::string& command) {
  EXPECT_EQ(std::system((command + " > out.txt").c_str()), 0) << command;
  return testing::ReadBytes("out.txt");
}

// The default section's report from the recorder files OpenSees wrote for it:
// its sweep's last level found no equilibrium and eight levels stop early.
TEST(CalculationReportTest, DefaultSectionReadFromThePdf) {
  const testing::ScopedTempDir dir;
  const fs::path reference = fs::path(MARROWICK_TEST_DATA) / "../engine/data/reference";
  fs::copy_file(reference / "default-mk/mom_cur.out.expected", "mom_cur.out");
  for (int level = 1; level <= 21; ++level)
    fs::copy_file(reference / ("default-sweep/P" + std::to_string(level) + "_mom_cur.out.expected"),
                  "P" + std::to_string(level) + "_mom_cur.out");

  CalculationReport report;
  report.section_name = "C1.ini";
  report.made_at = "2026-12-08 09:30";
  report.solver = "/usr/bin/OpenSees";
  report.solver_version = "Version 3.8.0 64-Bit";
  report.state = testing::DefaultModel();
  const AnalysisState& state = report.state;
  report.moment_curvature = ReadMomentCurvatureSeries("mom_cur.out");
  report.curvature_steps = kCurvatureSteps;
  report.interaction =
      ReadInteractionCurve(state.AxialLevels, state.TensionCapacity, state.CompressionCapacity);
  report.level_steps = LevelStepCounts(state.AxialLevels);
  const auto& series = report.moment_curvature;
  const MomentCurvatureKeyPoints bending =
      FindMomentCurvatureKeyPoints(std::span<const double>(series.Curvatures).subspan(1),
                                   std::span<const double>(series.Moments).subspan(1));
  const InteractionKeyPoints interaction =
      FindInteractionKeyPoints(std::span<const double>(report.interaction->AxialForces).subspan(1),
                               std::span<const double>(report.interaction->PeakMoments).subspan(1));
  ASSERT_TRUE(bending.Peak && bending.Yield && bending.Ultimate && bending.Ductility);
  ASSERT_TRUE(interaction.Balanced && interaction.PureBendingMomentKNm);

  for (const char decimal : {'.', ','}) {
    SetRegionalDecimal(decimal);
    for (const InputField& field : kInputFields)
      if (field.default_text)
        report.texts[static_cast<std::size_t>(FieldNumber(field.id))] =
            WithRegionalDecimal(field.default_text);
    testing::WriteBytes("report.pdf", CalculationReportPdf(report));
    const std::string text = CommandOutput("pdftotext -layout report.pdf -");
    const auto number = [&](double value) { return ReportNumber(value, decimal); };
    std::vector<std::string> expected = {
        "C1.ini", "2026-12-08 09:30", "Marrowick 1.0", "/usr/bin/OpenSees", "Version 3.8.0",
        // The capacities and steel of the hand figures above.
        "3768", number(1.256), "11630", "1130", "peak_strength_MPa", "max_curvature_per_mm", "MPa",
        "1/mm", number(bending.Peak->CurvaturePerMm), number(bending.Peak->MomentKNm),
        number(bending.Yield->CurvaturePerMm), number(bending.Yield->MomentKNm),
        number(bending.Ultimate->CurvaturePerMm), number(bending.Ultimate->MomentKNm),
        number(*bending.Ductility), number(interaction.Balanced->AxialForceKN),
        number(interaction.Balanced->MomentKNm), number(*interaction.PureBendingMomentKNm),
        "第 21 级", "求解器未找到平衡", "第 14 步未收敛", "100/100 步收敛"};
    for (const InputField& field : kInputFields)
      if (field.default_text)
        expected.push_back(report.texts[static_cast<std::size_t>(FieldNumber(field.id))]);
    for (const std::string& piece : expected)
      EXPECT_NE(text.find(piece), std::string::npos) << "'" << piece << "' with " << decimal;
  }
  SetRegionalDecimal('.');

  // Every font in the file is embedded: the table's rows after its two header
  // lines each say "yes" in the emb column.
  const std::string fonts = CommandOutput("pdffonts report.pdf");
  const std::size_t rows = fonts.find('\n', fonts.find('\n') + 1) + 1;
  ASSERT_LT(rows, fonts.size());
  std::size_t count = 0;
  for (std::size_t at = rows; at < fonts.size(); at = fonts.find('\n', at) + 1, ++count)
    EXPECT_NE(fonts.substr(at, fonts.find('\n', at) - at).find(" yes "), std::string::npos)
        << fonts;
  EXPECT_GT(count, 0u);
}

}  // namespace
}  // namespace marrowick
