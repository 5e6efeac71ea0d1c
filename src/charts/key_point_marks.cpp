#include "charts/key_point_marks.h"

#include <optional>
#include <string>
#include <utility>

namespace marrowick {

namespace {

enum class LabelSide { Above, Below };

// A 7 × 7 square centred on the point, its label to the right, above or
// below so that two key points on one pixel (a peak that is also the
// ultimate point) keep both labels readable; or the square alone.
void Mark(Canvas& canvas, const ScaleRanges& ranges, double x, double y, const char* label,
          LabelSide side, bool labelled = true) {
  // Only inside the frame: a point beyond the plotted range (a secant yield
  // past the last step) has no place on the chart.
  if (!(x >= ranges.XMin && x <= ranges.XMax && y >= ranges.YMin && y <= ranges.YMax)) return;
  const ChartPixel point = ChartPoint(ranges, x, y);
  canvas.SetPenWidth(1);
  canvas.SetPenColor(kKeyPointColor);
  canvas.SetBrushColor(kKeyPointColor);
  canvas.SetBrushSolid(true);
  canvas.Rectangle(point.X - 3, point.Y - 3, point.X + 4, point.Y + 4);
  canvas.SetBrushSolid(false);
  if (!labelled) return;
  canvas.SetFontColor(kKeyPointColor);
  canvas.TextOut(point.X + 6, side == LabelSide::Above ? point.Y - 16 : point.Y + 3, label);
}

const char* UltimateLabel(const MomentCurvatureKeyPoints& keys, bool confined) {
  if (!confined || !keys.UltimateBy) return "极限";
  switch (*keys.UltimateBy) {
    case UltimateCriterion::CoreStrain:
      return "极限(核心压碎)";
    case UltimateCriterion::MomentDrop:
      return "极限(弯矩降至80%)";
    case UltimateCriterion::LastStep:
      break;
  }
  return "极限(末步)";
}

}  // namespace

void MarkMomentCurvatureKeyPoints(Canvas& canvas, const ScaleRanges& ranges,
                                  const MomentCurvatureKeyPoints& keys, bool confined) {
  const std::pair<const std::optional<CurvaturePoint>*, const char*> marks[] = {
      {&keys.Yield, "屈服"}, {&keys.Peak, "峰值"}, {&keys.Ultimate, UltimateLabel(keys, confined)}};
  for (const auto& [point, label] : marks)
    if (*point)
      Mark(canvas, ranges, (*point)->CurvaturePerMm, (*point)->MomentKNm, label,
           point == &keys.Ultimate ? LabelSide::Below : LabelSide::Above);
}

void MarkInteractionKeyPoints(Canvas& canvas, const ScaleRanges& ranges,
                              const InteractionKeyPoints& keys) {
  if (keys.Balanced)
    Mark(canvas, ranges, keys.Balanced->MomentKNm, keys.Balanced->AxialForceKN, "界限",
         LabelSide::Above);
  if (keys.PureBendingMomentKNm)
    Mark(canvas, ranges, *keys.PureBendingMomentKNm, 0, "M0", LabelSide::Below);
}

const char* DesignKeyLabel(const std::string& key) {
  const std::pair<const char*, const char*> labels[] = {{"balanced", "界限"},
                                                        {"pure_bending", "纯弯"},
                                                        {"cap", "轴压上限"},
                                                        {"pure_tension", "纯拉"},
                                                        {"po", "Po"},
                                                        {"fs_zero", "fs=0"},
                                                        {"fs_half_fy", "fs=0.5fy"},
                                                        {"tension_controlled", "受拉控制"}};
  for (const auto& [name, label] : labels)
    if (key == name) return label;
  return "";
}

std::string DesignCurveCaption(const DesignCurve& curve) {
  if (curve.Code == DesignCode::GB50010) return "GB 50010 设计曲线";
  return curve.Name == "nominal" ? "ACI 318 名义曲线 Pn-Mn" : "ACI 318 设计曲线 φPn-φMn";
}

void MarkDesignKeyPoints(Canvas& canvas, const ScaleRanges& ranges,
                         const std::vector<DesignCurve>& design) {
  for (const DesignCurve& curve : design)
    for (const DesignPoint& point : curve.Points) {
      if (point.Key.empty()) continue;
      // The tension end lies at the bottom of the frame: its label goes above.
      const LabelSide side = point.Key == "pure_tension" || point.Key == "cap" || point.Key == "po"
                                 ? LabelSide::Above
                                 : LabelSide::Below;
      Mark(canvas, ranges, point.Moment, point.AxialForce, DesignKeyLabel(point.Key), side,
           curve.Name != "nominal");
    }
}

}  // namespace marrowick
