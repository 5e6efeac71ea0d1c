#include "section/moment_direction.h"

#include <cmath>
#include <numbers>

#include "core/decimal_symbol.h"
#include "core/number_text.h"

namespace marrowick {

namespace {

// A value as "%0.4E" writes it into a script, read back.
double AsWritten(double value) {
  return ParseReal(FormatTemplate("%0.4E", {Extended{value}}, kFileDecimal), kFileDecimal);
}

}  // namespace

MomentDirection MomentDirectionOf(double theta_degrees) {
  MomentDirection d;
  double reduced = std::fmod(theta_degrees, 360.0);
  if (reduced < 0) reduced += 360.0;
  // A tiny negative angle reduces to 360 itself; -0 to +0.
  if (reduced >= 360.0 || reduced == 0) reduced = 0;
  d.degrees = reduced;
  // The quadrant turns exactly, so that 90°, 180° and 270° bend about one
  // axis only; the remainder r = θ − 90·q is exact (Sterbenz).
  const double quadrant = std::floor(reduced / 90.0);
  const double rest = reduced - 90.0 * quadrant;
  const double c = std::cos(rest * std::numbers::pi / 180.0);
  const double s = std::sin(rest * std::numbers::pi / 180.0);
  switch (static_cast<int>(quadrant)) {
    case 0:
      d.cosine = c, d.sine = s;
      break;
    case 1:
      d.cosine = -s, d.sine = c;
      break;
    case 2:
      d.cosine = -c, d.sine = -s;
      break;
    default:
      d.cosine = s, d.sine = -c;
      break;
  }
  // No negative zero reaches a script.
  d.cosine += 0.0;
  d.sine += 0.0;
  d.reference_mz = AsWritten(1e6 * d.cosine);
  d.reference_my = AsWritten(1e6 * d.sine);
  d.drives_z = reduced <= 45 || (reduced >= 135 && reduced <= 225) || reduced >= 315;
  return d;
}

BiaxialStep BiaxialStepOf(const MomentDirection& direction, double load_factor, double curvature_z,
                          double curvature_y) {
  BiaxialStep step;
  // The pattern's moments scale with the load factor (N·mm to kN·m).
  step.mz_kNm = load_factor * direction.reference_mz / 1e6;
  step.my_kNm = load_factor * direction.reference_my / 1e6;
  step.moment_kNm = std::hypot(step.mz_kNm, step.my_kNm);
  // The curvature vector projected on the moment's direction.
  step.curvature = curvature_z * direction.cosine + curvature_y * direction.sine;
  step.curvature_z = curvature_z;
  step.curvature_y = curvature_y;
  return step;
}

}  // namespace marrowick
