#pragma once

#include "section/analysis_state.h"
#include "section/fiber_model.h"

namespace marrowick::testing {

// The parameters that the window's default texts give.
inline void SetDefaultParameters(AnalysisState& state) {
  state.ConcreteStrength = 35;
  state.ConcretePeakStrain = 0.002;
  state.ConcreteResidualStrength = 15;
  state.ConcreteUltimateStrain = 0.0033;
  state.SteelYieldStrength = 300;
  state.SteelModulus = 215000;
  state.SteelHardeningRatio = 0.0001;
  state.SectionWidth = 500;
  state.SectionHeight = 600;
  state.BarCover = 35;
  state.MeshSize = 35;
  state.BarCountX = 2;
  state.BarCountY = 2;
  state.BarDiameterX = 20;
  state.BarDiameterY = 20;
  state.CornerBarDiameter = 20;
  state.AxialLoad = -1000;
  state.CurvatureLimit = 0.00002;
  state.AxialLevels = 20;
}

// The state after "输入数据" with the default texts: parameters and model.
inline AnalysisState DefaultModel() {
  AnalysisState state;
  SetDefaultParameters(state);
  BuildFiberModel(state);
  return state;
}

}  // namespace marrowick::testing
