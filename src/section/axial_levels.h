#pragma once

#include <cstdint>

#include "core/extended_arithmetic.h"

namespace marrowick {

// Every level starts its own solver process at once: beyond this many
// segments a typo would start thousands of solvers and bring the machine
// down, so such a count is refused before anything is written or started.
inline constexpr int32_t kMaxAxialLevels = 1000;

// The axial levels of the sweep, level 1 at the full tension capacity and
// level axial_levels + 1 at the full compression capacity, in equal steps.
//
// The sweep and the chart compute a level in two orders of operations, and
// both are kept as they are: the loads in the scripts already written and the
// forces in every "m-n.out" already saved must stay reproducible to the last
// bit. The sweep multiplies the capacity difference by the level's step count
// and divides last; the chart divides the difference into a step first.

// Level's load in the sweep's script: kN, compression negative, unrounded.
// axial_levels 0 is 0/0 or a division by zero and fails as such.
Extended SweepLevelLoad(Extended tension, Extended compression, int32_t axial_levels,
                        int64_t level);

// Level's axial force on the chart and in "m-n.out": kN, compression
// positive, stored as a double.
double ChartLevelForce(double tension, double compression, int32_t axial_levels, int32_t level);

}  // namespace marrowick
