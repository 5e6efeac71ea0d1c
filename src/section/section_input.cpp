#include "section/section_input.h"

#include <optional>
#include <utility>

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
  state.BendingAngle = real(Field::BendingAngle);
  state.AxialLoad = real(Field::AxialLoad);
  state.CurvatureLimit = real(Field::CurvatureLimit);
  state.AxialLevels = integer(Field::AxialLevels);
  std::optional<HoopReinforcement> hoops = dialog_text ? CaptureHoops(dialog_text) : std::nullopt;
  // The core's crushing strain is followed at its edge in the plane of
  // bending, which only bending about x has worked out.
  if (hoops && state.BendingAngle != 0)
    FailInvalidInput(std::string("A confined core is bent about x only: ") +
                     InputFieldOf(Field::BendingAngle).caption + " (" +
                     InputFieldOf(Field::BendingAngle).key + ") must be 0 with " +
                     InputFieldOf(Field::HoopDiameter).caption + " (" +
                     InputFieldOf(Field::HoopDiameter).key + ") given");
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
