#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "section/analysis_state.h"
#include "section/moment_direction.h"

namespace marrowick {

using RecorderFields = std::array<std::string, 11>;

// Cuts one recorder line into fields[1] to fields[10] at its first ten spaces,
// each field trimmed of blanks and control characters; slot 0 is not touched.
// A field is the text before a space, so the text after the tenth space is
// ignored. A line with fewer than ten spaces also ends its last field at its
// own end: OpenSees writes no space after a line's last value, and that value
// (the curvature of "mom_cur.out") must still be read.
void SplitFields(RecorderFields& fields, const std::string& line);

// "mom_cur.out": one entry per recorded step, slot i from line i.
//
// A run bent at an angle records the load factor, κz and κy: Moments then
// hold the resultant moment and Curvatures the curvature in the moment's
// direction (BiaxialStepOf), and the components are kept beside them.
struct MomentCurvatureSeries {
  int32_t Count = 0;
  RealTable Moments;     // kN·m, the first value of each line
  RealTable Curvatures;  // 1/mm, the second value
  bool Biaxial = false;
  RealTable MomentsZ{}, MomentsY{};        // kN·m, slots 1 to Count, when Biaxial
  RealTable CurvaturesZ{}, CurvaturesY{};  // 1/mm
};

// One sweep level's "P%D_mom_cur.out": the first value (the moment, kN·m) of
// each line.
struct LevelMoments {
  int32_t Count = 0;
  RealTable Moments;
};

// Where a read stores its line count and series as it goes: a line that
// fails to convert leaves the count set, the series sized and the values of
// the earlier lines (and the failing line's first value, when its second
// fails) stored.
struct RecorderSeries {
  int32_t& Count;
  RealTable& First;
  RealTable* Second = nullptr;
};

// Reads a recorder file: the first value of every line into First[1..n] and,
// when Second is given, the second value into Second[1..n]. Values are always
// read with a point, as the solver writes them. A file that cannot be opened
// changes nothing. The count is set and both series are sized to n + 1 slots
// before any value is converted. Returns n.
int32_t ReadResultFile(const std::string& file_name, const RecorderSeries& series);

// "mom_cur.out" read into the series given (moments first, curvatures
// second, which must be given), and returned as they stand.
// Bent at an angle, the series hold the resultant and the curvature in the
// moment's direction.
MomentCurvatureSeries ReadMomentCurvatureSeries(const std::string& file_name,
                                                const RecorderSeries& series,
                                                const MomentDirection& direction = {});
// The same for a caller that keeps no series of its own.
MomentCurvatureSeries ReadMomentCurvatureSeries(const std::string& file_name,
                                                const MomentDirection& direction = {});

// A level's file, its moments kept only in the returned value (bent at an
// angle, the resultant moments).
LevelMoments ReadLevelMoments(const std::string& file_name, const MomentDirection& direction = {});

// A confined section's deformation file (time, axial strain, curvature per
// step): the compressive strain at the edge of a core of that height at each
// step, slot i from line i.
RealTable ReadCoreEdgeStrains(const std::string& file_name, double core_height);

}  // namespace marrowick
