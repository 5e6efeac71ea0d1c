#include "section/section_input.h"

#include <optional>
#include <utility>

#include "core/decimal_symbol.h"
#include "core/number_text.h"
#include "section/fiber_model.h"

namespace marrowick {

void CaptureSectionInput(AnalysisState& state, const FieldText& field_text) {
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

void EnterSectionData(AnalysisState& state, const FieldText& field_text) {
  CaptureSectionInput(state, field_text);
  BuildFiberModel(state);
}

}  // namespace marrowick
