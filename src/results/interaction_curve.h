#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/text_file.h"
#include "results/result_file.h"
#include "section/analysis_state.h"

namespace marrowick {

// The N-M interaction curve of a sweep: one point per axial level, level 1
// at full tension.
struct InteractionCurve {
  int32_t Levels = 0;     // AxialLevels + 1
  RealTable AxialForces;  // kN, compression positive; slots 1 to Levels
  RealTable PeakMoments;  // kN·m, the largest moment each level reached
};

// Where the curve is built as the levels are read: both tables are sized
// before the first level and filled level by level, so a level that fails
// leaves the earlier levels stored.
struct InteractionCurveTables {
  RealTable& PeakMoments;
  RealTable& AxialForces;
};

// Reads the peak moment of every level's "P%D_mom_cur.out" in `folder` (the
// files of the sweep with these parameters; an empty folder is the current
// directory) and pairs it with the level's axial force. A count below 1 or
// above kMaxAxialLevels is refused before anything is read (a negative table
// size as a range check); a count of 0 reads level 1, then fails at its
// force. Bent at an angle, each level's peak is that of its resultant moment.
InteractionCurve ReadInteractionCurve(int32_t axial_levels, double tension_capacity,
                                      double compression_capacity,
                                      const InteractionCurveTables& tables,
                                      const std::filesystem::path& folder = {},
                                      const MomentDirection& direction = {});
// The same for a caller that keeps no tables of its own.
InteractionCurve ReadInteractionCurve(int32_t axial_levels, double tension_capacity,
                                      double compression_capacity,
                                      const std::filesystem::path& folder = {},
                                      const MomentDirection& direction = {});

// How many steps each level's "P%D_mom_cur.out" in `folder` recorded, level 1
// first: a level stops at its first step without convergence, and one with
// none found no equilibrium at all. Fails as the curve's reading does.
std::vector<int32_t> LevelStepCounts(int32_t axial_levels,
                                     const std::filesystem::path& folder = {});

// The lines of "m-n.out": a title line, then each level's peak moment and
// force in "%0.4E" form, joined by a comma, always with a point.
Lines InteractionCurveLines(const InteractionCurve& curve);

}  // namespace marrowick
