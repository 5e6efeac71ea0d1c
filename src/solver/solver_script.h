#pragma once

#include <optional>
#include <span>
#include <string>

#include "core/extended_arithmetic.h"
#include "core/text_file.h"
#include "section/analysis_state.h"
#include "section/moment_direction.h"

namespace marrowick {

// What a solver script takes from the captured section: the seven material
// parameters, the curvature limit and the fibers.
struct ScriptSection {
  double ConcreteStrength = 0;
  double ConcretePeakStrain = 0;
  double ConcreteResidualStrength = 0;
  double ConcreteUltimateStrain = 0;
  double SteelYieldStrength = 0;
  double SteelModulus = 0;
  double SteelHardeningRatio = 0;
  double CurvatureLimit = 0;       // 1/mm
  std::span<const TFiber> Fibers;  // fibers 1 to FiberCount, slot 0 left out
  // The core's concrete, for a section with hoops.
  std::optional<ConfinedConcrete> Confinement;
  // A circular section's patches and bars, written in place of the fibers.
  std::optional<CircularModel> Circle;
};

// The equal curvature steps of a moment-curvature run up to the limit: a run
// that records fewer stopped at a step without convergence.
inline constexpr int kCurvatureSteps = 100;

// The section as the last "输入数据" captured it. The fibers are a view into
// the state's table, valid while the state is unchanged.
ScriptSection ScriptSectionOf(const AnalysisState& state);

// The OpenSees script of one section analysis: the materials and fibers, the
// axial load (kN, carried unrounded into the script in N), then the
// moment-curvature phase up to the curvature limit, recording into
// recorder_file; the script's last command makes the solver delete
// script_file. Reals are always written with a point, whatever the regional
// settings, because the solver reads Tcl numbers. A confined section's core
// is Concrete04, and with a deformation_file the section's axial strain and
// curvature are recorded there step by step beside the recorder_file.
//
// Bent at an angle (θ ≠ 0) the script is a model in space: the moment pattern
// holds the reference moments of the direction, DisplacementControl drives
// the larger component's rotation with the step of the plane script times
// |cos θ| or |sin θ|, signed like that component, and the recorder writes the
// load factor (the resultant moment in kN·m, to the script's rounding), then
// κz and κy. θ = 0 writes the plane script. The deformation_file is recorded
// by the plane script only.
Lines BuildSolverScript(const ScriptSection& section, Extended axial_load_kN,
                        const std::string& recorder_file, const std::string& script_file,
                        const MomentDirection& direction = {},
                        const std::string& deformation_file = {});

// The script's fiber lines, one per fiber: most of a script's text, and the
// same in every script of a section (formatting them is most of the cost of
// writing a sweep). A caller writing many levels makes them once and hands
// them to this second form.
Lines ScriptFiberLines(std::span<const TFiber> fibers);
// The section body's lines of a section: its fibers, or a circle's `patch
// circ` and `layer circ` lines, whose numbers are written in their shortest
// round-trip form so that the solver cuts exactly the model's fibers.
Lines ScriptGeometryLines(const ScriptSection& section);
Lines BuildSolverScript(const ScriptSection& section, const Lines& fiber_lines,
                        Extended axial_load_kN, const std::string& recorder_file,
                        const std::string& script_file, const MomentDirection& direction = {},
                        const std::string& deformation_file = {});

}  // namespace marrowick
