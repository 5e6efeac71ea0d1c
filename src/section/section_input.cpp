#include "section/section_input.h"

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "section/fiber_model.h"

namespace marrowick {

namespace {

// The hoops when their diameter, spacing and yield strength are all given;
// none when none is. An empty text is an input left out.
std::optional<HoopReinforcement> CaptureHoops(const FieldText& field_text) {
  const Field required[] = {Field::HoopDiameter, Field::HoopSpacing, Field::HoopYieldStrength};
  int given = 0;
  for (const Field field : required) given += !field_text(FieldNumber(field)).empty();
  if (given == 0) return std::nullopt;
  for (const Field field : required)
    if (field_text(FieldNumber(field)).empty())
      FailInvalidInput(std::string("A confined core needs the hoops' diameter, spacing and yield "
                                   "strength; ") +
                       InputFieldOf(field).caption + " (" + InputFieldOf(field).key +
                       ") is missing");
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
  hoops.LegsX = integer(Field::HoopLegsX, hoops.LegsX);
  hoops.LegsY = integer(Field::HoopLegsY, hoops.LegsY);
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
  // The bending angle is checked like every other field but no analysis uses it.
  static_cast<void>(real(Field::BendingAngle));
  state.AxialLoad = real(Field::AxialLoad);
  state.CurvatureLimit = real(Field::CurvatureLimit);
  state.AxialLevels = integer(Field::AxialLevels);
  state.Hoops = dialog_text ? CaptureHoops(dialog_text) : std::nullopt;
}

void EnterSectionData(AnalysisState& state, const FieldText& field_text,
                      const FieldText& dialog_text) {
  CaptureSectionInput(state, field_text, dialog_text);
  BuildFiberModel(state);
}

}  // namespace marrowick
