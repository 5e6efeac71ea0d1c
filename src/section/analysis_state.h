#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "section/circular_section.h"
#include "section/confinement.h"

namespace marrowick {

// One fiber of the section model; coordinates in mm from the section centre.
struct TFiber {
  double X = 0;
  double Y = 0;
  double Area = 0;
  // The solver's material number: 1 concrete (a confined section's cover),
  // 2 steel, 3 a confined core.
  int32_t MatTag = 0;
  int32_t CornerBar = 0;  // 1 for the four corner bars
};

// The design-code inputs ("[design]") as given; an absent input is an empty
// word or no number. With no code the program draws no design curve.
struct DesignInputs {
  std::string Code;           // "GB50010" or "ACI318"
  std::string ConcreteGrade;  // "C15" … "C80"
  std::string SteelGrade;     // "HPB300", "HRB400" …
  std::optional<double> Concrete, SteelTension, SteelCompression, SteelModulus;  // MPa
};

// A real table numbered from 1: a table for n entries has n + 1 slots and
// slot 0 is never used.
using RealTable = std::vector<double>;

// Everything the button operations share for the life of the program. All
// numbers start at zero and every table empty; the input parameters hold what
// the last "输入数据" captured, never the current texts of the fields.
struct AnalysisState {
  // Input parameters (N, mm, MPa; forces in kN).
  double ConcreteStrength = 0;
  double ConcretePeakStrain = 0;
  double ConcreteResidualStrength = 0;
  double ConcreteUltimateStrain = 0;
  double SteelYieldStrength = 0;
  double SteelModulus = 0;
  double SteelHardeningRatio = 0;
  double SectionWidth = 0;
  double SectionHeight = 0;
  double BarCover = 0;
  int32_t BarCountX = 0;
  double BarDiameterX = 0;
  int32_t BarCountY = 0;
  double BarDiameterY = 0;
  double AxialLoad = 0;
  double BendingAngle = 0;  // degrees, as typed: MomentDirectionOf reduces it
  double CurvatureLimit = 0;
  double MeshSize = 0;
  double CornerBarDiameter = 0;
  int32_t AxialLevels = 0;
  // A circular section (the outline and bars above are then unused).
  bool Circular = false;
  double CircleDiameter = 0;
  int32_t CircleBarCount = 0;
  double CircleBarDiameter = 0;
  // The hoops, when the section is confined.
  std::optional<HoopReinforcement> Hoops;
  DesignInputs Design;

  // Fiber model.
  int32_t MeshCountX = 0;
  int32_t MeshCountY = 0;
  std::vector<TFiber> Fibers;  // FiberCount + 1 slots once a model exists
  int32_t FiberCount = 0;
  double SteelArea = 0;
  double CompressionCapacity = 0;
  double TensionCapacity = 0;
  // The confined core of the model, when it has hoops.
  std::optional<ConfinedConcrete> Confinement;
  // A circular section's patches and bars, which its scripts write in place
  // of the fibers (the fibers above are those the solver cuts them into).
  std::optional<CircularModel> Circle;

  // View.
  double DrawScale = 0;

  // Results.
  int32_t SeriesCount = 0;
  RealTable MomentSeries;
  RealTable CurvatureSeries;
  // A confined section's compressive strain at the core's edge, step by step
  // beside the curvature series; empty without confinement.
  RealTable CoreEdgeStrains;
  RealTable PeakMoments;
  RealTable LevelForces;
};

}  // namespace marrowick
