#include "charts/mx_my_chart.h"

#include <algorithm>
#include <cmath>

namespace marrowick {

namespace {

// The plot box of DrawChartFrame.
constexpr int kSideMargin = 80;
constexpr int kTopMargin = 20;

}  // namespace

ScaleRanges MxMyRanges(const MxMyContour& contour, int width, int height) {
  double reach = 0;
  for (std::size_t k = 1; k <= static_cast<std::size_t>(contour.Count); ++k)
    reach = std::max({reach, std::fabs(contour.MomentsY[k]), std::fabs(contour.MomentsZ[k])});
  // No moment anywhere still gets a scale.
  if (!(reach > 0)) reach = 1;
  const double across = width - 2 * kSideMargin;
  const double up = height - 2 * kTopMargin;
  const double per_pixel = 2 * reach / std::min(across, up);
  ScaleRanges ranges;
  ranges.Width = width;
  ranges.Height = height;
  ranges.XMax = per_pixel * across / 2;
  ranges.XMin = -ranges.XMax;
  ranges.YMax = per_pixel * up / 2;
  ranges.YMin = -ranges.YMax;
  return ranges;
}

ScaleRanges DrawMxMyContour(const MxMyContour& contour, Canvas& canvas) {
  const ScaleRanges wanted = MxMyRanges(contour, canvas.Width(), canvas.Height());
  // The frame takes its ranges from the corners of the box.
  const RealTable x{0, wanted.XMin, wanted.XMax};
  const RealTable y{0, wanted.YMin, wanted.YMax};
  const ScaleRanges ranges = DrawChartFrame(canvas, x, y, 2);

  canvas.SetPenColor(kBlue);
  const ChartPixel origin = ChartPoint(ranges, 0, 0);
  canvas.MoveTo(kSideMargin, origin.Y);
  canvas.LineTo(ranges.Width - kSideMargin, origin.Y);
  canvas.MoveTo(origin.X, kTopMargin);
  canvas.LineTo(origin.X, ranges.Height - kTopMargin);

  canvas.SetPenWidth(2);
  canvas.SetPenColor(kRed);
  const ChartPixel first =
      DrawMarkedLine(canvas, ranges, contour.MomentsY, contour.MomentsZ, contour.Count);
  // Closed: the last point joined back to the first.
  if (contour.Count > 0) canvas.LineTo(first.X, first.Y);
  canvas.SetPenWidth(1);
  return ranges;
}

MxMyContour ShowMxMyContour(const AnalysisState& state, Canvas& canvas,
                            const std::filesystem::path& folder) {
  // Read whole before anything is drawn, as the other charts are.
  const MxMyContour contour = ReadMxMyContour(state.AxialLoad, folder);
  DrawMxMyContour(contour, canvas);
  return contour;
}

}  // namespace marrowick
