#include "charts/section_view.h"

#include <algorithm>
#include <cstdint>

#include "core/extended_arithmetic.h"
#include "section/fiber_model.h"

namespace marrowick {

namespace {

// Half the side of every fiber square, in pixels.
constexpr int kHalfSquare = 3;

// A fiber far off the surface is not seen wherever it lies; holding it a
// little way off keeps its square's corners inside the integer range.
int OffSurfaceClamped(int coordinate) {
  constexpr int kFarAway = 1 << 20;
  return std::clamp(coordinate, -kFarAway, kFarAway);
}

}  // namespace

ChartPixel FiberPixel(const TFiber& fiber, double draw_scale, int width, int height) {
  const Extended scale = draw_scale;
  // Section Y grows upward, pixel rows downward.
  return ChartPixel{OffSurfaceClamped(RoundToInteger(fiber.X * scale + width / 2.0L)),
                    OffSurfaceClamped(RoundToInteger(height / 2.0L - fiber.Y * scale))};
}

void DrawSectionView(AnalysisState& state, Canvas& canvas) {
  const int width = canvas.Width();
  const int height = canvas.Height();

  // A circle's outline is its diameter both ways.
  const double outline_width = state.Circle ? state.CircleDiameter : state.SectionWidth;
  const double outline_height = state.Circle ? state.CircleDiameter : state.SectionHeight;
  const Extended by_width = Divide(0.6L * width, outline_width);
  const Extended by_height = Divide(0.6L * height, outline_height);
  state.DrawScale = StoreDouble(std::min(by_width, by_height));

  canvas.SetBrushSolid(true);
  canvas.SetPenColor(kBlack);
  canvas.SetBrushColor(kWhite);
  canvas.Rectangle(0, 0, width, height);

  // The table never holds fewer slots than the count; the bound keeps a
  // drawing from reading past it all the same.
  const int64_t last =
      std::min<int64_t>(state.FiberCount, static_cast<int64_t>(state.Fibers.size()) - 1);
  for (int64_t slot = 1; slot <= last; ++slot) {
    const TFiber& fiber = state.Fibers[slot];
    // A fiber of no known kind keeps the colour of the one before it.
    if (fiber.MatTag == 1) canvas.SetBrushColor(kYellow);
    if (fiber.MatTag == 2) canvas.SetBrushColor(kRed);
    if (fiber.MatTag == kCoreMaterial) canvas.SetBrushColor(kOrange);
    if (fiber.CornerBar == 1) canvas.SetBrushColor(kBlue);
    const auto [px, py] = FiberPixel(fiber, state.DrawScale, width, height);
    canvas.Rectangle(px - kHalfSquare, py - kHalfSquare, px + kHalfSquare, py + kHalfSquare);
  }

  if (state.Circle) {
    // The outline in black and the hoop centreline in the bars' blue, over
    // the fibers, which show the rings and sectors.
    const auto circle = [&](double radius) {
      TFiber at;
      at.X = -radius;
      at.Y = radius;
      const ChartPixel upper_left = FiberPixel(at, state.DrawScale, width, height);
      at.X = radius;
      at.Y = -radius;
      const ChartPixel lower_right = FiberPixel(at, state.DrawScale, width, height);
      canvas.Ellipse(upper_left.X, upper_left.Y, lower_right.X, lower_right.Y);
    };
    canvas.SetBrushSolid(false);
    circle(state.CircleDiameter / 2);
    if (const auto& core = state.Confinement) {
      canvas.SetPenColor(kBlue);
      circle(core->CoreWidth / 2);
      canvas.SetPenColor(kBlack);
    }
    canvas.SetBrushSolid(true);
  } else if (const auto& core = state.Confinement) {
    // The hoop centreline, over the fibers, in the corner bars' colour.
    const auto corner = [&](double x, double y) {
      TFiber at;
      at.X = x;
      at.Y = y;
      return FiberPixel(at, state.DrawScale, width, height);
    };
    const ChartPixel lower_left = corner(-core->CoreWidth / 2, -core->CoreHeight / 2);
    const ChartPixel upper_right = corner(core->CoreWidth / 2, core->CoreHeight / 2);
    canvas.SetPenColor(kBlue);
    canvas.MoveTo(lower_left.X, lower_left.Y);
    canvas.LineTo(upper_right.X, lower_left.Y);
    canvas.LineTo(upper_right.X, upper_right.Y);
    canvas.LineTo(lower_left.X, upper_right.Y);
    canvas.LineTo(lower_left.X, lower_left.Y);
    canvas.SetPenColor(kBlack);
  }
}

}  // namespace marrowick
