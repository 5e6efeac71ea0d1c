// A circular column from its inputs to its scripts, against what OpenSees
// made of those very scripts (tests/engine/data/reference/circle-*).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "section/input_fields.h"
#include "section/section_input.h"
#include "solver/axial_sweep.h"
#include "solver/solver_script.h"
#include "support/expect_failure.h"
#include "support/file_bytes.h"

namespace marrowick {
namespace {

namespace fs = std::filesystem;

Lines ScriptLines(const fs::path& file) {
  std::istringstream in(testing::ReadBytes(file));
  Lines lines;
  for (std::string line; std::getline(in, line);) {
    if (line.ends_with('\r')) line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// "输入数据" of the circle-plain column with some inputs changed.
AnalysisState EnterCircle(const std::map<Field, std::string>& changed) {
  std::map<Field, std::string> texts = {
      {Field::SectionShape, "circular"}, {Field::CircleDiameter, "600"},    {Field::BarCover, "50"},
      {Field::CircleBarCount, "12"},     {Field::CircleBarDiameter, "22"},  {Field::MeshSize, "40"},
      {Field::AxialLoad, "-2000"},       {Field::CurvatureLimit, "0.00004"}};
  for (const auto& [field, text] : changed) texts[field] = text;
  const auto text = [&](int number) {
    const auto field = static_cast<Field>(number);
    if (texts.count(field)) return texts.at(field);
    const char* given = kDefaultFieldTexts.at(static_cast<std::size_t>(number));
    return std::string(given ? given : "");
  };
  AnalysisState state;
  EnterSectionData(state, text, text);
  return state;
}

// Capacities by hand (π exact, N): plain, π·600²/4·35 + 12·π·22²/4·300 =
// 9896016.9 + 1368477.8; with the spiral (ds 532, f′cc 44.4960), the cover
// (282743.34 − 222286.53)·35 = 2115989.4 and the core 222286.53·44.4960 =
// 9890854 take the place of the concrete.
TEST(CircularSection, FibersAndScriptsAreThoseOpenSeesRan) {
  const struct {
    const char* folder;
    std::map<Field, std::string> texts;
    const char* level;
    double compression_kN;
  } cases[] = {
      {"circle-plain", {}, "P14", 11264.4947},
      {"circle-spiral",
       {{Field::AxialLoad, "-3000"},
        {Field::CurvatureLimit, "0.0001"},
        {Field::HoopDiameter, "10"},
        {Field::HoopSpacing, "75"},
        {Field::HoopYieldStrength, "400"},
        {Field::Transverse, "spiral"}},
       "P16",
       13375.321},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    const AnalysisState state = EnterCircle(c.texts);
    EXPECT_NEAR(-state.CompressionCapacity, c.compression_kN, 1e-6 * c.compression_kN);
    EXPECT_NEAR(state.TensionCapacity, 1368.47776, 1e-6);

    // y z area of every fiber as OpenSees cut them, in its order.
    const fs::path folder = fs::path(MARROWICK_TEST_DATA) / "../engine/data/reference" / c.folder;
    std::ifstream fibers(folder / "fibers.out.expected");
    int32_t slot = 0;
    for (double y, z, area; fibers >> y >> z >> area;) {
      ASSERT_LT(++slot, static_cast<int32_t>(state.Fibers.size()));
      const TFiber& fiber = state.Fibers[static_cast<std::size_t>(slot)];
      const double scale = std::hypot(y, z);
      EXPECT_NEAR(fiber.Y, y, 1e-9 * scale) << slot;
      EXPECT_NEAR(fiber.X, z, 1e-9 * scale) << slot;
      EXPECT_NEAR(fiber.Area, area, 1e-9 * area) << slot;
    }
    EXPECT_EQ(slot, state.FiberCount);

    const ScriptSection section = ScriptSectionOf(state);
    EXPECT_EQ(
        BuildSolverScript(section, state.AxialLoad, "mom_cur.out", "os.tcl", {}, kDeformationFile),
        ScriptLines(folder / "os.tcl"));
    const AxialSweepScripts sweep(section, state.AxialLevels, state.TensionCapacity,
                                  state.CompressionCapacity);
    const int32_t level = std::stoi(c.level + 1);
    EXPECT_EQ(sweep.Level(level).lines, ScriptLines(folder / (std::string(c.level) + ".tcl")));
  }
}

// Inputs a circle cannot be made from are refused naming the input.
TEST(CircularSection, DegenerateInputsNameTheirField) {
  const struct {
    std::map<Field, std::string> changed;
    const char* message;
  } cases[] = {
      {{{Field::CircleDiameter, "100"}},
       "直径D(mm) (diameter_mm) must be more than twice 钢筋至边距as (cover_mm) (not negative), so "
       "that the bars lie inside it"},
      {{{Field::CircleBarCount, "2"}}, "纵筋根数 (bars) must be at least 3, not 2"},
      {{{Field::MeshSize, "0"}}, "划分单元大小 (fiber_size_mm) must be positive"},
      {{{Field::HoopDiameter, "10"},
        {Field::HoopSpacing, "10"},
        {Field::HoopYieldStrength, "400"},
        {Field::Transverse, "spiral"}},
       "A confined core needs a spiral pitch larger than its bar: 箍筋间距s(mm) (hoop_spacing_mm) "
       "is 10 mm"},
      {{{Field::SectionShape, "round"}},
       "截面形状 (shape) is \"round\": not one of rectangular, circular"},
  };
  for (const auto& c : cases)
    testing::ExpectFailure(FailureKind::InvalidInput, c.message, [&] { EnterCircle(c.changed); });
}

}  // namespace
}  // namespace marrowick
