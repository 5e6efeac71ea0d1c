#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "charts/chart_frame.h"
#include "core/text_file.h"
#include "results/design_curve.h"
#include "results/key_points.h"
#include "results/mx_my_contour.h"
#include "section/analysis_state.h"

namespace marrowick {

// What the drawing surface shows, with its own copy of the data: the
// analysis state moves on (a later reading that fails half-way rewrites its
// tables) while the picture on the surface stays.
struct ShownPicture {
  enum class Kind { Nothing, Section, MomentCurvature, Interaction, Contour };
  Kind kind = Kind::Nothing;

  // The section view: the fiber table (slot 0 unused) at its drawing scale.
  std::vector<TFiber> fibers;
  double draw_scale = 0;
  bool confined = false;  // its concrete is a core and a cover
  bool circular = false;  // its bars are a circle's ring of bars
  int width = 0;
  int height = 0;

  // A chart: x[1..count] against y[1..count] as plotted (curvature and
  // moment, or peak moment and axial force) and the ranges of its frame.
  RealTable x, y;
  int32_t count = 0;
  ScaleRanges ranges;
  // The Mx–My contour: My across, Mz up, at this axial force (kN).
  double axial_force = 0;

  // The N-M chart's design-code curves, if any: their points follow the
  // levels, numbered on from count + 1.
  std::vector<DesignCurve> design;

  // A confined section's moment-curvature chart: the core's edge strain at
  // each step (slot 0 unused) and its crushing strain; empty otherwise.
  RealTable core_edge_strains;
  double crushing_strain = 0;
};

// The key points of a moment-curvature picture, by the core's strain too
// when the section is confined.
MomentCurvatureKeyPoints PictureKeyPoints(const ShownPicture& picture);

// The pictures the three drawing operations leave, from the state they drew
// from, on a surface of that size.
ShownPicture SectionPicture(const AnalysisState& state, int width, int height);
ShownPicture MomentCurvaturePicture(const AnalysisState& state, int width, int height);
ShownPicture InteractionPicture(const AnalysisState& state, int width, int height);
ShownPicture ContourPicture(const MxMyContour& contour, int width, int height);

// How far from a plotted point the pointer may be to read it, in pixels.
inline constexpr int kReadoutReach = 6;

// Where point `index` (counted from 1) is drawn.
ChartPixel PointPixel(const ShownPicture& picture, int32_t index);

// The plotted point (a fiber's square, a step, a level, a design point)
// nearest to pixel (x, y) and at most kReadoutReach pixels from it, counted
// from 1; 0 when none is.
// Where squares overlap, the one drawn last (on top) wins.
int32_t PointNear(const ShownPicture& picture, int x, int y);

// The values of point `index` with their units, one per line, numbers with
// six significant digits and the regional decimal symbol.
std::string Readout(const ShownPicture& picture, int32_t index);

// The data behind the picture as a table: a header row, then one row per
// fiber, step or level, its columns joined by `separator`, as the batch
// command's CSV files have them; for the N-M chart with design curves, an
// empty line and then the table of design-interaction.csv. Empty when
// nothing is shown.
Lines DataTable(const ShownPicture& picture, char separator);

}  // namespace marrowick
