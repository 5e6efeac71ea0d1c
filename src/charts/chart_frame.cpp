#include "charts/chart_frame.h"

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "core/number_text.h"

namespace marrowick {

namespace {

constexpr int kSideMargin = 80;
constexpr int kTopMargin = 20;
constexpr int kGridColumns = 5;
constexpr int kGridRows = 10;

std::string Label(Extended value) {
  return FormatExponent(value, 3, RegionalDecimal());
}

int32_t ChartColumn(const ScaleRanges& ranges, Extended x) {
  const Extended length = ranges.Width - 2 * kSideMargin;
  return RoundToInteger(Divide(x - ranges.XMin, static_cast<Extended>(ranges.XMax) - ranges.XMin) *
                            length +
                        kSideMargin);
}

}  // namespace

ScaleRanges ChartRanges(const RealTable& x, const RealTable& y, int32_t n, int width, int height) {
  ScaleRanges ranges;
  ranges.Width = width;
  ranges.Height = height;
  if (n >= 1) {
    ranges.XMin = ranges.XMax = x[1];
    ranges.YMin = ranges.YMax = y[1];
  }
  for (std::size_t i = 1; i <= static_cast<std::size_t>(n); ++i) {
    if (!(ranges.XMax > x[i])) ranges.XMax = x[i];
    if (!(ranges.XMin < x[i])) ranges.XMin = x[i];
    if (!(ranges.YMax > y[i])) ranges.YMax = y[i];
    if (!(ranges.YMin < y[i])) ranges.YMin = y[i];
  }
  return ranges;
}

ScaleRanges DrawChartFrame(Canvas& canvas, const RealTable& x, const RealTable& y, int32_t n) {
  if (n < 0 || x.size() <= static_cast<std::size_t>(n) || y.size() <= static_cast<std::size_t>(n))
    FailRangeCheck();
  const int w = canvas.Width();
  const int h = canvas.Height();

  canvas.SetBrushSolid(true);
  canvas.SetBrushColor(kWhite);
  canvas.SetPenColor(kBlack);
  canvas.Rectangle(0, 0, w, h);
  canvas.SetBrushSolid(false);
  canvas.SetFontColor(kBlack);
  canvas.SetPenColor(kGrey);
  canvas.Rectangle(kSideMargin, kTopMargin, w - kSideMargin, h - kTopMargin);

  // The spacings are stored as doubles; every coordinate below is then formed
  // from them in extended precision, which decides rows such as 179 (not 180)
  // for the middle line of a 359-pixel surface.
  const double dx = StoreDouble(static_cast<Extended>(w - 2 * kSideMargin) / kGridColumns);
  const double dy = StoreDouble(static_cast<Extended>(h - 2 * kTopMargin) / kGridRows);

  const ScaleRanges ranges = ChartRanges(x, y, n, w, h);

  const Extended x_span = static_cast<Extended>(ranges.XMax) - ranges.XMin;
  for (int k = 0; k <= kGridColumns; ++k) {
    const int32_t column = RoundToInteger(k * static_cast<Extended>(dx) + kSideMargin);
    canvas.MoveTo(column, kTopMargin);
    canvas.LineTo(column, h - kTopMargin);
    canvas.TextOut(column, h - 15,
                   Label(x_span * (static_cast<Extended>(k) / kGridColumns) + ranges.XMin));
  }
  // Lines are counted from the top and labels from the bottom, so the label
  // of the smallest value stands under the bottom line.
  const Extended y_span = static_cast<Extended>(ranges.YMax) - ranges.YMin;
  for (int k = 0; k <= kGridRows; ++k) {
    const int32_t row = RoundToInteger(k * static_cast<Extended>(dy) + kTopMargin);
    canvas.MoveTo(kSideMargin, row);
    canvas.LineTo(w - kSideMargin, row);
    canvas.TextOut(5, RoundToInteger((h - kTopMargin) - k * static_cast<Extended>(dy)),
                   Label(y_span * (static_cast<Extended>(k) / kGridRows) + ranges.YMin));
  }
  return ranges;
}

int32_t ChartRow(const ScaleRanges& ranges, Extended y) {
  const Extended length = ranges.Height - 2 * kTopMargin;
  return RoundToInteger(Divide(ranges.YMax - y, static_cast<Extended>(ranges.YMax) - ranges.YMin) *
                            length +
                        kTopMargin);
}

ChartPixel ChartPoint(const ScaleRanges& ranges, Extended x, Extended y) {
  const int32_t column = ChartColumn(ranges, x);
  return ChartPixel{column, ChartRow(ranges, y)};
}

ChartPixel DrawMarkedLine(Canvas& canvas, const ScaleRanges& ranges, const RealTable& x,
                          const RealTable& y, int32_t n) {
  ChartPixel first{};
  for (std::size_t i = 1; i <= static_cast<std::size_t>(n); ++i) {
    const ChartPixel point = ChartPoint(ranges, x[i], y[i]);
    canvas.Ellipse(point.X - 4, point.Y - 4, point.X + 4, point.Y + 4);
    if (i == 1) {
      canvas.MoveTo(point.X, point.Y);
      first = point;
    } else {
      canvas.LineTo(point.X, point.Y);
    }
  }
  return first;
}

}  // namespace marrowick
