// Mander's confined core against figures worked by hand.
#include "section/confinement.h"

#include <gtest/gtest.h>

#include "core/failure.h"
#include "support/expect_failure.h"

namespace marrowick {
namespace {

// Worked by hand (mm, MPa, π exact; bars equally spaced between the corner
// bars, every gap w′ = centre spacing − mean diameter of its two bars):
//
// A  500×500, cover 40, corner Φ20, 2+2 bars Φ20, hoops Φ10@100, fyh 300,
//    2×2 legs, f′co 30, εco 0.002, εsu 0.12
//    c = 40 − 10 − 5 = 25; bc = dc = 450; As = π/4·12·20² = 3769.91;
//    ρcc = 3769.91/202500 = 0.0186168; face row 420/3 = 140 apart, each gap
//    140 − 20 = 120, Σw′² = 12·120² = 172800; s′ = 90;
//    ke = (1 − 172800/1215000)(1 − 90/900)² / (1 − 0.0186168)
//       = 0.857778·0.81/0.981383 = 0.707980;
//    ρx = ρy = 2·78.5398/(100·450) = 0.00349066; f′l = 0.741395 each way;
//    closed form: 30(−1.254 + 2.254√(1 + 7.94·0.0247132) − 2·0.0247132) = 34.8545;
//    surface: at f′cc 34.8552, σoct = −12.1127, τoct = 16.0814, cosθ = 0.5,
//    σ̄ = −0.403756, T = 0.328106, C = 0.536047, D = 0.179693,
//    τ̄ = 0.536047 = τoct/f′co; εcc = 0.002(1 + 5·0.161840) = 0.00361840;
//    Ec = 5000√30 = 27386.13; εcu = 0.004 + 1.4·0.00698132·300·0.12/34.8552 = 0.0140949
// B  the same bars in 500×600, cover 35, f′co 35 (unequal pressures):
//    c = 20; bc 460, dc 560; ρcc = 3769.91/257600 = 0.0146347;
//    gaps 430/3 − 20 = 123.333 (x), 530/3 − 20 = 156.667 (y);
//    Σw′² = 6·123.333² + 6·156.667² = 238533.3;
//    ke = 0.845669·(1 − 90/920)(1 − 90/1120)/0.985365 = 0.712054;
//    ρx = 157.080/56000 = 0.00280499, ρy = 157.080/46000 = 0.00341477;
//    f′lx = 0.599192, f′ly = 0.729451; surface: f′cc 39.3909 (σoct −13.5732,
//    τoct 18.2560, cosθ 0.502521, τ̄ = τoct/f′co = 0.521599);
//    εcc = 0.00325455; Ec = 29580.40; εcu = 0.0119581
// C  B with crossties, 4×4 legs: ρx, ρy and the pressures double
//    (f′lx 1.19838, f′ly 1.45890); f′cc 43.4008 (τ̄ 0.566666);
//    εcc = 0.00440024; εcu = 0.004 + 1.4·0.0124395·300·0.12/43.4008 = 0.0184456
// D  600×400, cover 50, corner Φ25, 3 bars Φ20 in x, 1 bar Φ16 in y, hoops
//    Φ12@80, fyh 400, 4 legs in x and 3 in y, f′co 40, εco 0.0022, εsu 0.09:
//    c = 50 − 12.5 − 6 = 31.5; bc 537, dc 337; As = π/4(4·625 + 6·400 + 2·256)
//    = 4250.57; ρcc 0.0234879; x row 500/4 = 125: gaps 102.5, 105, 105, 102.5;
//    y row 300/2 = 150: gaps 129.5, 129.5; Σw′² = 2(2·102.5² + 2·105²)
//    + 2(2·129.5²) = 153206; s′ = 68;
//    ke = 0.858902·0.936685·0.899110/0.976512 = 0.740751;
//    ρx = 4·113.097/(80·337) = 0.0167800, ρy = 3·113.097/(80·537) = 0.00789786;
//    f′lx 4.97193, f′ly 2.34014; f′cc 59.1538 (τ̄ 0.654599);
//    εcc = 0.0074673; Ec = 31622.78; εcu = 0.0250259
TEST(Confinement, RectangularCoresWorkedByHand) {
  const struct {
    BarLayout bars;
    HoopReinforcement hoops;
    double fco, eco;
    ConfinedConcrete expected;
  } cases[] = {
      {{500, 500, 40, 20, 2, 20, 2, 20},
       {10, 100, 300, 2, 2, 0.12},
       30,
       0.002,
       {25, 450, 450, 0.0186168, 0.707980, 0.00349066, 0.00349066, 0.741395, 0.741395, 34.8552,
        0.00361840, 0.0140949, 27386.13}},
      {{500, 600, 35, 20, 2, 20, 2, 20},
       {10, 100, 300, 2, 2, 0.12},
       35,
       0.002,
       {20, 460, 560, 0.0146347, 0.712054, 0.00280499, 0.00341477, 0.599192, 0.729451, 39.3909,
        0.00325455, 0.0119581, 29580.40}},
      {{500, 600, 35, 20, 2, 20, 2, 20},
       {10, 100, 300, 4, 4, 0.12},
       35,
       0.002,
       {20, 460, 560, 0.0146347, 0.712054, 0.00560999, 0.00682955, 1.19838, 1.45890, 43.4008,
        0.00440024, 0.0184456, 29580.40}},
      {{600, 400, 50, 25, 3, 20, 1, 16},
       {12, 80, 400, 4, 3, 0.09},
       40,
       0.0022,
       {31.5, 537, 337, 0.0234879, 0.740751, 0.0167800, 0.00789786, 4.97193, 2.34014, 59.1538,
        0.0074673, 0.0250259, 31622.78}},
  };
  for (const auto& c : cases) {
    const ConfinedConcrete got = ConfineRectangularSection(c.bars, c.hoops, c.fco, c.eco);
    const ConfinedConcrete& want = c.expected;
    const auto near = [](double got, double want) { EXPECT_NEAR(got, want, 6e-6 * want) << want; };
    near(got.HoopOffset, want.HoopOffset);
    near(got.CoreWidth, want.CoreWidth);
    near(got.CoreHeight, want.CoreHeight);
    near(got.RhoCc, want.RhoCc);
    near(got.Ke, want.Ke);
    near(got.RhoX, want.RhoX);
    near(got.RhoY, want.RhoY);
    near(got.FlX, want.FlX);
    near(got.FlY, want.FlY);
    near(got.Fcc, want.Fcc);
    near(got.Ecc, want.Ecc);
    near(got.Ecu, want.Ecu);
    near(got.Ec, want.Ec);
  }
}

// Circular cores, worked by hand (mm, MPa, π exact):
//
// S  D 600, cover 50, 12 Φ22, spiral Φ10 pitch 75, fyh 400, f′co 35, εco 0.002,
//    εsu 0.12: Rb = 300 − 50 = 250; Rc = 250 + 11 + 5 = 266, ds = 532;
//    As = 12·π·22²/4 = 4561.59; core π·532²/4 = 222286.5; ρcc = 0.0205212;
//    ρs = 4·78.5398/(532·75) = 0.00787367; s′ = 65; 1 − 65/1064 = 0.938910;
//    ke = 0.938910/0.979479 = 0.958581; f′l = ½·0.958581·0.00787367·400 = 1.50951;
//    f′l/f′co = 0.0431288, √(1 + 7.94·0.0431288) = 1.15864;
//    f′cc = 35(−1.254 + 2.254·1.15864 − 0.0862576) = 44.4960;
//    εcc = 0.002(1 + 5·0.271313) = 0.00471313; Ec = 5000√35 = 29580.40;
//    εcu = 0.004 + 1.4·0.00787367·400·0.12/44.4960 = 0.0158912
// H  D 800, cover 60, 16 Φ25, circular hoops Φ12 at 100, fyh 300, f′co 30,
//    εco 0.002, εsu 0.09: Rb = 340; Rc = 340 + 12.5 + 6 = 358.5, ds = 717;
//    As = 7853.98; core 403764.6; ρcc = 0.0194519; ρs = 4·113.097/(717·100)
//    = 0.00630947; s′ = 88; (1 − 88/1434)² = 0.938633² = 0.881032;
//    ke = 0.881032/0.980548 = 0.898510; f′l = ½·0.898510·0.00630947·300 = 0.850369;
//    √(1 + 7.94·0.0283456) = 1.10683; f′cc = 30(−1.254 + 2.494800 − 0.0566912)
//    = 35.5229; εcc = 0.00384095; Ec = 27386.13;
//    εcu = 0.004 + 1.4·0.00630947·300·0.09/35.5229 = 0.0107139
TEST(Confinement, CircularCoresWorkedByHand) {
  const struct {
    CircularBars bars;
    HoopReinforcement hoops;
    double fco;
    double ds, rho_cc, ke, rho_s, fl, fcc, ecc, ecu, ec;
  } cases[] = {
      {{600, 50, 12, 22},
       {10, 75, 400, 2, 2, 0.12, true},
       35,
       532,
       0.0205212,
       0.958581,
       0.00787367,
       1.50951,
       44.4960,
       0.00471313,
       0.0158912,
       29580.40},
      {{800, 60, 16, 25},
       {12, 100, 300, 2, 2, 0.09, false},
       30,
       717,
       0.0194519,
       0.898510,
       0.00630947,
       0.850369,
       35.5229,
       0.00384095,
       0.0107139,
       27386.13},
  };
  for (const auto& c : cases) {
    const ConfinedConcrete got = ConfineCircularSection(c.bars, c.hoops, c.fco, 0.002);
    const auto near = [](double got, double want) { EXPECT_NEAR(got, want, 6e-6 * want) << want; };
    EXPECT_TRUE(got.Circular);
    near(got.CoreWidth, c.ds);
    near(got.CoreHeight, c.ds);
    near(got.RhoCc, c.rho_cc);
    near(got.Ke, c.ke);
    near(got.RhoX + got.RhoY, c.rho_s);
    near(got.FlX, c.fl);
    near(got.FlY, c.fl);
    near(got.Fcc, c.fcc);
    near(got.Ecc, c.ecc);
    near(got.Ecu, c.ecu);
    near(got.Ec, c.ec);
  }
}

TEST(Confinement, SurfaceAgreesWithTheEqualPressureFormula) {
  for (const double fl : {0.0, 0.5, 1.0, 3.0, 6.0, 9.0}) {
    const double closed = ManderEqualPressureStrength(30, fl);
    EXPECT_NEAR(ManderConfinedStrength(30, fl, fl), closed, 1e-4 * closed) << fl;
  }
  // The order of the two pressures does not matter.
  EXPECT_EQ(ManderConfinedStrength(35, 0.6, 1.4), ManderConfinedStrength(35, 1.4, 0.6));
}

TEST(Confinement, HoopsOutsideTheSectionAreRefused) {
  // Cover 20 less half a Φ25 corner bar and half a Φ16 hoop leaves −0.5 mm.
  testing::ExpectFailure(
      FailureKind::InvalidInput,
      "The hoops' centreline (cover less half the corner bar and half the hoop) lies -0.5 mm "
      "from the section's faces; it must lie inside the section",
      [] {
        ConfineRectangularSection({500, 500, 20, 25, 2, 20, 2, 20}, {16, 100, 300, 2, 2, 0.12}, 30,
                                  0.002);
      });
}

}  // namespace
}  // namespace marrowick
