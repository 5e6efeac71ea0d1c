#include "results/design_curve.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>
#include <string_view>

#include "core/failure.h"
#include "results/export.h"

namespace marrowick {

namespace {

// GB 50010-2010 as first published (not its 2015 revision, which raises f'y
// of HRB500 to 435 MPa). Table 4.1.4-1: the design compressive strength fc of
// each concrete grade, the grade's number being fcu,k.
struct ConcreteGrade {
  std::string_view name;
  double cube_strength;  // fcu,k
  double fc;
};
constexpr ConcreteGrade kConcreteGrades[] = {
    {"C15", 15, 7.2},  {"C20", 20, 9.6},  {"C25", 25, 11.9}, {"C30", 30, 14.3}, {"C35", 35, 16.7},
    {"C40", 40, 19.1}, {"C45", 45, 21.1}, {"C50", 50, 23.1}, {"C55", 55, 25.3}, {"C60", 60, 27.5},
    {"C65", 65, 29.7}, {"C70", 70, 31.8}, {"C75", 75, 33.8}, {"C80", 80, 35.9},
};

// GB 50010-2010 Table 4.2.3-1 (fy, f'y) and Table 4.2.5 (Es).
struct SteelGrade {
  std::string_view name;
  double fy, fy_compression, modulus;
};
constexpr SteelGrade kSteelGrades[] = {
    {"HPB300", 270, 270, 2.1e5}, {"HRB335", 300, 300, 2.0e5},  {"HRBF335", 300, 300, 2.0e5},
    {"HRB400", 360, 360, 2.0e5}, {"HRBF400", 360, 360, 2.0e5}, {"RRB400", 360, 360, 2.0e5},
    {"HRB500", 435, 410, 2.0e5}, {"HRBF500", 435, 410, 2.0e5},
};

constexpr double kAciUltimateStrain = 0.003;   // ACI 318-19 §22.2.2.1
constexpr double kAciBlockStress = 0.85;       // ACI 318-19 §22.2.2.4.1
constexpr double kAciDefaultModulus = 200000;  // ACI 318-19 §20.2.2.2

[[noreturn]] void FailDesign(const std::string& message) {
  FailInvalidInput("Design curve: " + message);
}

double Positive(const std::optional<double>& value, std::optional<double> fallback,
                const char* name, const char* missing = " is neither given nor set by a grade") {
  const std::optional<double> chosen = value ? value : fallback;
  if (!chosen) FailDesign(std::string(name) + missing);
  if (!(*chosen > 0 && std::isfinite(*chosen)))
    FailDesign(std::string(name) + " must be a positive number");
  return *chosen;
}

DesignMaterials GbMaterials(const DesignInputs& inputs) {
  std::optional<double> cube_strength, fc, fy, fy_compression, modulus;
  if (!inputs.ConcreteGrade.empty()) {
    const auto* grade = std::find_if(std::begin(kConcreteGrades), std::end(kConcreteGrades),
                                     [&](const auto& g) { return g.name == inputs.ConcreteGrade; });
    if (grade == std::end(kConcreteGrades))
      FailDesign("unknown concrete grade " + QuoteForMessage(inputs.ConcreteGrade));
    cube_strength = grade->cube_strength;
    fc = grade->fc;
  }
  if (!inputs.SteelGrade.empty()) {
    const auto* grade = std::find_if(std::begin(kSteelGrades), std::end(kSteelGrades),
                                     [&](const auto& g) { return g.name == inputs.SteelGrade; });
    if (grade == std::end(kSteelGrades))
      FailDesign("unknown steel grade " + QuoteForMessage(inputs.SteelGrade));
    fy = grade->fy;
    fy_compression = grade->fy_compression;
    modulus = grade->modulus;
  }
  DesignMaterials materials;
  materials.Code = DesignCode::GB50010;
  materials.Concrete = Positive(inputs.Concrete, fc, "fc_MPa");
  materials.SteelTension = Positive(inputs.SteelTension, fy, "fy_MPa");
  materials.SteelCompression =
      Positive(inputs.SteelCompression, fy_compression, "fy_compression_MPa");
  materials.SteelModulus = Positive(inputs.SteelModulus, modulus, "Es_MPa");
  // §6.2.6: α1 and β1 fall linearly from C50 to C80, and §6.2.1-5 εcu with
  // them; strengths given without a grade are taken as C50 or below.
  const double above_c50 = std::clamp(cube_strength.value_or(50) - 50, 0.0, 30.0);
  materials.BlockStress = 1.0 - 0.06 * above_c50 / 30;
  materials.BlockDepth = 0.8 - 0.06 * above_c50 / 30;
  materials.UltimateStrain = std::min(0.0033, 0.0033 - above_c50 * 1e-5);
  return materials;
}

DesignMaterials AciMaterials(const DesignInputs& inputs) {
  DesignMaterials materials;
  materials.Code = DesignCode::ACI318;
  // ACI 318 has no grades here: the specified strengths are given.
  materials.Concrete = Positive(inputs.Concrete, std::nullopt, "fc_MPa (f'c)", " is not given");
  materials.SteelTension = Positive(inputs.SteelTension, std::nullopt, "fy_MPa", " is not given");
  materials.SteelCompression = materials.SteelTension;
  materials.SteelModulus = Positive(inputs.SteelModulus, kAciDefaultModulus, "Es_MPa");
  materials.BlockStress = kAciBlockStress;
  // Table 22.2.2.4.3.
  const double fc = materials.Concrete;
  materials.BlockDepth = fc <= 28 ? 0.85 : fc < 55 ? 0.85 - 0.05 * (fc - 28) / 7 : 0.65;
  materials.UltimateStrain = kAciUltimateStrain;
  return materials;
}

// ACI 318-19 Table 21.2.2 for a tied column: φ from the net tensile strain of
// the deepest bar.
double AciPhi(double tensile_strain, double yield_strain) {
  if (tensile_strain <= yield_strain) return 0.65;
  if (tensile_strain >= yield_strain + 0.003) return 0.90;
  return 0.65 + 0.25 * (tensile_strain - yield_strain) / 0.003;
}

double DeepestBar(const DesignSection& section) {
  double deepest = 0;
  for (const DesignBar& bar : section.Bars) deepest = std::max(deepest, bar.Depth);
  return deepest;
}

double SteelArea(const DesignSection& section) {
  double area = 0;
  for (const DesignBar& bar : section.Bars) area += bar.Area;
  return area;
}

// Every bar yielding in tension: no concrete takes tension.
DesignPoint PureTension(const DesignSection& section, const DesignMaterials& materials) {
  double force = 0, moment = 0;
  for (const DesignBar& bar : section.Bars) {
    force -= materials.SteelTension * bar.Area;
    moment -= materials.SteelTension * bar.Area * (section.Height / 2 - bar.Depth);
  }
  DesignPoint point{std::nullopt, force / 1e3, moment / 1e6, std::nullopt, "pure_tension"};
  if (materials.Code == DesignCode::ACI318) point.Phi = 0.90;
  return point;
}

// The axial-force cap of a curve, kN. GB 50010 §6.2.15 with φ = 1 (a short
// column): 0.9 (fc A + f'y As'), A less As when the steel exceeds 3 %.
// ACI 318-19 §22.4.2: 0.80 Po for a tied column, Po = 0.85 f'c (Ag - Ast) +
// fy Ast, and φ = 0.65 on the design curve.
double GbCap(const DesignSection& section, const DesignMaterials& materials) {
  const double steel = SteelArea(section);
  double concrete = section.Width * section.Height;
  if (steel / concrete > 0.03) concrete -= steel;
  return 0.9 * (materials.Concrete * concrete + materials.SteelCompression * steel) / 1e3;
}

double AciPo(const DesignSection& section, const DesignMaterials& materials) {
  const double steel = SteelArea(section);
  return (kAciBlockStress * materials.Concrete * (section.Width * section.Height - steel) +
          materials.SteelTension * steel) /
         1e3;
}

using ForcesAt = std::function<DesignPoint(double depth)>;

// The smallest depth in (0, hi] at which the axial force reaches `target`,
// by a scan (ACI 318's displaced concrete makes the force step down where a
// bar enters the block) and then bisection. None when it is reached at once.
std::optional<double> FirstDepthReaching(const ForcesAt& forces, double target, double hi) {
  constexpr int kScan = 1000;
  double lo = 0;
  for (int k = 1; k <= kScan; ++k) {
    const double depth = hi * k / kScan;
    if (forces(depth).AxialForce >= target) {
      if (k == 1 && forces(depth * 1e-9).AxialForce >= target) return std::nullopt;
      double upper = depth;
      for (int i = 0; i < 200 && upper - lo > 1e-12 * upper; ++i) {
        const double middle = (lo + upper) / 2;
        (forces(middle).AxialForce >= target ? upper : lo) = middle;
      }
      return upper;
    }
    lo = depth;
  }
  return std::nullopt;
}

// The depth at which the curve meets its cap: doubled from the height until
// the force gets there, then found as the first depth that reaches it.
double CapDepth(const ForcesAt& forces, double cap, double height) {
  double hi = height;
  for (int i = 0; forces(hi).AxialForce < cap; ++i) {
    if (i == 60) FailDesign("the section never reaches its axial cap");
    hi *= 2;
  }
  const std::optional<double> depth = FirstDepthReaching(forces, cap, hi);
  if (!depth) FailDesign("the section is in compression at every neutral-axis depth");
  return *depth;
}

struct KeyDepth {
  double depth;
  const char* key;
};

// Pure tension, then the depths up to the cap's evenly spaced with the key
// points among them, then the cap. Key points beyond the cap are cut off
// with the rest of the curve above it.
DesignCurve Curve(std::string name, const ForcesAt& forces, const DesignPoint& tension, double cap,
                  std::optional<double> cap_phi, std::vector<KeyDepth> keys, double height) {
  constexpr int kSteps = 80;
  const double cap_depth = CapDepth(forces, cap, height);
  if (const auto zero = FirstDepthReaching(forces, 0, cap_depth))
    keys.push_back({*zero, "pure_bending"});
  std::erase_if(keys,
                [&](const KeyDepth& key) { return !(key.depth > 0 && key.depth <= cap_depth); });
  std::vector<KeyDepth> depths = keys;
  for (int k = 1; k <= kSteps; ++k) depths.push_back({cap_depth * k / kSteps, ""});
  std::stable_sort(depths.begin(), depths.end(),
                   [](const KeyDepth& a, const KeyDepth& b) { return a.depth < b.depth; });
  // A key point on a depth of the even spacing takes its place.
  const double same = 1e-9 * cap_depth;
  std::erase_if(depths, [&](const KeyDepth& entry) {
    return *entry.key == '\0' && std::any_of(keys.begin(), keys.end(), [&](const KeyDepth& key) {
      return std::abs(key.depth - entry.depth) <= same;
    });
  });

  DesignCurve curve{DesignCode::GB50010, std::move(name), {tension}};
  for (const KeyDepth& entry : depths) {
    DesignPoint point = forces(entry.depth);
    // The depth found for the cap reaches it to rounding; any other point
    // above it is cut off.
    if (entry.depth != cap_depth && point.AxialForce > cap) continue;
    point.Key = entry.key;
    curve.Points.push_back(std::move(point));
  }
  curve.Points.push_back({std::nullopt, cap, 0, cap_phi, "cap"});
  return curve;
}

}  // namespace

DesignMaterials ResolveDesignMaterials(const DesignInputs& inputs) {
  if (inputs.Code == "GB50010") return GbMaterials(inputs);
  if (inputs.Code == "ACI318") return AciMaterials(inputs);
  FailDesign("unknown design code " + QuoteForMessage(inputs.Code));
}

DesignSection DesignSectionOf(const AnalysisState& state) {
  DesignSection section{state.SectionWidth, state.SectionHeight, {}};
  // The model lists the bars of the two faces along Y, then those of the two
  // faces along X, then the corner bars; each group has its own diameter.
  int32_t side_bars = 0;
  for (int32_t i = 1; i <= state.FiberCount && i < static_cast<int32_t>(state.Fibers.size()); ++i) {
    const TFiber& fiber = state.Fibers[static_cast<std::size_t>(i)];
    if (fiber.MatTag != 2) continue;
    const double diameter = fiber.CornerBar == 1                ? state.CornerBarDiameter
                            : side_bars++ < 2 * state.BarCountY ? state.BarDiameterY
                                                                : state.BarDiameterX;
    section.Bars.push_back(
        {state.SectionHeight / 2 - fiber.Y, std::numbers::pi * diameter * diameter / 4});
  }
  return section;
}

DesignPoint DesignForcesAt(const DesignSection& section, const DesignMaterials& materials,
                           double depth) {
  const bool aci = materials.Code == DesignCode::ACI318;
  const double fc = materials.Concrete;
  // GB 50010 §6.2.6 and ACI 318-19 §22.2.2.4: a uniform block of α1 fc
  // (0.85 f'c) over x = β1 xn, at most the whole height.
  const double block = std::min(materials.BlockDepth * depth, section.Height);
  const double concrete = materials.BlockStress * fc * section.Width * block;
  double force = concrete;
  double moment = concrete * (section.Height / 2 - block / 2);
  for (const DesignBar& bar : section.Bars) {
    // Plane sections (GB 50010 §6.2.1, ACI 318-19 §22.2.1.2): strain in
    // proportion to the distance from the neutral axis, tension positive;
    // the stress is limited by the yield strengths (GB 50010 §6.2.8-1,
    // ACI 318-19 §20.2.2.1).
    const double strain = materials.UltimateStrain * (bar.Depth - depth) / depth;
    double stress = std::clamp(materials.SteelModulus * strain, -materials.SteelCompression,
                               materials.SteelTension);
    // ACI 318: a bar inside the block displaces concrete the block counts.
    if (aci && bar.Depth < block) stress += kAciBlockStress * fc;
    force -= stress * bar.Area;
    moment -= stress * bar.Area * (section.Height / 2 - bar.Depth);
  }
  DesignPoint point{depth, force / 1e3, moment / 1e6, std::nullopt, ""};
  if (aci) {
    const double tensile = kAciUltimateStrain * (DeepestBar(section) - depth) / depth;
    point.Phi = AciPhi(tensile, materials.SteelTension / materials.SteelModulus);
  }
  return point;
}

namespace {

std::vector<DesignCurve> CodeCurves(const DesignSection& section,
                                    const DesignMaterials& materials) {
  if (!(section.Width > 0 && section.Height > 0))
    FailDesign("the section needs a positive width and height");
  const double deepest = DeepestBar(section);
  const double cu = materials.UltimateStrain;
  const double yield = materials.SteelTension / materials.SteelModulus;
  const ForcesAt nominal = [&](double depth) { return DesignForcesAt(section, materials, depth); };
  const DesignPoint tension = PureTension(section, materials);

  if (materials.Code == DesignCode::GB50010) {
    // §6.2.7: the balanced relative depth ξb = β1 / (1 + fy / (Es εcu)) of h0,
    // the depth of the deepest bar, is a block x = ξb h0, so xn = x / β1.
    const double balanced = deepest / (1 + yield / cu);
    return {Curve("design", nominal, tension, GbCap(section, materials), std::nullopt,
                  {{balanced, "balanced"}}, section.Height)};
  }

  // The depths of the deepest bar's strain εt: 0, 0.5 fy / Es, εty (the
  // balanced point) and εty + 0.003 (the start of tension control).
  const auto depth_at_strain = [&](double strain) { return deepest * cu / (cu + strain); };
  const std::vector<KeyDepth> keys{{depth_at_strain(0), "fs_zero"},
                                   {depth_at_strain(0.5 * yield), "fs_half_fy"},
                                   {depth_at_strain(yield), "balanced"},
                                   {depth_at_strain(yield + 0.003), "tension_controlled"}};
  const ForcesAt reduced = [&](double depth) {
    DesignPoint point = nominal(depth);
    point.AxialForce *= *point.Phi;
    point.Moment *= *point.Phi;
    return point;
  };
  const double po = AciPo(section, materials);
  constexpr double kCompressionPhi = 0.65;
  DesignPoint reduced_tension = tension;
  reduced_tension.AxialForce *= *tension.Phi;
  reduced_tension.Moment *= *tension.Phi;
  DesignCurve design = Curve("design", reduced, reduced_tension, kCompressionPhi * 0.80 * po,
                             kCompressionPhi, keys, section.Height);
  design.Points.push_back({std::nullopt, kCompressionPhi * po, 0, kCompressionPhi, "po"});
  DesignCurve strength =
      Curve("nominal", nominal, tension, 0.80 * po, kCompressionPhi, keys, section.Height);
  strength.Points.push_back({std::nullopt, po, 0, kCompressionPhi, "po"});
  return {std::move(design), std::move(strength)};
}

}  // namespace

std::vector<DesignCurve> DesignCurves(const DesignSection& section,
                                      const DesignMaterials& materials) {
  std::vector<DesignCurve> curves = CodeCurves(section, materials);
  for (DesignCurve& curve : curves) curve.Code = materials.Code;
  return curves;
}

std::vector<DesignCurve> DesignCurvesOf(const AnalysisState& state) {
  // The codes' rectangular stress block is worked out for a rectangle.
  if (state.Design.Code.empty() || state.Circular) return {};
  const DesignMaterials materials = ResolveDesignMaterials(state.Design);
  return DesignCurves(DesignSectionOf(state), materials);
}

Lines DesignCurveTable(const std::vector<DesignCurve>& curves, char separator) {
  const auto cell = [](const std::optional<double>& value) {
    return value ? RoundTripText(*value) : std::string();
  };
  const std::string s(1, separator);
  Lines lines{"curve" + s + "point" + s + "neutral_axis_depth_mm" + s + "axial_force_kN" + s +
              "moment_kNm" + s + "phi"};
  for (const DesignCurve& curve : curves)
    for (const DesignPoint& point : curve.Points)
      lines.push_back(curve.Name + s + point.Key + s + cell(point.Depth) + s +
                      RoundTripText(point.AxialForce) + s + RoundTripText(point.Moment) + s +
                      cell(point.Phi));
  return lines;
}

}  // namespace marrowick
