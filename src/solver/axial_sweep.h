#pragma once

#include <cstdint>
#include <string>

#include "core/text_file.h"
#include "section/analysis_state.h"
#include "solver/solver_process.h"
#include "solver/solver_script.h"

namespace marrowick {

// One script to hand to a solver, with the file it is saved as and the
// recorder file it writes.
struct LevelScript {
  std::string script_file;    // "P3.tcl"
  std::string recorder_file;  // "P3_mom_cur.out"
  Lines lines;
};

// The scripts of a sweep, from the tension capacity (level 1) to the
// compression capacity in axial_levels equal steps, made one level at a time
// so that a caller can write and start each before the next is made. The
// window and the batch both take their sweeps from here.
class AxialSweepScripts {
 public:
  // A count beyond kMaxAxialLevels fails before any level is made. The level
  // count wraps like a 32-bit integer: a huge count gives a negative number
  // of levels and so no level at all.
  AxialSweepScripts(const ScriptSection& section, int32_t axial_levels, double tension_capacity,
                    double compression_capacity, const MomentDirection& direction = {});

  int32_t LevelCount() const { return level_count_; }

  // Level 1 to LevelCount(). With axial_levels 0 every load is 0/0, which
  // fails as such.
  LevelScript Level(int32_t level) const;

 private:
  const ScriptSection& section_;
  Lines fiber_lines_;
  int32_t axial_levels_;
  double tension_capacity_;
  double compression_capacity_;
  MomentDirection direction_;
  int32_t level_count_;
};

// "OpenSEES PM分析": each level's script saved and its solver started in
// turn, each started solver handed to `started`; stops at the first level
// that fails, with the earlier levels' solvers running.
void RunAxialSweep(const AnalysisState& state, const SolverStarted& started = LetSolverRun);

}  // namespace marrowick
