// Patches and layers against fiber positions and areas worked out by hand.

#include "model/section_geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace marrowick::engine {
namespace {

struct Case {
  const char* name;
  std::vector<FiberPlace> fibers;
  std::vector<FiberPlace> expected;  // in this order
};

TEST(SectionGeometry, FibersSitWhereOpenSeesPutsThem) {
  const double pi = std::acos(-1.0);
  const double arm = 4.0 / (3.0 * pi);  // centroid of a quarter disc of radius 1
  const Case cases[] = {
      // 4 × 2 cut into 2 × 2: the y cells first, then the next row in z.
      {"rect 2x2",
       rectPatch(2, 2, {-2, -1}, {2, 1}),
       {{-1, -0.5, 2}, {1, -0.5, 2}, {-1, 0.5, 2}, {1, 0.5, 2}}},
      // A trapezoid (bottom 4, top 2, height 2) cut in two along IJ: each half
      // is a 1 × 2 rectangle and a right triangle of legs 1 and 2.
      {"quad 2x1",
       quadPatch(2, 1, {{{0, 0}, {4, 0}, {3, 2}, {1, 2}}}),
       {{11.0 / 9, 8.0 / 9, 3}, {25.0 / 9, 8.0 / 9, 3}}},
      {"circ 4x1",
       circPatch(4, 1, {0, 0}, 0, 1, 0, 360),
       {{arm, arm, pi / 4}, {-arm, arm, pi / 4}, {-arm, -arm, pi / 4}, {arm, -arm, pi / 4}}},
      // Shifted centre, ring from 1 to 2 in one cut of a half circle: area
      // 3π/2, centroid at 4·(8 − 1)/(3π·3) on the z axis.
      {"circ half ring",
       circPatch(1, 1, {1, 1}, 1, 2, 0, 180),
       {{1, 1 + 28.0 / (9 * pi), 1.5 * pi}}},
      {"straight",
       straightLayer(3, 0.6, {10.5, 6}, {10.5, -6}),
       {{10.5, 6, 0.6}, {10.5, 0, 0.6}, {10.5, -6, 0.6}}},
      {"straight one bar", straightLayer(1, 0.6, {0, 6}, {2, -6}), {{1, 0, 0.6}}},
      {"circ layer of 4",
       circLayer(4, 0.5, {0, 0}, 1, std::nullopt),
       {{1, 0, 0.5}, {0, 1, 0.5}, {-1, 0, 0.5}, {0, -1, 0.5}}},
      {"circ layer 0..360",
       circLayer(4, 0.5, {0, 0}, 1, Arc{0, 360}),
       {{1, 0, 0.5}, {0, 1, 0.5}, {-1, 0, 0.5}, {0, -1, 0.5}}},
      {"circ layer arc",
       circLayer(3, 0.5, {0, 2}, 2, Arc{0, 90}),
       {{2, 2, 0.5}, {std::sqrt(2.0), 2 + std::sqrt(2.0), 0.5}, {0, 4, 0.5}}},
      {"no divisions", rectPatch(0, 2, {0, 0}, {1, 1}), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(c.fibers.size(), c.expected.size());
    for (std::size_t k = 0; k < c.fibers.size(); ++k) {
      SCOPED_TRACE(k);
      EXPECT_NEAR(c.fibers[k].y, c.expected[k].y, 1e-12);
      EXPECT_NEAR(c.fibers[k].z, c.expected[k].z, 1e-12);
      EXPECT_NEAR(c.fibers[k].area, c.expected[k].area, 1e-12);
    }
  }
}

}  // namespace
}  // namespace marrowick::engine
