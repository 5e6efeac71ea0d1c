#include "section/axial_levels.h"

namespace marrowick {

Extended SweepLevelLoad(Extended tension, Extended compression, int32_t axial_levels,
                        int64_t level) {
  return tension - Divide((tension - compression) * static_cast<Extended>(level - 1),
                          static_cast<Extended>(axial_levels));
}

double ChartLevelForce(double tension, double compression, int32_t axial_levels, int32_t level) {
  const Extended tension_kN = tension;
  const Extended step = Divide(tension_kN - compression, axial_levels);
  return StoreDouble(-(tension_kN - step * static_cast<Extended>(level - 1)));
}

}  // namespace marrowick
