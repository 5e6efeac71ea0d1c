#include "batch/summary.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <span>

#include "core/decimal_symbol.h"
#include "core/number_text.h"
#include "results/key_points.h"

namespace marrowick {

namespace {

QJsonValue CurvePoint(const std::optional<CurvaturePoint>& point) {
  if (!point) return QJsonValue::Null;
  return QJsonObject{{"curvature_per_mm", point->CurvaturePerMm}, {"moment_kNm", point->MomentKNm}};
}

QJsonValue Number(const std::optional<double>& value) {
  return value ? QJsonValue(*value) : QJsonValue(QJsonValue::Null);
}

QJsonValue CriterionName(const std::optional<UltimateCriterion>& criterion) {
  if (!criterion) return QJsonValue::Null;
  switch (*criterion) {
    case UltimateCriterion::CoreStrain:
      return "core_strain";
    case UltimateCriterion::MomentDrop:
      return "moment_drop";
    case UltimateCriterion::LastStep:
      break;
  }
  return "last_step";
}

// Each curve's key points by name, as design-interaction.csv has them.
QJsonObject DesignKeyPoints(const std::vector<DesignCurve>& design) {
  QJsonObject curves;
  for (const DesignCurve& curve : design) {
    QJsonObject points;
    for (const DesignPoint& point : curve.Points)
      if (!point.Key.empty())
        points.insert(QString::fromStdString(point.Key),
                      QJsonObject{{"neutral_axis_depth_mm", Number(point.Depth)},
                                  {"axial_force_kN", point.AxialForce},
                                  {"moment_kNm", point.Moment},
                                  {"phi", Number(point.Phi)}});
    curves.insert(QString::fromStdString(curve.Name), points);
  }
  return QJsonObject{{"code", design.front().Code == DesignCode::GB50010 ? "GB50010" : "ACI318"},
                     {"curves", curves}};
}

std::span<const double> Entries(const RealTable& table, int32_t count) {
  return std::span<const double>(table).subspan(1, static_cast<std::size_t>(count));
}

}  // namespace

std::string SummaryJson(const SectionTexts& texts, const AnalysisState& state,
                        const MomentCurvatureSeries& series, const InteractionCurve& curve,
                        const std::vector<DesignCurve>& design) {
  QJsonObject inputs;
  for (const SectionFileKey& entry : kSectionFileKeys) {
    // An optional input the file did not give is left out, and so is the
    // bending angle at zero.
    const std::optional<std::string>& given = texts.at(static_cast<std::size_t>(entry.field));
    if (!given) continue;
    const std::string& text = *given;
    if (OmittedAtZero(static_cast<Field>(entry.field)) && ParseReal(text, RegionalDecimal()) == 0)
      continue;
    inputs.insert(QLatin1String(entry.key),
                  entry.rule == FieldRule::Integer ? QJsonValue(ParseInteger(text))
                  : entry.rule == FieldRule::Word  ? QJsonValue(QString::fromStdString(text))
                                                  : QJsonValue(ParseReal(text, RegionalDecimal())));
  }

  const auto& core = state.Confinement;
  const MomentCurvatureKeyPoints bending =
      core ? FindMomentCurvatureKeyPoints(
                 Entries(series.Curvatures, series.Count), Entries(series.Moments, series.Count),
                 state.CoreEdgeStrains.empty()
                     ? std::span<const double>{}
                     : std::span<const double>(state.CoreEdgeStrains).subspan(1),
                 core->Ecu)
           : FindMomentCurvatureKeyPoints(Entries(series.Curvatures, series.Count),
                                          Entries(series.Moments, series.Count));
  const InteractionKeyPoints interaction = FindInteractionKeyPoints(
      Entries(curve.AxialForces, curve.Levels), Entries(curve.PeakMoments, curve.Levels));
  QJsonValue balanced = QJsonValue::Null;
  if (interaction.Balanced)
    balanced = QJsonObject{{"level", interaction.Balanced->Level},
                           {"axial_force_kN", interaction.Balanced->AxialForceKN},
                           {"moment_kNm", interaction.Balanced->MomentKNm}};

  QJsonObject moment_curvature{{"peak", CurvePoint(bending.Peak)},
                               {"yield", CurvePoint(bending.Yield)},
                               {"ultimate", CurvePoint(bending.Ultimate)},
                               {"ductility", Number(bending.Ductility)}};
  if (core) moment_curvature.insert("ultimate_criterion", CriterionName(bending.UltimateBy));

  QJsonObject summary{
      {"inputs", inputs},
      {"fiber_count", state.FiberCount},
      {"steel_area_mm2", state.SteelArea},
      {"tension_capacity_kN", state.TensionCapacity},
      // Stored negative, as the solver's sign takes compression; both
      // capacities are given as magnitudes.
      {"compression_capacity_kN", 0.0 - state.CompressionCapacity},
      {"key_points",
       QJsonObject{{"moment_curvature", moment_curvature},
                   {"interaction", QJsonObject{{"balanced", balanced},
                                               {"pure_bending_moment_kNm",
                                                Number(interaction.PureBendingMomentKNm)}}}}},
  };
  // Like its section file, a rectangle's summary stays as it was: the shape
  // is named for a circle only.
  if (state.Circular) summary.insert("shape", QLatin1String(kCircularShape));
  if (core && core->Circular)
    summary.insert("confinement", QJsonObject{{"core_diameter_mm", core->CoreWidth},
                                              {"rho_cc", core->RhoCc},
                                              {"ke", core->Ke},
                                              {"rho_s", core->RhoX + core->RhoY},
                                              {"fl_MPa", core->FlX},
                                              {"fcc_MPa", core->Fcc},
                                              {"ecc", core->Ecc},
                                              {"ecu", core->Ecu},
                                              {"Ec_MPa", core->Ec}});
  else if (core)
    summary.insert("confinement", QJsonObject{{"core_width_mm", core->CoreWidth},
                                              {"core_height_mm", core->CoreHeight},
                                              {"rho_cc", core->RhoCc},
                                              {"ke", core->Ke},
                                              {"rho_x", core->RhoX},
                                              {"rho_y", core->RhoY},
                                              {"fl_x_MPa", core->FlX},
                                              {"fl_y_MPa", core->FlY},
                                              {"fcc_MPa", core->Fcc},
                                              {"ecc", core->Ecc},
                                              {"ecu", core->Ecu},
                                              {"Ec_MPa", core->Ec}});
  if (!design.empty()) summary.insert("design", DesignKeyPoints(design));
  return QJsonDocument(summary).toJson(QJsonDocument::Indented).toStdString();
}

}  // namespace marrowick
