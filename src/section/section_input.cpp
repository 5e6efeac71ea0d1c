#include "section/section_input.h"

#include <optional>
#include <utility>

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "section/fiber_model.h"

namespace marrowick {

namespace {

// A word input's text that chooses between two: true for `second`, false
// for `first` or an empty text (left out); any other word is refused.
bool Chooses(const FieldText& field_text, Field field, const char* first, const char* second) {
  const std::string text = field_text(FieldNumber(field));
  if (text == second) return true;
  if (text.empty() || text == first) return false;
  FailInvalidInput(NamedInput(field) + " is \"" + text + "\": not one of " + first + ", " + second);
}

// The hoops when their diameter, spacing and yield strength are all given;
// none when none is. An empty text is an input left out. A circle's hoops
// take the spiral-or-hoops choice in place of the legs.
std::optional<HoopReinforcement> CaptureHoops(const FieldText& field_text, bool circular) {
  const Field required[] = {Field::HoopDiameter, Field::HoopSpacing, Field::HoopYieldStrength};
  int given = 0;
  for (const Field field : required) given += !field_text(FieldNumber(field)).empty();
  if (given == 0) return std::nullopt;
  for (const Field field : required)
    if (field_text(FieldNumber(field)).empty())
      FailInvalidInput(std::string("A confined core needs the hoops' diameter, spacing and yield "
                                   "strength; ") +
                       NamedInput(field) + " is missing");
  const auto real = [&](Field field, double absent) {
    const std::string text = field_text(FieldNumber(field));
    return text.empty() ? absent : ParseReal(text, RegionalDecimal());
  };
  const auto integer = [&](Field field, int32_t absent) {
    const std::string text = field_text(FieldNumber(field));
    return text.empty() ? absent : ParseInteger(text);
  };
  HoopReinforcement hoops;
  hoops.Diameter = real(Field::HoopDiameter, 0);
  hoops.Spacing = real(Field::HoopSpacing, 0);
  hoops.YieldStrength = real(Field::HoopYieldStrength, 0);
  if (circular) {
    hoops.Spiral = Chooses(field_text, Field::Transverse, kCircularHoops, kSpiral);
  } else {
    hoops.LegsX = integer(Field::HoopLegsX, hoops.LegsX);
    hoops.LegsY = integer(Field::HoopLegsY, hoops.LegsY);
  }
  hoops.StrainAtMaxStress = real(Field::HoopStrainAtMaxStress, hoops.StrainAtMaxStress);
  return hoops;
}

}  // namespace

void CaptureSectionInput(AnalysisState& state, const FieldText& field_text,
                         const FieldText& dialog_text) {
  // A person types these, so reals follow the regional decimal symbol.
  auto real = [&](Field field) {
    return ParseReal(field_text(FieldNumber(field)), RegionalDecimal());
  };
  auto integer = [&](Field field) { return ParseInteger(field_text(FieldNumber(field))); };

  state.ConcreteStrength = real(Field::ConcreteStrength);
  state.ConcretePeakStrain = real(Field::ConcretePeakStrain);
  state.ConcreteResidualStrength = real(Field::ConcreteResidualStrength);
  state.ConcreteUltimateStrain = real(Field::ConcreteUltimateStrain);
  state.SteelYieldStrength = real(Field::SteelYieldStrength);
  state.SteelModulus = real(Field::SteelModulus);
  state.SteelHardeningRatio = real(Field::SteelHardeningRatio);
  // The outline and a circle's inputs come with the dialogs' (a caller
  // without them has a rectangle); the other outline's inputs are not read
  // and keep what they held.
  const bool circular =
      dialog_text && Chooses(dialog_text, Field::SectionShape, kRectangularShape, kCircularShape);
  const auto circle_real = [&](Field field) {
    return ParseReal(dialog_text(FieldNumber(field)), RegionalDecimal());
  };
  const auto circle_integer = [&](Field field) {
    return ParseInteger(dialog_text(FieldNumber(field)));
  };
  if (circular) {
    state.CircleDiameter = circle_real(Field::CircleDiameter);
    state.BarCover = real(Field::BarCover);
    state.MeshSize = real(Field::MeshSize);
    state.CircleBarCount = circle_integer(Field::CircleBarCount);
    // Bars come in whole millimetre sizes.
    state.CircleBarDiameter = circle_integer(Field::CircleBarDiameter);
  } else {
    state.SectionWidth = real(Field::SectionWidth);
    state.SectionHeight = real(Field::SectionHeight);
    state.BarCover = real(Field::BarCover);
    state.MeshSize = real(Field::MeshSize);
    state.BarCountX = integer(Field::BarCountX);
    state.BarCountY = integer(Field::BarCountY);
    // Side bars come in whole millimetre sizes; corner bars may be any size.
    state.BarDiameterX = integer(Field::BarDiameterX);
    state.BarDiameterY = integer(Field::BarDiameterY);
    state.CornerBarDiameter = real(Field::CornerBarDiameter);
  }
  state.Circular = circular;
  state.BendingAngle = real(Field::BendingAngle);
  state.AxialLoad = real(Field::AxialLoad);
  state.CurvatureLimit = real(Field::CurvatureLimit);
  state.AxialLevels = integer(Field::AxialLevels);
  std::optional<HoopReinforcement> hoops =
      dialog_text ? CaptureHoops(dialog_text, circular) : std::nullopt;
  // The core's crushing strain is followed at its edge in the plane of
  // bending, which only bending about x has worked out.
  if (hoops && state.BendingAngle != 0)
    FailInvalidInput("A confined core is bent about x only: " + NamedInput(Field::BendingAngle) +
                     " must be 0 with " + NamedInput(Field::HoopDiameter) + " given");
  state.Hoops = hoops;
}

void CaptureDesignInput(AnalysisState& state, const FieldText& input_text) {
  auto text = [&](Field field) { return input_text(FieldNumber(field)); };
  auto real = [&](Field field) -> std::optional<double> {
    const std::string given = text(field);
    if (given.empty()) return std::nullopt;
    return ParseReal(given, RegionalDecimal());
  };
  DesignInputs design;
  design.Code = text(Field::DesignCode);
  design.ConcreteGrade = text(Field::DesignConcreteGrade);
  design.SteelGrade = text(Field::DesignSteelGrade);
  design.Concrete = real(Field::DesignConcreteStrength);
  design.SteelTension = real(Field::DesignSteelYield);
  design.SteelCompression = real(Field::DesignSteelCompression);
  design.SteelModulus = real(Field::DesignSteelModulus);
  state.Design = std::move(design);
}

void EnterSectionData(AnalysisState& state, const FieldText& field_text,
                      const FieldText& dialog_text) {
  CaptureSectionInput(state, field_text, dialog_text);
  BuildFiberModel(state);
}

}  // namespace marrowick
