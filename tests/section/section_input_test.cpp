#include "section/section_input.h"

#include <gtest/gtest.h>

#include <array>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "section/fiber_model.h"
#include "support/default_section.h"
#include "support/expect_failure.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;

using Texts = std::array<std::string, 21>;  // Texts[n] is the text of EditN

Texts DefaultTexts() {
  Texts texts;
  for (std::size_t field = 0; field < texts.size(); ++field)
    texts[field] = kDefaultFieldTexts[field];
  return texts;
}

// A second section, every field different from the defaults.
Texts OtherTexts() {
  return {"",  "40", "0.0025", "20", "0.004", "400", "200000",  "0.01", "400", "500", "40",
          "3", "25", "4",      "22", "-500",  "0",   "0.00003", "50",   "28",  "10"};
}

FieldText From(const Texts& texts) {
  return [&texts](int field) { return texts.at(field); };
}

// The reads in their order: the field and the parameter it feeds (none for
// the bending angle).
struct Read {
  int field;
  double (*parameter)(const AnalysisState&);
};

constexpr Read kReads[] = {
    {1, [](const AnalysisState& s) { return s.ConcreteStrength; }},
    {2, [](const AnalysisState& s) { return s.ConcretePeakStrain; }},
    {3, [](const AnalysisState& s) { return s.ConcreteResidualStrength; }},
    {4, [](const AnalysisState& s) { return s.ConcreteUltimateStrain; }},
    {5, [](const AnalysisState& s) { return s.SteelYieldStrength; }},
    {6, [](const AnalysisState& s) { return s.SteelModulus; }},
    {7, [](const AnalysisState& s) { return s.SteelHardeningRatio; }},
    {8, [](const AnalysisState& s) { return s.SectionWidth; }},
    {9, [](const AnalysisState& s) { return s.SectionHeight; }},
    {10, [](const AnalysisState& s) { return s.BarCover; }},
    {18, [](const AnalysisState& s) { return s.MeshSize; }},
    {11, [](const AnalysisState& s) { return static_cast<double>(s.BarCountX); }},
    {13, [](const AnalysisState& s) { return static_cast<double>(s.BarCountY); }},
    {12, [](const AnalysisState& s) { return s.BarDiameterX; }},
    {14, [](const AnalysisState& s) { return s.BarDiameterY; }},
    {19, [](const AnalysisState& s) { return s.CornerBarDiameter; }},
    {16, nullptr},
    {15, [](const AnalysisState& s) { return s.AxialLoad; }},
    {17, [](const AnalysisState& s) { return s.CurvatureLimit; }},
    {20, [](const AnalysisState& s) { return static_cast<double>(s.AxialLevels); }},
};

using testing::DefaultModel;

TEST(SectionInput, ReadsEveryFieldOnceInTheEngineersOrder) {
  const Texts texts = DefaultTexts();
  std::vector<int> order;
  AnalysisState state;
  CaptureSectionInput(state, [&](int field) {
    order.push_back(field);
    return texts.at(field);
  });
  std::vector<int> expected;
  for (const Read& read : kReads) expected.push_back(read.field);
  EXPECT_EQ(order, expected);
}

TEST(SectionInput, DefaultTextsGiveTheDefaultParametersAndModel) {
  const Texts texts = DefaultTexts();
  AnalysisState state;
  EnterSectionData(state, From(texts));
  const AnalysisState expected = DefaultModel();
  for (const Read& read : kReads) {
    if (read.parameter) {
      EXPECT_EQ(read.parameter(state), read.parameter(expected)) << "Edit" << read.field;
    }
  }
  EXPECT_EQ(state.FiberCount, 250);
  EXPECT_EQ(state.SteelArea, 3768);
  EXPECT_DOUBLE_EQ(state.CompressionCapacity, -11630.4);
  EXPECT_DOUBLE_EQ(state.TensionCapacity, 1130.4);
}

struct BadField {
  int field;
  std::string text;
  FailureKind kind;
  std::string message;
};

// A bad field leaves the reads before it new, itself and the reads after it
// old, and the model of the previous section in place.
TEST(SectionInput, ABadFieldLeavesThePartialStateOfTheReadsBeforeIt) {
  const BadField cases[] = {
      {9, "6O0", FailureKind::RealConversion, "'6O0' is not a valid floating point value"},
      {12, "20.5", FailureKind::IntegerConversion, "'20.5' is not a valid integer value"},
      {18, "", FailureKind::RealConversion, "'' is not a valid floating point value"},
      {20, "20 ", FailureKind::IntegerConversion, "'20 ' is not a valid integer value"},
      {8, "1e400", FailureKind::Overflow, "Floating point overflow"},
      {16, "x", FailureKind::RealConversion, "'x' is not a valid floating point value"},
  };
  for (const BadField& bad : cases) {
    SCOPED_TRACE("Edit" + std::to_string(bad.field) + " = '" + bad.text + "'");
    const AnalysisState old = DefaultModel();
    AnalysisState state = old;
    Texts texts = OtherTexts();
    texts[bad.field] = bad.text;
    ExpectFailure(bad.kind, bad.message, [&] { EnterSectionData(state, From(texts)); });

    AnalysisState fresh;
    CaptureSectionInput(fresh, From(OtherTexts()));
    bool before_failure = true;
    for (const Read& read : kReads) {
      if (read.field == bad.field) before_failure = false;
      if (!read.parameter) continue;
      const double expected = before_failure ? read.parameter(fresh) : read.parameter(old);
      EXPECT_EQ(read.parameter(state), expected) << "Edit" << read.field;
    }
    EXPECT_EQ(state.MeshCountX, old.MeshCountX);
    EXPECT_EQ(state.MeshCountY, old.MeshCountY);
    EXPECT_EQ(state.FiberCount, old.FiberCount);
    ASSERT_EQ(state.Fibers.size(), old.Fibers.size());
    EXPECT_EQ(state.Fibers[1].X, old.Fibers[1].X);
    EXPECT_EQ(state.SteelArea, old.SteelArea);
    EXPECT_EQ(state.CompressionCapacity, old.CompressionCapacity);
    EXPECT_EQ(state.TensionCapacity, old.TensionCapacity);
  }
}

TEST(SectionInput, CornerBarsTakeAnyRealSideBarsOnlyWholeNumbers) {
  Texts texts = DefaultTexts();
  texts[19] = "20.5";
  AnalysisState state;
  EnterSectionData(state, From(texts));
  EXPECT_EQ(state.CornerBarDiameter, 20.5);
  EXPECT_EQ(state.Fibers[250].Area, static_cast<double>(3.14L * 20.5L * 20.5L / 4));

  texts[14] = "$14";  // an integer text in any form the integer reading takes
  EnterSectionData(state, From(texts));
  EXPECT_EQ(state.BarDiameterY, 20.0);
}

TEST(SectionInput, RealsFollowTheRegionalDecimalSymbol) {
  struct CommaLocale {
    CommaLocale() { SetRegionalDecimal(','); }
    ~CommaLocale() { SetRegionalDecimal('.'); }
  } comma;
  Texts texts = DefaultTexts();
  for (std::string& text : texts)
    for (char& c : text)
      if (c == '.') c = ',';
  AnalysisState state;
  EnterSectionData(state, From(texts));
  EXPECT_EQ(state.ConcretePeakStrain, 0.002);
  EXPECT_EQ(state.CurvatureLimit, 0.00002);

  try {
    CaptureSectionInput(state, From(DefaultTexts()));
    ADD_FAILURE() << "a point was taken under a comma locale";
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Message(), "'0.002' is not a valid floating point value");
  }
}

// Input 16, the bending angle, is a main-window field; the rest are the dialog's.
TEST(SectionInput, HoopsNeedDiameterSpacingAndYieldStrengthTogether) {
  const std::pair<std::map<int, std::string>, const char*> cases[] = {
      {{}, "none"},
      {{{24, "4"}, {26, "0.09"}}, "none"},  // legs and strain alone confine nothing
      {{{21, "10"}, {22, "100"}, {23, "300"}}, "2 x 2 legs, 0.12"},
      {{{21, "10"}, {23, "300"}}, "箍筋间距s(mm) (hoop_spacing_mm) is missing"},
      {{{22, "100"}}, "箍筋直径(mm) (hoop_diameter_mm) is missing"},
      {{{16, "30"}}, "none"},
      {{{16, "30"}, {21, "10"}, {22, "100"}, {23, "300"}},
       "弯矩方向夹角 (bending_angle_deg) must be 0 with 箍筋直径(mm) (hoop_diameter_mm) given"},
  };
  for (const auto& [dialog, outcome] : cases) {
    Texts texts = DefaultTexts();
    if (dialog.count(16)) texts[16] = dialog.at(16);
    AnalysisState state;
    const FieldText text = [&](int field) {
      return dialog.count(field) ? dialog.at(field) : std::string();
    };
    std::string got = "none";
    try {
      EnterSectionData(state, From(texts), text);
      if (state.Hoops && state.Confinement)
        got = std::to_string(state.Hoops->LegsX) + " x " + std::to_string(state.Hoops->LegsY) +
              " legs, " + std::to_string(state.Hoops->StrainAtMaxStress).substr(0, 4);
    } catch (const Failure& failure) {
      got = failure.Message();
    }
    EXPECT_TRUE(got.ends_with(outcome)) << got;
  }
}

}  // namespace
}  // namespace marrowick
