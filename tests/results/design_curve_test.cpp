#include "results/design_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <span>
#include <string>
#include <utility>

#include "section/fiber_model.h"

namespace marrowick {
namespace {

// A 300 × 500 column, 3 Φ20 at each face, 40 mm to the bar centres: one bar
// on each X face and the corner bars, so that the two layers lie at depths
// d' = 40 and d = 460 (h0 = 460) from the compression face. Each layer has
// A = 3 π 20² / 4 = 300 π = 942.4778 mm²; the lever arms from the centre
// are ±210 mm. Every figure below is worked from the clauses by hand:
// Nc = block force, σ tension positive, N = Nc − Σ σ A,
// M = Nc (250 − x/2) − 210 A (σtop − σbottom).
AnalysisState Column() {
  AnalysisState state;
  state.SectionWidth = 300;
  state.SectionHeight = 500;
  state.BarCover = 40;
  state.BarCountX = 1;
  state.BarDiameterX = 20;
  state.CornerBarDiameter = 20;
  state.MeshSize = 50;
  BuildFiberModel(state);
  return state;
}

struct Expected {
  const char* curve;  // "design" or "nominal"
  const char* key;    // a key point of the curve, or empty
  bool on_curve;      // a point of the curve; else the forces at `depth`
  std::optional<double> depth;
  double force, moment;
  std::optional<double> phi;
};

// GB 50010-2010, C30 / HRB400: fc 14.3, α1 1, β1 0.8, εcu 0.0033,
// fy = f'y = 360, Es εcu = 660. Block force Nc = 14.3 · 300 · 0.8 xn = 3432 xn.
const Expected kGb[] = {
    // xn 100: x 80, Nc 343 200. σtop = 660 (40/100 − 1) = −396 → −360,
    // σbottom → 360. N = 343.2; M = 343 200 · 210 + 210 A · 720
    // = 72.072e6 + 142.5026e6.
    {"design", "", false, 100, 343.2, 214.574643, {}},
    // xn 400: x 320, Nc 1 372 800. σtop → −360, σbottom = 660 · 0.15 = 99.
    // N = 1 372 800 + 261 A; M = 1 372 800 · 90 + 210 A · 459.
    {"design", "", false, 400, 1618.786705, 214.397435, {}},
    // §6.2.7: xn = 460 / (1 + 360 / 660) = 297.647; x 238.118;
    // σtop = 660 (40/297.647 − 1) = −571 → −360, σbottom 360.
    // N = 3432 · 297.647 = 1021.525; M = N (250 − 119.059) + 210 A · 720.
    {"design", "balanced", true, 297.647059, 1021.524706, 276.262290, {}},
    // N = 0 with the bottom yielding and the top elastic:
    // 3432 xn − A (26 400 / xn − 660 + 360) = 0,
    // 3432 xn² + 300 A xn − 26 400 A = 0 → xn = 53.394 (σtop = −165.6).
    // M = 3432 · 53.394 (250 − 21.358) − 210 A (−165.6 − 360).
    {"design", "pure_bending", true, 53.394402, 0, 145.918825, {}},
    // §6.2.15: Nmax = 0.9 (14.3 · 150 000 + 360 · 600 π) = 2541.2256
    // (steel 1.26 %, under 3 %). It is reached with the top yielding and
    // the bottom elastic: 3432 xn + 1020 A − 303 600 A / xn = Nmax
    // → xn = 599.430 (x 479.54 < H, σbottom = −153.5);
    // M = 3432 · 599.43 (250 − 239.77) − 210 A (−360 + 153.52).
    {"design", "", true, 599.430413, 2541.225612, 61.907915, {}},
    {"design", "cap", true, {}, 2541.225612, 0, {}},
    // Every bar at fy: −2 · 360 · 300 π.
    {"design", "pure_tension", true, {}, -678.584013, 0, {}},
};

// ACI 318-19, f'c 28, fy 420, Es 200 000: β1 0.85, εty 0.0021, Es εcu 600;
// 0.85 f'c = 23.8 is taken off a bar inside the block. Nc = 23.8 · 300 · 0.85 c.
const Expected kAci[] = {
    // c 100: a 85, the top bar inside it. σtop = 600 (40 − 100)/100 = −360
    // + 23.8 = −336.2; σbottom → 420. N = 606 900 − 83.8 A;
    // M = 606 900 · 207.5 + 210 A · 756.2. εt = 0.0108: φ 0.90.
    {"nominal", "", false, 100, 527.920361, 275.599109, 0.90},
    // c 200: a 170, σtop → −420 + 23.8 = −396.2, σbottom → 420.
    // N = 1 213 800 − 23.8 A; M = 1 213 800 · 165 + 210 A · 816.2.
    // εt = 0.003 · 260 / 200 = 0.0039: φ = 0.65 + 0.25 · 0.0018 / 0.003 = 0.80.
    {"nominal", "", false, 200, 1191.369028, 361.819579, 0.80},
    // εt = εty: c = 460 · 0.003 / 0.0051 = 270.588, a 230; the stresses of
    // c 200. N = 1 642 200 − 23.8 A; M = 1 642 200 · 135 + 210 A · 816.2.
    {"nominal", "balanced", true, 270.588235, 1619.769028, 383.239579, 0.65},
    {"design", "balanced", true, 270.588235, 0.65 * 1619.769028, 0.65 * 383.239579, 0.65},
    // N = 0, bottom yielding, top elastic inside the block:
    // 6069 c − A (24 000 / c − 600 + 23.8 + 420) = 0,
    // 6069 c² + 156.2 A c − 24 000 A = 0 → c = 50.114 (a 42.6 > 40,
    // σtop = −121.1). M = 6069 c (250 − 21.30) − 210 A (−121.1 + 23.8 − 420).
    // εt = 0.0245: φ 0.90.
    {"nominal", "pure_bending", true, 50.114222, 0, 171.941004, 0.90},
    {"design", "pure_bending", true, 50.114222, 0, 0.9 * 171.941004, 0.90},
    // Po = 23.8 (150 000 − 600 π) + 420 · 600 π = 4316.8194; 0.80 Po =
    // 3453.4555, reached with the top yielding and the bottom elastic
    // below the block: 6069 c + 996.2 A − 276 000 A / c = 0.80 Po
    // → c = 500.043 (a 425.0, σbottom = −48.05). There εt < εty, so φ 0.65
    // and φPn meets 0.65 · 0.80 Po at the same depth.
    // M = 6069 c (250 − 212.52) − 210 A (−396.2 + 48.05).
    {"nominal", "", true, 500.043166, 3453.455524, 182.654329, 0.65},
    {"nominal", "cap", true, {}, 3453.455524, 0, 0.65},
    {"design", "cap", true, {}, 0.52 * 4316.819406, 0, 0.65},
    {"nominal", "po", true, {}, 4316.819406, 0, 0.65},
    {"design", "pure_tension", true, {}, -0.9 * 2 * 420 * 300 * std::numbers::pi / 1e3, 0, 0.90},
};

const DesignPoint* Find(const std::vector<DesignCurve>& curves, const Expected& row) {
  for (const DesignCurve& curve : curves)
    if (curve.Name == row.curve)
      for (const DesignPoint& point : curve.Points)
        if (point.Key == row.key &&
            (*row.key || (point.Depth && std::abs(*point.Depth - *row.depth) < 1e-5)))
          return &point;
  return nullptr;
}

TEST(DesignCurve, KeyPointsAndPointsBetweenAsWorkedFromTheClauses) {
  const DesignSection section = DesignSectionOf(Column());
  ASSERT_EQ(section.Bars.size(), 6u);
  const DesignMaterials gb = ResolveDesignMaterials({"GB50010", "C30", "HRB400", {}, {}, {}, {}});
  const DesignMaterials aci = ResolveDesignMaterials({"ACI318", "", "", 28, 420, {}, {}});
  for (const auto& [materials, table] : {std::pair{gb, std::span<const Expected>(kGb)},
                                         std::pair{aci, std::span<const Expected>(kAci)}}) {
    const std::vector<DesignCurve> curves = DesignCurves(section, materials);
    for (const DesignCurve& curve : curves) {
      EXPECT_GE(curve.Points.size(), 62u) << curve.Name;
      EXPECT_EQ(curve.Points.front().Key, "pure_tension");
    }
    for (const Expected& row : table) {
      SCOPED_TRACE(std::string(row.curve) + " " + row.key + " " +
                   std::to_string(row.depth.value_or(0)));
      // A point between the key points is the forces at its depth; those
      // of the curves are found there too, the cap's depth by bisection.
      const DesignPoint* found = row.on_curve ? Find(curves, row) : nullptr;
      ASSERT_TRUE(found || !row.on_curve);
      const DesignPoint point = found ? *found : DesignForcesAt(section, materials, *row.depth);
      EXPECT_EQ(point.Depth.has_value(), row.depth.has_value());
      if (row.depth) {
        EXPECT_NEAR(*point.Depth, *row.depth, 1e-5);
      }
      EXPECT_NEAR(point.AxialForce, row.force, 1e-5);
      EXPECT_NEAR(point.Moment, row.moment, 1e-5);
      EXPECT_EQ(point.Phi.has_value(), row.phi.has_value());
      if (row.phi) {
        EXPECT_NEAR(*point.Phi, *row.phi, 1e-12);
      }
    }
  }
}

}  // namespace
}  // namespace marrowick
