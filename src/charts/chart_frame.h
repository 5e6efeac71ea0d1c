#pragma once

#include <cstdint>

#include "charts/canvas.h"
#include "core/extended_arithmetic.h"
#include "section/analysis_state.h"

namespace marrowick {

// The data ranges of one chart and the surface size its frame was drawn at:
// everything ChartPoint needs to place a data pair inside the plot box.
struct ScaleRanges {
  double XMin = 0;
  double XMax = 0;
  double YMin = 0;
  double YMax = 0;
  int Width = 0;
  int Height = 0;
};

struct ChartPixel {
  int32_t X = 0;
  int32_t Y = 0;
  friend bool operator==(const ChartPixel&, const ChartPixel&) = default;
};

// The ranges DrawChartFrame sets for x[1..n] and y[1..n] on a surface of
// that size, without drawing: what a point under the pointer is matched to.
// The caller guarantees both tables hold n + 1 slots.
ScaleRanges ChartRanges(const RealTable& x, const RealTable& y, int32_t n, int width, int height);

// Clears the whole surface and draws the grey plot box (80 px margins left
// and right, 20 px top and bottom) with a grid of five columns and ten rows,
// each grid line labelled with its value in "%0.3E" form and the regional
// decimal symbol. The axes run from the smallest to the largest of x[1..n] and
// y[1..n], without margin; with no points every label reads zero. The pen
// width is left as it is. Leaves the brush clear, the pen grey and the font
// black.
ScaleRanges DrawChartFrame(Canvas& canvas, const RealTable& x, const RealTable& y, int32_t n);

// The pixel of a data pair. An axis whose values are all equal has no scale:
// placing a point on it is an invalid floating point operation.
ChartPixel ChartPoint(const ScaleRanges& ranges, Extended x, Extended y);

// The pixel row ChartPoint gives for y, whatever x.
int32_t ChartRow(const ScaleRanges& ranges, Extended y);

// Points 1 to n as circles of radius 4 joined in order by a line, in the
// canvas's pen; returns the first point's pixel (none drawn: unchanged).
ChartPixel DrawMarkedLine(Canvas& canvas, const ScaleRanges& ranges, const RealTable& x,
                          const RealTable& y, int32_t n);

}  // namespace marrowick
