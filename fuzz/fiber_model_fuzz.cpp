// Any captured parameters, with or without hoops: either a model whose every
// entry lies inside its table with valid tags, or a failure; the previous
// model survives a failure.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/failure.h"
#include "section/analysis_state.h"
#include "section/fiber_model.h"

using namespace marrowick;

namespace {

double TakeReal(const uint8_t*& data, size_t& size) {
  double value = 0;
  if (size >= sizeof value) {
    std::memcpy(&value, data, sizeof value);
    data += sizeof value;
    size -= sizeof value;
  }
  return std::isfinite(value) ? value : 0;  // typed texts never give inf or NaN
}

int32_t TakeCount(const uint8_t*& data, size_t& size) {
  int32_t value = 0;
  if (size >= sizeof value) {
    std::memcpy(&value, data, sizeof value);
    data += sizeof value;
    size -= sizeof value;
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AnalysisState state;
  state.SectionWidth = 100;
  state.SectionHeight = 100;
  state.MeshSize = 50;
  BuildFiberModel(state);
  const int32_t previous_count = state.FiberCount;

  state.SectionWidth = TakeReal(data, size);
  state.SectionHeight = TakeReal(data, size);
  state.BarCover = TakeReal(data, size);
  state.MeshSize = TakeReal(data, size);
  state.BarDiameterX = TakeReal(data, size);
  state.BarDiameterY = TakeReal(data, size);
  state.CornerBarDiameter = TakeReal(data, size);
  state.ConcreteStrength = TakeReal(data, size);
  state.SteelYieldStrength = TakeReal(data, size);
  state.BarCountX = TakeCount(data, size);
  state.BarCountY = TakeCount(data, size);
  // What is left, if anything, gives hoops: a confined core and its cover.
  if (size > 0) {
    HoopReinforcement hoops;
    hoops.Diameter = TakeReal(data, size);
    hoops.Spacing = TakeReal(data, size);
    hoops.YieldStrength = TakeReal(data, size);
    hoops.StrainAtMaxStress = TakeReal(data, size);
    hoops.LegsX = TakeCount(data, size);
    hoops.LegsY = TakeCount(data, size);
    state.ConcretePeakStrain = TakeReal(data, size);
    state.Hoops = hoops;
  }

  try {
    BuildFiberModel(state);
  } catch (const Failure&) {
    if (state.FiberCount != previous_count) std::abort();
    if (state.Fibers.size() != static_cast<size_t>(previous_count) + 1) std::abort();
    return 0;
  }
  if (state.FiberCount < 4 || state.FiberCount > kMaxFiberCount) std::abort();
  if (state.Fibers.size() != static_cast<size_t>(state.FiberCount) + 1) std::abort();
  int corners = 0;
  for (int32_t s = 1; s <= state.FiberCount; ++s) {
    const TFiber& fiber = state.Fibers[s];
    if (fiber.MatTag != 1 && fiber.MatTag != 2 && fiber.MatTag != kCoreMaterial) std::abort();
    if (fiber.MatTag == kCoreMaterial && !state.Confinement) std::abort();
    if (!std::isfinite(fiber.X) || !std::isfinite(fiber.Y) || !std::isfinite(fiber.Area))
      std::abort();
    corners += fiber.CornerBar;
  }
  if (corners != 4) std::abort();
  return 0;
}
