#include "section/section_input.h"

#include "core/decimal_symbol.h"
#include "core/number_text.h"
#include "section/fiber_model.h"

namespace marrowick {

void CaptureSectionInput(AnalysisState& state, const FieldText& field_text) {
  // A person types these, so reals follow the regional decimal symbol.
  auto real = [&](int field) { return ParseReal(field_text(field), RegionalDecimal()); };
  auto integer = [&](int field) { return ParseInteger(field_text(field)); };

  state.ConcreteStrength = real(1);
  state.ConcretePeakStrain = real(2);
  state.ConcreteResidualStrength = real(3);
  state.ConcreteUltimateStrain = real(4);
  state.SteelYieldStrength = real(5);
  state.SteelModulus = real(6);
  state.SteelHardeningRatio = real(7);
  state.SectionWidth = real(8);
  state.SectionHeight = real(9);
  state.BarCover = real(10);
  state.MeshSize = real(18);
  state.BarCountX = integer(11);
  state.BarCountY = integer(13);
  // Side bars come in whole millimetre sizes; corner bars may be any size.
  state.BarDiameterX = integer(12);
  state.BarDiameterY = integer(14);
  state.CornerBarDiameter = real(19);
  // The bending angle is checked like every other field but no analysis uses it.
  static_cast<void>(real(16));
  state.AxialLoad = real(15);
  state.CurvatureLimit = real(17);
  state.AxialLevels = integer(20);
}

void EnterSectionData(AnalysisState& state, const FieldText& field_text) {
  CaptureSectionInput(state, field_text);
  BuildFiberModel(state);
}

}  // namespace marrowick
