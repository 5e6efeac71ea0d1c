#include "charts/shown_picture.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <span>
#include <utility>

#include "charts/interaction_curve.h"
#include "charts/key_point_marks.h"
#include "charts/mx_my_chart.h"
#include "charts/section_view.h"
#include "core/decimal_symbol.h"
#include "results/export.h"
#include "section/fiber_model.h"

namespace marrowick {

namespace {

ShownPicture Chart(ShownPicture::Kind kind, const RealTable& x, const RealTable& y, int32_t count,
                   int width, int height) {
  ShownPicture picture;
  picture.kind = kind;
  const std::size_t kept =
      std::min({static_cast<std::size_t>(std::max(count, 0)) + 1, x.size(), y.size()});
  picture.x.assign(x.begin(), x.begin() + static_cast<std::ptrdiff_t>(kept));
  picture.y.assign(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(kept));
  picture.count = kept == 0 ? 0 : static_cast<int32_t>(kept - 1);
  picture.ranges = ChartRanges(picture.x, picture.y, picture.count, width, height);
  picture.width = width;
  picture.height = height;
  return picture;
}

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return WithRegionalDecimal(text);
}

std::size_t DesignPointCount(const ShownPicture& picture) {
  std::size_t count = 0;
  for (const DesignCurve& curve : picture.design) count += curve.Points.size();
  return count;
}

struct DesignPointRef {
  const DesignCurve* curve;
  const DesignPoint* point;
};

// The design point numbered `index`, counting on after the levels.
std::optional<DesignPointRef> DesignPointOf(const ShownPicture& picture, int32_t index) {
  if (picture.kind != ShownPicture::Kind::Interaction || index <= picture.count) return {};
  auto rest = static_cast<std::size_t>(index - picture.count - 1);
  for (const DesignCurve& curve : picture.design) {
    if (rest < curve.Points.size()) return DesignPointRef{&curve, &curve.Points[rest]};
    rest -= curve.Points.size();
  }
  return {};
}

std::string DesignReadout(const DesignPointRef& design) {
  const DesignPoint& point = *design.point;
  std::string text = DesignCurveCaption(*design.curve);
  if (!point.Key.empty()) text += std::string(" ") + DesignKeyLabel(point.Key);
  if (point.Depth) text += "\n中和轴深度 " + Number(*point.Depth) + " mm";
  text += "\n轴力 " + Number(point.AxialForce) + " kN (受压为正)\n弯矩 " + Number(point.Moment) +
          " kN·m";
  if (point.Phi) text += "\nφ " + Number(*point.Phi);
  return text;
}

const char* FiberKind(const TFiber& fiber, bool confined, bool circular) {
  if (fiber.CornerBar == 1) return "角部钢筋";
  // A circle's bars sit on one ring, not on the faces of a rectangle.
  if (fiber.MatTag == 2) return circular ? "纵筋" : "侧边钢筋";
  if (!confined) return "混凝土";
  return fiber.MatTag == kCoreMaterial ? "核心混凝土(约束)" : "保护层混凝土";
}

}  // namespace

ShownPicture SectionPicture(const AnalysisState& state, int width, int height) {
  ShownPicture picture;
  picture.kind = ShownPicture::Kind::Section;
  const std::size_t kept =
      std::min(state.Fibers.size(), static_cast<std::size_t>(std::max(state.FiberCount, 0)) + 1);
  picture.fibers.assign(state.Fibers.begin(),
                        state.Fibers.begin() + static_cast<std::ptrdiff_t>(kept));
  picture.draw_scale = state.DrawScale;
  picture.confined = state.Confinement.has_value();
  picture.circular = state.Circular;
  picture.width = width;
  picture.height = height;
  return picture;
}

ShownPicture MomentCurvaturePicture(const AnalysisState& state, int width, int height) {
  ShownPicture picture = Chart(ShownPicture::Kind::MomentCurvature, state.CurvatureSeries,
                               state.MomentSeries, state.SeriesCount, width, height);
  if (state.Confinement && !state.CoreEdgeStrains.empty()) {
    picture.core_edge_strains = state.CoreEdgeStrains;
    picture.crushing_strain = state.Confinement->Ecu;
  }
  return picture;
}

MomentCurvatureKeyPoints PictureKeyPoints(const ShownPicture& picture) {
  const auto entries = [](const RealTable& table) {
    return table.empty() ? std::span<const double>{} : std::span<const double>(table).subspan(1);
  };
  if (picture.core_edge_strains.empty())
    return FindMomentCurvatureKeyPoints(entries(picture.x), entries(picture.y));
  return FindMomentCurvatureKeyPoints(entries(picture.x), entries(picture.y),
                                      entries(picture.core_edge_strains), picture.crushing_strain);
}

ShownPicture InteractionPicture(const AnalysisState& state, int width, int height) {
  ShownPicture picture = Chart(ShownPicture::Kind::Interaction, state.PeakMoments,
                               state.LevelForces, state.AxialLevels + 1, width, height);
  picture.design = DesignCurvesOf(state);
  if (!picture.design.empty()) {
    const InteractionFrame frame =
        InteractionFrameTables(picture.x, picture.y, picture.count, picture.design);
    picture.ranges = ChartRanges(frame.Moments, frame.Forces, frame.Count, width, height);
  }
  return picture;
}

ShownPicture ContourPicture(const MxMyContour& contour, int width, int height) {
  ShownPicture picture = Chart(ShownPicture::Kind::Contour, contour.MomentsY, contour.MomentsZ,
                               contour.Count, width, height);
  picture.ranges = MxMyRanges(contour, width, height);
  picture.axial_force = contour.AxialForce;
  return picture;
}

ChartPixel PointPixel(const ShownPicture& picture, int32_t index) {
  const auto i = static_cast<std::size_t>(index);
  if (picture.kind == ShownPicture::Kind::Section)
    return FiberPixel(picture.fibers.at(i), picture.draw_scale, picture.width, picture.height);
  if (const auto design = DesignPointOf(picture, index))
    return ChartPoint(picture.ranges, design->point->Moment, design->point->AxialForce);
  return ChartPoint(picture.ranges, picture.x.at(i), picture.y.at(i));
}

int32_t PointNear(const ShownPicture& picture, int x, int y) {
  const bool section = picture.kind == ShownPicture::Kind::Section;
  const std::size_t count =
      section ? (picture.fibers.empty() ? 0 : picture.fibers.size() - 1)
              : static_cast<std::size_t>(std::max(picture.count, 0)) + DesignPointCount(picture);
  if (picture.kind == ShownPicture::Kind::Nothing) return 0;
  int32_t nearest = 0;
  int64_t best = int64_t{kReadoutReach} * kReadoutReach;
  for (std::size_t i = 1; i <= count; ++i) {
    const ChartPixel pixel = PointPixel(picture, static_cast<int32_t>(i));
    const int64_t dx = pixel.X - x;
    const int64_t dy = pixel.Y - y;
    const int64_t distance = dx * dx + dy * dy;
    // A later square lies on top of an earlier one; a later step does not.
    if (distance < best || (distance == best && (section || nearest == 0))) {
      best = distance;
      nearest = static_cast<int32_t>(i);
    }
  }
  return nearest;
}

std::string Readout(const ShownPicture& picture, int32_t index) {
  const auto i = static_cast<std::size_t>(index);
  switch (picture.kind) {
    case ShownPicture::Kind::Section: {
      const TFiber& fiber = picture.fibers.at(i);
      // y and z as the solver's fiber lines name them: y the lever arm
      // along the height, z along the width.
      return std::string(FiberKind(fiber, picture.confined, picture.circular)) + "\ny " +
             Number(fiber.Y) + " mm\nz " + Number(fiber.X) + " mm\n面积 " + Number(fiber.Area) +
             " mm²";
    }
    case ShownPicture::Kind::MomentCurvature:
      return "曲率 " + Number(picture.x.at(i)) + " 1/mm\n弯矩 " + Number(picture.y.at(i)) + " kN·m";
    case ShownPicture::Kind::Interaction:
      if (const auto design = DesignPointOf(picture, index)) return DesignReadout(*design);
      return "第 " + std::to_string(index) + " 级\n轴力 " + Number(picture.y.at(i)) +
             " kN (受压为正)\n峰值弯矩 " + Number(picture.x.at(i)) + " kN·m";
    case ShownPicture::Kind::Contour:
      return "θ " + Number(ContourAngle(index)) + "°\nMz " + Number(picture.y.at(i)) +
             " kN·m\nMy " + Number(picture.x.at(i)) + " kN·m";
    case ShownPicture::Kind::Nothing:
      break;
  }
  return {};
}

Lines DataTable(const ShownPicture& picture, char separator) {
  switch (picture.kind) {
    case ShownPicture::Kind::Section:
      return FiberTable(
          picture.fibers,
          picture.fibers.empty() ? 0 : static_cast<int32_t>(picture.fibers.size() - 1), separator,
          picture.circular);
    case ShownPicture::Kind::MomentCurvature: {
      MomentCurvatureSeries series;
      series.Count = picture.count;
      series.Moments = picture.y;
      series.Curvatures = picture.x;
      return MomentCurvatureTable(series, separator);
    }
    case ShownPicture::Kind::Interaction: {
      Lines lines =
          InteractionTable(InteractionCurve{picture.count, picture.y, picture.x}, separator);
      if (picture.design.empty()) return lines;
      lines.emplace_back();
      for (std::string& line : DesignCurveTable(picture.design, separator))
        lines.push_back(std::move(line));
      return lines;
    }
    case ShownPicture::Kind::Contour: {
      MxMyContour contour;
      contour.Count = picture.count;
      contour.AxialForce = picture.axial_force;
      contour.MomentsY = picture.x;
      contour.MomentsZ = picture.y;
      contour.Angles.assign(picture.x.size(), 0);
      for (std::size_t k = 1; k < contour.Angles.size(); ++k)
        contour.Angles[k] = ContourAngle(static_cast<int32_t>(k));
      return MxMyTable(contour, separator);
    }
    case ShownPicture::Kind::Nothing:
      break;
  }
  return {};
}

}  // namespace marrowick
