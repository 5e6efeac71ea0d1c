#include "section/axial_levels.h"

#include <gtest/gtest.h>

namespace marrowick {
namespace {

// The two orders of operations agree at both ends and, for the default
// section, at every level; elsewhere they can part in the last bit, which is
// why each use keeps its own.
TEST(AxialLevels, SweepDividesLastAndTheChartFirst) {
  for (int32_t level = 1; level <= 21; ++level)
    EXPECT_EQ(ChartLevelForce(1130.4, -11630.4, 20, level),
              -StoreDouble(SweepLevelLoad(1130.4, -11630.4, 20, level)))
        << level;
  EXPECT_EQ(ChartLevelForce(1130.4, -11630.4, 20, 1), -1130.4);
  EXPECT_EQ(ChartLevelForce(1130.4, -11630.4, 20, 21), 11630.4);

  EXPECT_EQ(StoreDouble(SweepLevelLoad(11208.3, -51284.9, 28, 15)), -20038.300000000003);
  EXPECT_EQ(ChartLevelForce(11208.3, -51284.9, 28, 15), 20038.299999999999);
}

}  // namespace
}  // namespace marrowick
