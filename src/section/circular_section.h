#pragma once

#include <cstdint>
#include <vector>

namespace marrowick {

// One ring patch of a circular section about its centre, as a solver script's
// `patch circ` gives it: the whole ring from the inner to the outer radius (mm)
// cut into equal sectors and equally deep rings.
struct RingPatch {
  int32_t Material = 0;
  int32_t Sectors = 0;
  int32_t Rings = 0;
  double InnerRadius = 0;
  double OuterRadius = 0;
};

// A circular section's concrete and bars as its scripts lay them out: the
// patches (one for plain concrete; the core, then the cover, with hoops) and
// `Bars` bars of BarArea on the circle of BarRadius, the first on the lever
// arm's axis (+y), the rest counter-clockwise at equal angles.
struct CircularModel {
  std::vector<RingPatch> Patches;
  int32_t Bars = 0;
  double BarArea = 0;
  double BarRadius = 0;
};

// Where a cell or bar lies: y along the lever arm, z across it (mm), and its
// area (mm²).
struct PlacedCell {
  double Y = 0;
  double Z = 0;
  double Area = 0;
};

// The ring from r1 to r2 cut for cells of about `size`: max(1, round((r2 −
// r1)/size)) rings and max(8, round(2π·r2/size)) sectors, so that even a
// coarse mesh keeps the ring round enough for bending in any direction.
RingPatch RingPatchOf(int32_t material, double r1, double r2, double size);

// The patch's cells as the solver makes them: ring by ring from the inside,
// sector by sector from +y, each the exact area of its annular sector at the
// sector's centroid, with the solver's own arithmetic so that the model and
// the solver agree to the last digits.
std::vector<PlacedCell> RingPatchCells(const RingPatch& patch);

// The bars of the model, in the solver's order and arithmetic.
std::vector<PlacedCell> CircularBarCells(const CircularModel& model);

}  // namespace marrowick
