#pragma once

#include <cstdint>
#include <filesystem>

#include "core/text_file.h"
#include "section/analysis_state.h"
#include "section/moment_direction.h"

namespace marrowick {

// The Mx–My contour's runs (kContourRuns, ContourAngle): each run's peak resultant moment as its
// two components: slots 1 to Count.
struct MxMyContour {
  int32_t Count = 0;
  double AxialForce = 0;  // kN as 施加轴力 holds it, compression negative
  RealTable Angles;       // degrees
  RealTable MomentsZ;     // kN·m, about the section's x axis (the solver's Mz)
  RealTable MomentsY;     // kN·m, about its y axis
};

// Reads every run's file in `folder`: the step with the largest resultant
// moment (its first occurrence) gives the point; a run that found no
// equilibrium at all (an empty file) gives the origin.
MxMyContour ReadMxMyContour(double axial_force_kN, const std::filesystem::path& folder = {});

// angle_deg,axial_force_kN,mz_kNm,my_kNm: one row per run, numbers in their
// shortest round-trip form.
Lines MxMyTable(const MxMyContour& contour, char separator = ',');

}  // namespace marrowick
