#include "solver/solver_script.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <unordered_map>
#include <variant>

#include "core/decimal_symbol.h"
#include "core/number_text.h"

namespace marrowick {

namespace {

std::string Format(const std::string& pattern, std::initializer_list<TemplateValue> values) {
  return FormatTemplate(pattern, values, kFileDecimal);
}

// A circular section's script writes every real in its shortest round-trip
// form, so that the solver's fibers and materials are exactly the model's;
// a rectangle's keeps its four digits.
std::string FormatScript(bool shortest, const std::string& pattern,
                         std::initializer_list<TemplateValue> values) {
  if (!shortest) return Format(pattern, values);
  std::string text;
  const TemplateValue* next = values.begin();
  for (std::size_t at = 0; at < pattern.size();) {
    if (pattern.compare(at, 5, "%0.4E") == 0) {
      text += RoundTripText(StoreDouble(std::get<Extended>(*next++)));
      at += 5;
    } else if (pattern.compare(at, 2, "%D") == 0) {
      text += std::to_string(std::get<int32_t>(*next++));
      at += 2;
    } else {
      text += pattern[at++];
    }
  }
  return text;
}

}  // namespace

ScriptSection ScriptSectionOf(const AnalysisState& state) {
  ScriptSection section;
  section.ConcreteStrength = state.ConcreteStrength;
  section.ConcretePeakStrain = state.ConcretePeakStrain;
  section.ConcreteResidualStrength = state.ConcreteResidualStrength;
  section.ConcreteUltimateStrain = state.ConcreteUltimateStrain;
  section.SteelYieldStrength = state.SteelYieldStrength;
  section.SteelModulus = state.SteelModulus;
  section.SteelHardeningRatio = state.SteelHardeningRatio;
  section.CurvatureLimit = state.CurvatureLimit;
  section.Confinement = state.Confinement;
  section.Circle = state.Circle;
  // The table never holds fewer slots than the count; the bound keeps a
  // script from reading past it all the same.
  const int64_t count =
      std::min<int64_t>(state.FiberCount, static_cast<int64_t>(state.Fibers.size()) - 1);
  if (count > 0)
    section.Fibers =
        std::span<const TFiber>(state.Fibers).subspan(1, static_cast<std::size_t>(count));
  return section;
}

Lines ScriptFiberLines(std::span<const TFiber> fibers) {
  // A grid of fibers has few distinct coordinates and areas (a column of the
  // grid shares its Y, a row its X), and a number's text costs far more than
  // a look-up: each is formatted once, by its bits, and the line is the
  // pattern "fiber\t%0.4E\t%0.4E\t%0.4E\t%D" put together from them.
  std::unordered_map<std::uint64_t, std::string> texts;
  const auto text = [&](double value) -> const std::string& {
    const auto [known, added] = texts.try_emplace(std::bit_cast<std::uint64_t>(value));
    if (added) known->second = FormatExponent(Extended{value}, 4, kFileDecimal);
    return known->second;
  };
  Lines lines;
  lines.reserve(fibers.size());
  // In a plane model the solver's lever arm is the first coordinate, so Y
  // (the bending direction) goes first.
  for (const TFiber& fiber : fibers) {
    std::string& line = lines.emplace_back("fiber\t");
    line += text(fiber.Y);
    line += '\t';
    line += text(fiber.X);
    line += '\t';
    line += text(fiber.Area);
    line += '\t';
    line += std::to_string(fiber.MatTag);
  }
  return lines;
}

Lines ScriptGeometryLines(const ScriptSection& section) {
  if (!section.Circle) return ScriptFiberLines(section.Fibers);
  const CircularModel& circle = *section.Circle;
  Lines lines;
  // The solver takes the sector count before the ring count.
  for (const RingPatch& patch : circle.Patches)
    lines.push_back("patch\tcirc\t" + std::to_string(patch.Material) + "\t" +
                    std::to_string(patch.Sectors) + "\t" + std::to_string(patch.Rings) +
                    "\t0\t0\t" + RoundTripText(patch.InnerRadius) + "\t" +
                    RoundTripText(patch.OuterRadius) + "\t0\t360");
  // Without angles the solver puts the first bar on +y and none on 360°.
  lines.push_back("layer\tcirc\t2\t" + std::to_string(circle.Bars) + "\t" +
                  RoundTripText(circle.BarArea) + "\t0\t0\t" + RoundTripText(circle.BarRadius));
  return lines;
}

Lines BuildSolverScript(const ScriptSection& section, Extended axial_load_kN,
                        const std::string& recorder_file, const std::string& script_file,
                        const MomentDirection& direction, const std::string& deformation_file) {
  return BuildSolverScript(section, ScriptGeometryLines(section), axial_load_kN, recorder_file,
                           script_file, direction, deformation_file);
}

Lines BuildSolverScript(const ScriptSection& section, const Lines& fiber_lines,
                        Extended axial_load_kN, const std::string& recorder_file,
                        const std::string& script_file, const MomentDirection& direction,
                        const std::string& deformation_file) {
  Lines lines;
  const bool plane = direction.Uniaxial();
  const auto Format = [shortest = section.Circle.has_value()](
                          const std::string& pattern, std::initializer_list<TemplateValue> values) {
    return FormatScript(shortest, pattern, values);
  };

  lines.push_back("wipe");
  if (plane) {
    lines.push_back("model basic -ndm 2 -ndf 3;");
    lines.push_back("node 1 0.0 0.0  ");
    lines.push_back("node 2 0.0 0.0  ");
    lines.push_back("fix 1 1 1 1  ");
    lines.push_back("fix 2 0 1 0  ");
  } else {
    // Node 2 keeps the axial displacement and the two bending rotations; the
    // twist is held, so the torsional stiffness only has to exist.
    lines.push_back("model basic -ndm 3 -ndf 6;");
    lines.push_back("node 1 0.0 0.0 0.0  ");
    lines.push_back("node 2 0.0 0.0 0.0  ");
    lines.push_back("fix 1 1 1 1 1 1 1  ");
    lines.push_back("fix 2 0 1 1 1 0 0  ");
  }
  // Concrete01 takes compression as negative; engineers enter strengths and
  // strains as positive magnitudes.
  lines.push_back(Format(
      "uniaxialMaterial Concrete01 1 %0.4E %0.4E %0.4E %0.4E",
      {-Extended{section.ConcreteStrength}, -Extended{section.ConcretePeakStrain},
       -Extended{section.ConcreteResidualStrength}, -Extended{section.ConcreteUltimateStrain}}));
  lines.push_back(Format("uniaxialMaterial Steel02 2 %0.4E %0.4E %0.4E",
                         {Extended{section.SteelYieldStrength}, Extended{section.SteelModulus},
                          Extended{section.SteelHardeningRatio}}));
  if (const auto& core = section.Confinement)
    // Concrete04 is Popovics' curve, which Mander's model uses; it carries
    // nothing past the crushing strain.
    lines.push_back(Format(
        "uniaxialMaterial Concrete04 3 %0.4E %0.4E %0.4E %0.4E",
        {-Extended{core->Fcc}, -Extended{core->Ecc}, -Extended{core->Ecu}, Extended{core->Ec}}));
  lines.push_back(plane ? "section\tFiber\t1001\t{" : "section\tFiber\t1001\t-GJ\t1e12\t{");
  lines.insert(lines.end(), fiber_lines.begin(), fiber_lines.end());
  lines.push_back("}");
  lines.push_back("element zeroLengthSection  1   1   2  1001");
  lines.push_back("pattern Plain 1 Constant {");
  // kN to N, kept at extended precision up to the text.
  lines.push_back(Format(plane ? "load 2 %0.4E 0.0 0.0" : "load 2 %0.4E 0.0 0.0 0.0 0.0 0.0",
                         {axial_load_kN * 1000}));
  lines.push_back("}");
  lines.push_back("integrator LoadControl 0.1");
  lines.push_back("system SparseGeneral -piv;");
  lines.push_back("test EnergyIncr 1e-10 200");
  lines.push_back("numberer Plain");
  lines.push_back("constraints Plain");
  lines.push_back("algorithm Newton");
  lines.push_back("analysis Static");
  lines.push_back("analyze 10");
  // Without this the moment pattern starts at pseudo-time 1: the solver then
  // measures convergence against twice the reference moment and the recorded
  // load factor lags the moment the section actually carries. Restarting
  // time at 0 makes the recorded load factor the moment in kN·m.
  lines.push_back("loadConst -time 0.0");
  if (plane) {
    lines.push_back("recorder Node -file " + recorder_file + " -time -node 2 -dof 3 disp");
    if (section.Confinement && !deformation_file.empty())
      lines.push_back("recorder Element -file " + deformation_file +
                      " -time -ele 1 section deformation");
    lines.push_back("pattern Plain 2 Linear {");
    lines.push_back("load 2 0.0 0.0 1e6");
    lines.push_back("}");
    // Equal rotation steps up to the curvature limit.
    lines.push_back(Format("integrator DisplacementControl 2 3 %0.4E",
                           {Extended{section.CurvatureLimit} / kCurvatureSteps}));
  } else {
    lines.push_back("recorder Node -file " + recorder_file + " -time -node 2 -dof 6 5 disp");
    lines.push_back("pattern Plain 2 Linear {");
    lines.push_back(Format("load 2 0.0 0.0 0.0 0.0 %0.4E %0.4E",
                           {Extended{direction.reference_my}, Extended{direction.reference_mz}}));
    lines.push_back("}");
    // The driven rotation takes the share of the plane step that its
    // component has of the moment, so that the curvature in the moment's
    // direction still reaches about the limit in as many steps.
    const double share = direction.drives_z ? direction.cosine : direction.sine;
    lines.push_back(Format(direction.drives_z ? "integrator DisplacementControl 2 6 %0.4E"
                                              : "integrator DisplacementControl 2 5 %0.4E",
                           {Extended{section.CurvatureLimit} / kCurvatureSteps * Extended{share}}));
  }
  lines.push_back("analyze " + std::to_string(kCurvatureSteps) + " ");
  lines.push_back("file delete " + script_file);
  return lines;
}

}  // namespace marrowick
