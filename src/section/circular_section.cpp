#include "section/circular_section.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/extended_arithmetic.h"

namespace marrowick {

RingPatch RingPatchOf(int32_t material, double r1, double r2, double size) {
  const int32_t rings = RoundToInteger(Divide(Extended{r2} - r1, size));
  const int32_t sectors = RoundToInteger(Divide(2 * std::numbers::pi_v<Extended> * r2, size));
  return {material, std::max(8, sectors), std::max(1, rings), r1, r2};
}

std::vector<PlacedCell> RingPatchCells(const RingPatch& patch) {
  std::vector<PlacedCell> cells;
  if (patch.Sectors <= 0 || patch.Rings <= 0) return cells;
  cells.reserve(static_cast<std::size_t>(patch.Sectors) * static_cast<std::size_t>(patch.Rings));
  // The whole ring, 0° to 360°, in radians as the solver turns them.
  const double pi = std::acos(-1.0);
  const double sweep = (pi * 360.0 / 180.0 - pi * 0.0 / 180.0) / patch.Sectors;
  const double depth = (patch.OuterRadius - patch.InnerRadius) / patch.Rings;
  const double half = sweep / 2.0;
  for (int32_t j = 0; j < patch.Rings; ++j) {
    const double inner = patch.InnerRadius + depth * j;
    const double outer = inner + depth;
    // A ring sector is the difference of two circular sectors, each with its
    // centroid 2·r·sin(α/2)/(3·α/2) from the centre.
    const double outer_area = half * outer * outer;
    const double outer_arm = 2.0 * outer * std::sin(half) / (3.0 * half);
    const double inner_area = half * inner * inner;
    const double inner_arm = 2.0 * inner * std::sin(half) / (3.0 * half);
    const double area = outer_area - inner_area;
    const double arm = (outer_area * outer_arm - inner_area * inner_arm) / area;
    for (int32_t i = 0; i < patch.Sectors; ++i) {
      const double middle = sweep * i + sweep / 2.0;
      cells.push_back({std::cos(middle) * arm + 0.0, std::sin(middle) * arm + 0.0, area});
    }
  }
  return cells;
}

std::vector<PlacedCell> CircularBarCells(const CircularModel& model) {
  std::vector<PlacedCell> cells;
  if (model.Bars <= 0) return cells;
  cells.reserve(static_cast<std::size_t>(model.Bars));
  // A whole circle's bars run to one step short of 360°, so that none falls
  // on the first.
  const double pi = std::acos(-1.0);
  const double last = 360.0 - 360.0 / model.Bars;
  const double step =
      model.Bars > 1 ? (pi * last / 180.0 - pi * 0.0 / 180.0) / (model.Bars - 1) : 0.0;
  for (int32_t k = 0; k < model.Bars; ++k) {
    const double theta = step * k;
    cells.push_back(
        {model.BarRadius * std::cos(theta), model.BarRadius * std::sin(theta), model.BarArea});
  }
  return cells;
}

}  // namespace marrowick
