#include "section/confinement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "core/failure.h"
#include "section/input_fields.h"

namespace marrowick {

namespace {

constexpr double kPi = std::numbers::pi;

double BarArea(double diameter) {
  return kPi * diameter * diameter / 4;
}

// Σw′² of one face's bar row: the corner bars and `count` equally spaced
// bars of `diameter` between them, the clear gap being the centre spacing
// less the mean diameter of the two bars either side.
double SquaredClearGaps(double length, double corner, int32_t count, double diameter) {
  const double spacing = length / (count + 1.0);
  if (count <= 0) return (spacing - corner) * (spacing - corner);
  const double end = spacing - (corner + diameter) / 2;
  const double inner = spacing - diameter;
  return 2 * end * end + (count - 1.0) * inner * inner;
}

// τ̄ = τoct / f′co on the five-parameter surface at the mean stress σ̄ =
// σoct / f′co and the Lode angle's cosine (Mander et al., eqs. 21–26).
double SurfaceShear(double mean, double cos_theta) {
  const double T = 0.069232 - 0.661091 * mean - 0.049350 * mean * mean;
  const double C = 0.122965 - 1.150502 * mean - 0.315545 * mean * mean;
  const double D = 4 * (C * C - T * T) * cos_theta * cos_theta;
  const double twice_t_less_c = 2 * T - C;
  return C * (D / (2 * cos_theta) + twice_t_less_c * std::sqrt(D + 5 * T * T - 4 * T * C)) /
         (D + twice_t_less_c * twice_t_less_c);
}

// How far the state (−fl1, −fl2, −fcc) lies outside the surface: positive
// outside, negative inside.
double OutsideSurface(double fco, double fl1, double fl2, double fcc) {
  const double s1 = -fl1;
  const double s2 = -fl2;
  const double s3 = -fcc;
  const double oct = (s1 + s2 + s3) / 3;
  const double tau =
      std::sqrt((s1 - s2) * (s1 - s2) + (s2 - s3) * (s2 - s3) + (s3 - s1) * (s3 - s1)) / 3;
  const double cos_theta = (s1 - oct) / (std::sqrt(2.0) * tau);
  return tau / fco - SurfaceShear(oct / fco, cos_theta);
}

std::string Mm(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.4g", value);
  return text;
}

}  // namespace

double ManderConfinedStrength(double fco, double fl1, double fl2) {
  // σ1 is the least compressive principal stress: the smaller pressure.
  const double small = std::min(fl1, fl2);
  const double large = std::max(fl1, fl2);
  double low = fco;
  double high = 4 * fco;
  if (OutsideSurface(fco, small, large, low) >= 0) return low;
  // Each halving gains a bit; the bound stops a bracket of subnormal numbers
  // that can no longer be halved.
  for (int step = 0; step < 200 && high - low > 1e-12 * high; ++step) {
    const double middle = (low + high) / 2;
    if (OutsideSurface(fco, small, large, middle) < 0)
      low = middle;
    else
      high = middle;
  }
  return (low + high) / 2;
}

double ManderEqualPressureStrength(double fco, double fl) {
  return fco * (-1.254 + 2.254 * std::sqrt(1 + 7.94 * fl / fco) - 2 * fl / fco);
}

double RectangularConfinementEffectiveness(double sum_w2, double clear_spacing, double bc,
                                           double dc, double rho_cc) {
  return (1 - sum_w2 / (6 * bc * dc)) * (1 - clear_spacing / (2 * bc)) *
         (1 - clear_spacing / (2 * dc)) / (1 - rho_cc);
}

double PriestleyUltimateStrain(double rho_x, double rho_y, double fyh, double esu, double fcc) {
  return 0.004 + 1.4 * (rho_x + rho_y) * fyh * esu / fcc;
}

double SpiralConfinementEffectiveness(double clear_spacing, double ds, double rho_cc) {
  return (1 - clear_spacing / (2 * ds)) / (1 - rho_cc);
}

double CircularHoopConfinementEffectiveness(double clear_spacing, double ds, double rho_cc) {
  const double arching = 1 - clear_spacing / (2 * ds);
  return arching * arching / (1 - rho_cc);
}

double CircularHoopRatio(double hoop_diameter, double spacing, double ds) {
  return 4 * BarArea(hoop_diameter) / (ds * spacing);
}

ConfinedConcrete ConfineCircularSection(const CircularBars& bars, const HoopReinforcement& hoops,
                                        double fco, double eco) {
  const auto require = [](bool met, const std::string& what) {
    if (!met) FailInvalidInput("A confined core needs " + what);
  };
  require(fco > 0 && eco > 0, "a positive concrete strength and strain at that strength");
  require(hoops.Diameter > 0 && hoops.YieldStrength > 0 && hoops.StrainAtMaxStress > 0,
          "hoops of a positive diameter, yield strength and strain at maximum stress");
  require(hoops.Spacing > hoops.Diameter,
          hoops.Spiral ? "a spiral pitch larger than its bar: " + NamedInput(Field::HoopSpacing) +
                             " is " + Mm(hoops.Spacing) + " mm"
                       : std::string("a hoop spacing larger than "
                                     "the hoop diameter"));

  ConfinedConcrete core;
  core.Circular = true;
  const double hoop_radius =
      bars.Diameter / 2 - bars.Cover + bars.BarDiameter / 2 + hoops.Diameter / 2;
  core.HoopOffset = bars.Diameter / 2 - hoop_radius;
  if (!(core.HoopOffset > 0))
    FailInvalidInput("The hoops' centreline (half a bar and half a hoop outside the bars) lies " +
                     Mm(core.HoopOffset) + " mm inside the outline; it must lie inside: " +
                     NamedInput(Field::BarCover) + " is too small");
  const double ds = 2 * hoop_radius;
  core.CoreWidth = ds;
  core.CoreHeight = ds;
  core.RhoCc = bars.Bars * BarArea(bars.BarDiameter) / (kPi * ds * ds / 4);
  const double clear = hoops.Spacing - hoops.Diameter;
  core.Ke = hoops.Spiral ? SpiralConfinementEffectiveness(clear, ds, core.RhoCc)
                         : CircularHoopConfinementEffectiveness(clear, ds, core.RhoCc);
  const double rho_s = CircularHoopRatio(hoops.Diameter, hoops.Spacing, ds);
  core.RhoX = rho_s / 2;
  core.RhoY = rho_s / 2;
  core.FlX = core.Ke * core.RhoX * hoops.YieldStrength;
  core.FlY = core.FlX;
  core.Fcc = ManderEqualPressureStrength(fco, core.FlX);
  core.Ecc = eco * (1 + 5 * (core.Fcc / fco - 1));
  core.Ec = 5000 * std::sqrt(fco);
  core.Ecu = PriestleyUltimateStrain(core.RhoX, core.RhoY, hoops.YieldStrength,
                                     hoops.StrainAtMaxStress, core.Fcc);
  return core;
}

ConfinedConcrete ConfineRectangularSection(const BarLayout& bars, const HoopReinforcement& hoops,
                                           double fco, double eco) {
  const auto require = [](bool met, const char* what) {
    if (!met) FailInvalidInput(std::string("A confined core needs ") + what);
  };
  require(fco > 0 && eco > 0, "a positive concrete strength and strain at that strength");
  require(hoops.Diameter > 0 && hoops.YieldStrength > 0 && hoops.StrainAtMaxStress > 0,
          "hoops of a positive diameter, yield strength and strain at maximum stress");
  require(hoops.Spacing > hoops.Diameter, "a hoop spacing larger than the hoop diameter");
  require(hoops.LegsX >= 1 && hoops.LegsY >= 1, "at least one hoop leg each way");

  ConfinedConcrete core;
  // Hoops wrap the corner bars, so their centreline lies half a corner bar
  // and half a hoop inside the bar centres.
  core.HoopOffset = bars.Cover - bars.CornerBarDiameter / 2 - hoops.Diameter / 2;
  if (!(core.HoopOffset > 0))
    FailInvalidInput(
        "The hoops' centreline (cover less half the corner bar and half the hoop) lies " +
        Mm(core.HoopOffset) + " mm from the section's faces; it must lie inside the section");
  const double bc = bars.Width - 2 * core.HoopOffset;
  const double dc = bars.Height - 2 * core.HoopOffset;
  require(bc > 0 && dc > 0, "hoops that enclose a core of positive width and height");
  core.CoreWidth = bc;
  core.CoreHeight = dc;

  const double steel = 4 * BarArea(bars.CornerBarDiameter) +
                       2.0 * bars.BarsX * BarArea(bars.BarDiameterX) +
                       2.0 * bars.BarsY * BarArea(bars.BarDiameterY);
  core.RhoCc = steel / (bc * dc);

  // Every bar counts as restrained by a hoop corner or a crosstie.
  const double sum_w2 = 2 * SquaredClearGaps(bars.Width - 2 * bars.Cover, bars.CornerBarDiameter,
                                             bars.BarsX, bars.BarDiameterX) +
                        2 * SquaredClearGaps(bars.Height - 2 * bars.Cover, bars.CornerBarDiameter,
                                             bars.BarsY, bars.BarDiameterY);
  core.Ke = RectangularConfinementEffectiveness(sum_w2, hoops.Spacing - hoops.Diameter, bc, dc,
                                                core.RhoCc);

  // Legs running in x cross a section cut along x, of length dc·s.
  const double leg = BarArea(hoops.Diameter);
  core.RhoX = hoops.LegsX * leg / (hoops.Spacing * dc);
  core.RhoY = hoops.LegsY * leg / (hoops.Spacing * bc);
  core.FlX = core.Ke * core.RhoX * hoops.YieldStrength;
  core.FlY = core.Ke * core.RhoY * hoops.YieldStrength;

  core.Fcc = ManderConfinedStrength(fco, core.FlX, core.FlY);
  core.Ecc = eco * (1 + 5 * (core.Fcc / fco - 1));
  core.Ec = 5000 * std::sqrt(fco);
  core.Ecu = PriestleyUltimateStrain(core.RhoX, core.RhoY, hoops.YieldStrength,
                                     hoops.StrainAtMaxStress, core.Fcc);
  return core;
}

}  // namespace marrowick
