#pragma once

#include <cstdint>

namespace marrowick {

// The file in which a confined section's moment-curvature run records the
// section's axial strain and curvature step by step.
inline constexpr char kDeformationFile[] = "mom_cur_deformation.out";

// Hoops and crossties of a rectangular column (mm, MPa): what the engineer
// gives to have the core modelled as confined concrete.
struct HoopReinforcement {
  double Diameter = 0;              // dh, hoops and crossties alike
  double Spacing = 0;               // s, centre to centre along the column
  double YieldStrength = 0;         // fyh
  int32_t LegsX = 2;                // legs running in x, across the width B
  int32_t LegsY = 2;                // legs running in y, across the height H
  double StrainAtMaxStress = 0.12;  // εsu of the hoop steel
  // Around a circular core: a continuous spiral rather than separate
  // circular hoops (the legs then play no part).
  bool Spiral = false;
};

// A circular section's outline and bars: `bars` equal bars on the circle of
// radius D/2 − cover (cover to the bar centres).
struct CircularBars {
  double Diameter = 0;  // D
  double Cover = 0;
  int32_t Bars = 0;
  double BarDiameter = 0;
};

// The section's outline and longitudinal bars as the fiber model lays them
// out: bars_x side bars between the corner bars of each face parallel to x,
// bars_y on each face parallel to y, all equally spaced, cover to the bar
// centres.
struct BarLayout {
  double Width = 0;   // B
  double Height = 0;  // H
  double Cover = 0;
  double CornerBarDiameter = 0;
  int32_t BarsX = 0;
  double BarDiameterX = 0;
  int32_t BarsY = 0;
  double BarDiameterY = 0;
};

// The confined core and its concrete (mm, MPa; compression as positive
// magnitudes).
struct ConfinedConcrete {
  double HoopOffset = 0;  // c: each face to the hoop centreline
  double CoreWidth = 0;   // bc = B − 2c
  double CoreHeight = 0;  // dc = H − 2c
  double RhoCc = 0;       // longitudinal steel over the core area
  double Ke = 0;          // confinement effectiveness
  double RhoX = 0;        // hoop steel ratios of the legs in x and in y
  double RhoY = 0;
  double FlX = 0;  // effective lateral pressures f′lx, f′ly
  double FlY = 0;
  double Fcc = 0;  // confined strength f′cc
  double Ecc = 0;  // strain at f′cc
  double Ecu = 0;  // crushing strain of the core
  double Ec = 0;   // initial modulus
  // A circular core: its diameter ds is CoreWidth and CoreHeight, and the
  // hoops' volumetric ratio ρs is split evenly over RhoX and RhoY (so that
  // f′l is FlX and FlY, and ρx + ρy is ρs in εcu).
  bool Circular = false;
};

// Mander, Priestley and Park (1988), "Theoretical stress-strain model for
// confined concrete", J. Struct. Eng. 114(8): the five-parameter
// (William–Warnke) failure surface of Elwi and Murray that the paper fits
// to triaxial tests, solved for the confined strength under lateral
// pressures fl1 and fl2 (either order) on concrete of strength fco.
double ManderConfinedStrength(double fco, double fl1, double fl2);

// The paper's closed form for equal pressures fl, eq. (29).
double ManderEqualPressureStrength(double fco, double fl);

// Mander et al., eq. (5) for rectangular hoops: the effectively confined
// share of the core, from Σw′² (the squared clear spacings of restrained
// bars around the perimeter), the clear hoop spacing s′, the core
// dimensions to the hoop centreline and ρcc.
double RectangularConfinementEffectiveness(double sum_w2, double clear_spacing, double bc,
                                           double dc, double rho_cc);

// Priestley, Seible and Calvi (1996), "Seismic Design and Retrofit of
// Bridges", eq. (5.14): the strain at which the first hoop fractures, taken
// as the crushing strain of the core.
double PriestleyUltimateStrain(double rho_x, double rho_y, double fyh, double esu, double fcc);

// Mander et al., eqs. (15) and (17) for a circular core of diameter ds (to
// the hoop centreline) with ρcc: the effectively confined share under a
// spiral, whose one clear pitch s′ arches once, or under separate circular
// hoops, where the arching takes the square.
double SpiralConfinementEffectiveness(double clear_spacing, double ds, double rho_cc);
double CircularHoopConfinementEffectiveness(double clear_spacing, double ds, double rho_cc);

// Mander et al., eq. (18): the volumetric ratio ρs of hoops or a spiral of
// bar area Asp at pitch s around a core of diameter ds, 4·Asp/(ds·s).
double CircularHoopRatio(double hoop_diameter, double spacing, double ds);

// The core of a circular section with these bars and a spiral or circular
// hoops, with concrete of strength fco reached at strain eco: the hoop
// centreline wraps the bars (Rc = D/2 − cover + db/2 + dh/2); f′l = ½·ke·ρs·fyh
// is the same all round, so f′cc is the paper's closed form (eq. 29). Fails
// as invalid input, naming the input, when the hoops would lie on or outside
// the outline or a spiral's pitch is not larger than its bar.
ConfinedConcrete ConfineCircularSection(const CircularBars& bars, const HoopReinforcement& hoops,
                                        double fco, double eco);

// The core of a rectangular section with these bars and hoops, with concrete
// of strength fco reached at strain eco. Fails as invalid input when the
// hoop centreline would lie on or outside the section's faces.
ConfinedConcrete ConfineRectangularSection(const BarLayout& bars, const HoopReinforcement& hoops,
                                           double fco, double eco);

}  // namespace marrowick
