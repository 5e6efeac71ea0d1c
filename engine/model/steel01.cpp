#include "model/steel01.h"

#include <cfloat>
#include <cmath>

namespace marrowick::engine {

Steel01::Steel01(int tag, const Parameters& parameters) : UniaxialMaterial(tag), p_(parameters) {
  committed_.tangent = p_.e0;
  trial_ = committed_;
  tangent_ = p_.e0;
}

void Steel01::setTrialStrain(double strain) {
  trial_ = committed_;
  const double step = strain - committed_.strain;
  // A strain within rounding of the committed one keeps the committed state,
  // history included.
  if (std::fabs(step) > DBL_EPSILON) {
    trial_.strain = strain;
    const double hardening = p_.b * p_.e0;
    const double bandHalf = p_.fy * (1.0 - p_.b);
    const double onHardening = hardening * strain;
    const double elastic = committed_.stress + p_.e0 * step;
    const double upper = onHardening + trial_.shiftUp * bandHalf;
    const double lower = onHardening - trial_.shiftDown * bandHalf;
    double stress = upper < elastic ? upper : elastic;
    if (lower > stress) stress = lower;
    trial_.stress = stress;
    trial_.tangent = std::fabs(stress - elastic) < DBL_EPSILON ? p_.e0 : hardening;
    followReversal(step);
  }
  stress_ = trial_.stress;
  tangent_ = trial_.tangent;
}

// The band's new width takes effect from the next step on: the stress of this
// step was found with the committed one.
void Steel01::followReversal(double step) {
  const double yieldStrain = p_.fy / p_.e0;
  if (trial_.loading == 0 && step != 0.0) trial_.loading = step > 0.0 ? 1 : -1;
  if (trial_.loading == 1 && step < 0.0) {
    trial_.loading = -1;
    if (committed_.strain > trial_.maxStrain) trial_.maxStrain = committed_.strain;
    trial_.shiftDown =
        1.0 +
        p_.a1 * std::pow((trial_.maxStrain - trial_.minStrain) / (2.0 * p_.a2 * yieldStrain), 0.8);
  }
  if (trial_.loading == -1 && step > 0.0) {
    trial_.loading = 1;
    if (committed_.strain < trial_.minStrain) trial_.minStrain = committed_.strain;
    trial_.shiftUp =
        1.0 +
        p_.a3 * std::pow((trial_.maxStrain - trial_.minStrain) / (2.0 * p_.a4 * yieldStrain), 0.8);
  }
}

void Steel01::revertToLastCommit() {
  trial_ = committed_;
  stress_ = trial_.stress;
  tangent_ = trial_.tangent;
}

std::unique_ptr<UniaxialMaterial> Steel01::copy() const {
  return std::unique_ptr<UniaxialMaterial>(new Steel01(*this));
}

}  // namespace marrowick::engine
