#include "section/fiber_model.h"

#include <algorithm>
#include <numbers>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/extended_arithmetic.h"
#include "core/failure.h"
#include "section/input_fields.h"

namespace marrowick {

namespace {

// π is taken as 3.14 for bar areas, as engineers do for these hand figures.
constexpr Extended kPi = 3.14L;

Extended BarArea(Extended diameter) {
  return kPi * diameter * diameter / 4;
}

void RefuseImpossibleCounts(int64_t concrete_cells, int32_t mesh_x, int32_t mesh_y, int32_t bars_x,
                            int32_t bars_y) {
  if (bars_x < 0 || bars_y < 0)
    FailInvalidInput("The number of bars on a face cannot be negative (" +
                     std::to_string(bars_x < 0 ? bars_x : bars_y) + ")");
  if (mesh_x < 0 || mesh_y < 0)
    FailInvalidInput(
        "The section width, the section height and the mesh size must not be negative: they give " +
        std::to_string(mesh_x) + " x " + std::to_string(mesh_y) + " concrete fibers");
  const int64_t count = concrete_cells + 4 + 2 * int64_t{bars_x} + 2 * int64_t{bars_y};
  if (count > kMaxFiberCount)
    FailInvalidInput("The section would have " + std::to_string(count) + " fibers; at most " +
                     std::to_string(kMaxFiberCount) + " are allowed. Choose a larger mesh size");
}

// One rectangle of concrete cut into cells, its corners (x0, y0) and (x1, y1).
struct ConcretePiece {
  Extended x0, y0, x1, y1;
  int32_t cells_x, cells_y;
  int32_t mat_tag;
};

// A confined section's concrete: the core to the hoop centreline, then the
// cover's bottom and top strips across the whole width and its left and
// right strips between them; each piece cut into cells of about the mesh
// size, at least one along each side.
std::vector<ConcretePiece> ConfinedPieces(Extended B, Extended H, Extended c, Extended size) {
  const Extended bc = B - 2 * c;
  const Extended dc = H - 2 * c;
  const auto cells = [&](Extended side) { return std::max(1, RoundToInteger(Divide(side, size))); };
  return {
      {-bc / 2, -dc / 2, bc / 2, dc / 2, cells(bc), cells(dc), kCoreMaterial},
      {-B / 2, -H / 2, B / 2, -dc / 2, cells(B), cells(c), 1},
      {-B / 2, dc / 2, B / 2, H / 2, cells(B), cells(c), 1},
      {-B / 2, -dc / 2, -bc / 2, dc / 2, cells(c), cells(dc), 1},
      {bc / 2, -dc / 2, B / 2, dc / 2, cells(c), cells(dc), 1},
  };
}

// A circular section: OpenSees' ring patches and circle of bars, π exact in
// every area and capacity.
void BuildCircularModel(AnalysisState& state) {
  const double D = state.CircleDiameter;
  const double cover = state.BarCover;
  const double size = state.MeshSize;
  if (!(D > 2 * cover) || !(cover >= 0))
    FailInvalidInput(NamedInput(Field::CircleDiameter) + " must be more than twice " +
                     NamedInput(Field::BarCover) +
                     " (not negative), so that the bars lie inside it");
  if (state.CircleBarCount < 3)
    FailInvalidInput(NamedInput(Field::CircleBarCount) + " must be at least 3, not " +
                     std::to_string(state.CircleBarCount));
  if (!(state.CircleBarDiameter > 0))
    FailInvalidInput(NamedInput(Field::CircleBarDiameter) + " must be positive");
  if (!(size > 0)) FailInvalidInput(NamedInput(Field::MeshSize) + " must be positive");

  std::optional<ConfinedConcrete> confinement;
  if (state.Hoops)
    confinement =
        ConfineCircularSection({D, cover, state.CircleBarCount, state.CircleBarDiameter},
                               *state.Hoops, state.ConcreteStrength, state.ConcretePeakStrain);

  constexpr double kPi = std::numbers::pi;
  CircularModel model;
  model.Bars = state.CircleBarCount;
  model.BarArea = kPi * state.CircleBarDiameter * state.CircleBarDiameter / 4;
  model.BarRadius = D / 2 - cover;
  const double core_radius = confinement ? confinement->CoreWidth / 2 : 0;
  if (confinement) {
    model.Patches.push_back(RingPatchOf(kCoreMaterial, 0, core_radius, size));
    model.Patches.push_back(RingPatchOf(1, core_radius, D / 2, size));
  } else {
    model.Patches.push_back(RingPatchOf(1, 0, D / 2, size));
  }
  int64_t count = model.Bars;
  for (const RingPatch& patch : model.Patches) count += int64_t{patch.Sectors} * patch.Rings;
  if (count > kMaxFiberCount)
    FailInvalidInput("The section would have " + std::to_string(count) + " fibers; at most " +
                     std::to_string(kMaxFiberCount) + " are allowed. Choose a larger mesh size");

  std::vector<TFiber> fibers(1);
  fibers.reserve(static_cast<std::size_t>(count) + 1);
  // The section's y, the lever arm, is the fiber's Y; its z the fiber's X.
  const auto add = [&](const PlacedCell& cell, int32_t material) {
    fibers.push_back({cell.Z, cell.Y, cell.Area, material, 0});
  };
  for (const RingPatch& patch : model.Patches)
    for (const PlacedCell& cell : RingPatchCells(patch)) add(cell, patch.Material);
  for (const PlacedCell& cell : CircularBarCells(model)) add(cell, 2);

  const double gross = kPi * D * D / 4;
  const double steel_area = model.Bars * model.BarArea;
  double concrete_force = gross * state.ConcreteStrength;
  if (confinement) {
    // As for rectangles: the core carries f′cc, the cover f′co, and the bars
    // are not taken out of the concrete.
    const double core = kPi * confinement->CoreWidth * confinement->CoreWidth / 4;
    concrete_force = (gross - core) * state.ConcreteStrength + core * confinement->Fcc;
  }
  const double steel_force = steel_area * state.SteelYieldStrength;

  state.MeshCountX = model.Patches[0].Sectors;
  state.MeshCountY = model.Patches[0].Rings;
  state.FiberCount = static_cast<int32_t>(count);
  state.Fibers = std::move(fibers);
  state.SteelArea = steel_area;
  state.CompressionCapacity = StoreDouble(-(Extended{concrete_force} + steel_force) / 1000);
  state.TensionCapacity = StoreDouble(Extended{steel_force} / 1000);
  state.Confinement = confinement;
  state.Circle = std::move(model);
}

}  // namespace

void BuildFiberModel(AnalysisState& state) {
  if (state.Circular) {
    BuildCircularModel(state);
    return;
  }
  const Extended B = state.SectionWidth;
  const Extended H = state.SectionHeight;
  const Extended cover = state.BarCover;

  std::optional<ConfinedConcrete> confinement;
  if (state.Hoops)
    confinement = ConfineRectangularSection(
        {state.SectionWidth, state.SectionHeight, state.BarCover, state.CornerBarDiameter,
         state.BarCountX, state.BarDiameterX, state.BarCountY, state.BarDiameterY},
        *state.Hoops, state.ConcreteStrength, state.ConcretePeakStrain);

  // A confined section's mesh counts are its core's.
  int32_t mesh_x = 0;
  int32_t mesh_y = 0;
  int64_t concrete_cells = 0;
  std::vector<ConcretePiece> pieces;
  if (confinement) {
    pieces = ConfinedPieces(B, H, confinement->HoopOffset, state.MeshSize);
    mesh_x = pieces[0].cells_x;
    mesh_y = pieces[0].cells_y;
    for (const ConcretePiece& piece : pieces)
      concrete_cells += int64_t{piece.cells_x} * piece.cells_y;
  } else {
    mesh_x = RoundToInteger(Divide(B, state.MeshSize));
    mesh_y = RoundToInteger(Divide(H, state.MeshSize));
    concrete_cells = int64_t{mesh_x} * mesh_y;
  }
  RefuseImpossibleCounts(concrete_cells, mesh_x, mesh_y, state.BarCountX, state.BarCountY);
  const int32_t fiber_count =
      static_cast<int32_t>(concrete_cells) + 4 + 2 * state.BarCountX + 2 * state.BarCountY;

  // The model is built aside and stored in one piece, so that a failure on
  // the way (a value beyond the double range) leaves the previous model whole.
  std::vector<TFiber> fibers = state.Fibers;
  fibers.resize(static_cast<std::size_t>(fiber_count) + 1);
  for (int32_t s = 1; s <= fiber_count; ++s) fibers[s].CornerBar = 0;

  int32_t slot = 0;
  auto write = [&](Extended x, Extended y, Extended area, int32_t mat_tag) -> TFiber& {
    TFiber& fiber = fibers[++slot];
    fiber.X = StoreDouble(x);
    fiber.Y = StoreDouble(y);
    fiber.Area = StoreDouble(area);
    fiber.MatTag = mat_tag;
    return fiber;
  };

  if (confinement) {
    for (const ConcretePiece& piece : pieces) {
      const Extended w = (piece.x1 - piece.x0) / piece.cells_x;
      const Extended h = (piece.y1 - piece.y0) / piece.cells_y;
      for (int32_t i = 1; i <= piece.cells_x; ++i)
        for (int32_t j = 1; j <= piece.cells_y; ++j)
          write(piece.x0 + w * (i - 1) + w / 2, piece.y0 + h * (j - 1) + h / 2, w * h,
                piece.mat_tag);
    }
  } else if (mesh_x > 0 && mesh_y > 0) {
    const Extended w = B / mesh_x;
    const Extended h = H / mesh_y;
    for (int32_t i = 1; i <= mesh_x; ++i)
      for (int32_t j = 1; j <= mesh_y; ++j)
        write(w * (i - 1) + (-B / 2) + w / 2, h * (j - 1) + (-H / 2) + h / 2, w * h, 1);
  }

  const Extended area_y = BarArea(state.BarDiameterY);
  if (state.BarCountY >= 1) {
    const Extended spacing = (H - 2 * cover) / (state.BarCountY + 1);
    for (int32_t m = 1; m <= state.BarCountY; ++m) {
      const Extended y = (-H / 2 + cover) + spacing * m;
      write(-B / 2 + cover, y, area_y, 2);
      write(B / 2 - cover, y, area_y, 2);
    }
  }

  const Extended area_x = BarArea(state.BarDiameterX);
  if (state.BarCountX >= 1) {
    const Extended spacing = (B - 2 * cover) / (state.BarCountX + 1);
    for (int32_t m = 1; m <= state.BarCountX; ++m) {
      const Extended x = (-B / 2 + cover) + spacing * m;
      write(x, -H / 2 + cover, area_x, 2);
      write(x, H / 2 - cover, area_x, 2);
    }
  }

  const Extended area_c = BarArea(state.CornerBarDiameter);
  write(-B / 2 + cover, -H / 2 + cover, area_c, 2).CornerBar = 1;
  write(-B / 2 + cover, H / 2 - cover, area_c, 2).CornerBar = 1;
  write(B / 2 - cover, H / 2 - cover, area_c, 2).CornerBar = 1;
  write(B / 2 - cover, -H / 2 + cover, area_c, 2).CornerBar = 1;

  const double steel_area =
      StoreDouble(area_x * (2 * state.BarCountX) + area_y * (2 * state.BarCountY) + area_c * 4);
  const Extended steel_force = static_cast<Extended>(steel_area) * state.SteelYieldStrength;
  Extended concrete_force = B * H * state.ConcreteStrength;
  if (confinement) {
    // The core carries f′cc, the cover f′co; the bars are not taken out of
    // the concrete, as in the unconfined capacity.
    const Extended core = Extended{confinement->CoreWidth} * confinement->CoreHeight;
    concrete_force = (B * H - core) * state.ConcreteStrength + core * confinement->Fcc;
  }
  const double compression = StoreDouble(-(concrete_force + steel_force) / 1000);
  const double tension = StoreDouble(steel_force / 1000);

  state.MeshCountX = mesh_x;
  state.MeshCountY = mesh_y;
  state.FiberCount = fiber_count;
  state.Fibers = std::move(fibers);
  state.SteelArea = steel_area;
  state.CompressionCapacity = compression;
  state.TensionCapacity = tension;
  state.Confinement = confinement;
  state.Circle.reset();
}

}  // namespace marrowick
