#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/text_file.h"
#include "section/analysis_state.h"

namespace marrowick {

// The design code whose interaction curve is drawn beside the analysis.
enum class DesignCode { GB50010, ACI318 };

// A code's strengths and the constants of its stress block, resolved from
// the inputs (MPa). For GB 50010 Concrete is fc and the steel values are the
// design strengths fy and f'y; for ACI 318 Concrete is f'c and both steel
// values are the specified fy.
struct DesignMaterials {
  DesignCode Code = DesignCode::GB50010;
  double Concrete = 0;
  double SteelTension = 0;
  double SteelCompression = 0;
  double SteelModulus = 0;
  double BlockStress = 0;     // the block's stress factor: α1 (GB 50010), 0.85 (ACI 318)
  double BlockDepth = 0;      // β1
  double UltimateStrain = 0;  // εcu
};

// The code's strengths: a grade's values from the code's tables, overridden
// by strengths given directly. Fails naming what is missing (a concrete or
// steel strength neither given nor gradable, an unknown grade).
DesignMaterials ResolveDesignMaterials(const DesignInputs& inputs);

// One bar as the design sees it: its depth from the compression face (the +y
// face, the one positive curvature compresses) and its area.
struct DesignBar {
  double Depth = 0;  // mm
  double Area = 0;   // mm²
};

struct DesignSection {
  double Width = 0;   // B, mm
  double Height = 0;  // H, mm, in the plane of bending
  std::vector<DesignBar> Bars;
};

// The bars of the fiber model at their positions, each with the area of its
// diameter taken with π itself (the model's fiber areas take 3.14).
DesignSection DesignSectionOf(const AnalysisState& state);

// One point of a design curve: kN with compression positive and kN·m.
// Depth is absent for the cap, pure tension and Po, which no neutral axis
// gives; Phi is ACI 318's strength reduction factor, absent for GB 50010.
struct DesignPoint {
  std::optional<double> Depth;
  double AxialForce = 0;
  double Moment = 0;
  std::optional<double> Phi;
  std::string Key;  // empty, or balanced, pure_bending, cap, pure_tension, po,
                    // fs_zero, fs_half_fy, tension_controlled
};

// A curve in order from pure tension to the cap, and then, for ACI 318, Po
// (which lies above the cap and is not part of the line). Name is "design"
// (GB 50010's curve, or ACI 318's φPn, φMn) or "nominal" (ACI 318's Pn, Mn).
struct DesignCurve {
  DesignCode Code = DesignCode::GB50010;
  std::string Name;
  std::vector<DesignPoint> Points;
};

// The section forces at neutral-axis depth `depth` (mm), by the code's block
// and bar rules: GB 50010's design values, or ACI 318's nominal Pn, Mn with
// the φ of that depth.
DesignPoint DesignForcesAt(const DesignSection& section, const DesignMaterials& materials,
                           double depth);

// The code's curves of the section: GB 50010's one, ACI 318's design curve
// and then its nominal curve. At least 60 points each.
std::vector<DesignCurve> DesignCurves(const DesignSection& section,
                                      const DesignMaterials& materials);

// The design curves of the captured section, none when no code is chosen.
std::vector<DesignCurve> DesignCurvesOf(const AnalysisState& state);

// curve, point, neutral_axis_depth_mm, axial_force_kN, moment_kNm, phi: one
// row per point, empty cells for what a point does not have.
Lines DesignCurveTable(const std::vector<DesignCurve>& curves, char separator = ',');

}  // namespace marrowick
