#include "model/steel02.h"

#include <cfloat>
#include <cmath>

namespace marrowick::engine {

Steel02::Steel02(int tag, const Parameters& parameters)
    : UniaxialMaterial(tag),
      p_(parameters),
      hardeningModulus_(parameters.b * parameters.e0),
      yieldStrain_(parameters.fy / parameters.e0) {
  committed_.tangent = p_.e0;
  committed_.maxStrain = yieldStrain_;
  committed_.minStrain = -yieldStrain_;
  trial_ = committed_;
  tangent_ = p_.e0;
}

void Steel02::setTrialStrain(double trialStrain) {
  const double fy = p_.fy;
  const double e0 = p_.e0;
  const double esh = hardeningModulus_;
  const double epsy = yieldStrain_;
  const double strain = p_.sigInit != 0.0 ? trialStrain + p_.sigInit / e0 : trialStrain;
  const double step = strain - committed_.strain;

  trial_ = committed_;
  trial_.strain = strain;
  History& h = trial_;

  if (h.branch == 0 || h.branch == 3) {
    if (std::fabs(step) < 10.0 * DBL_EPSILON) {
      h.tangent = e0;
      h.stress = p_.sigInit;
      h.branch = 3;
      stress_ = h.stress;
      tangent_ = h.tangent;
      return;
    }
    // First real move: the first branch aims at the yield point on its side.
    h.maxStrain = epsy;
    h.minStrain = -epsy;
    if (step < 0.0) {
      h.branch = 2;
      h.asymptoteStrain = h.minStrain;
      h.asymptoteStress = -fy;
      h.plasticStrain = h.minStrain;
    } else {
      h.branch = 1;
      h.asymptoteStrain = h.maxStrain;
      h.asymptoteStress = fy;
      h.plasticStrain = h.maxStrain;
    }
  }

  if (h.branch == 2 && step > 0.0) {
    // Reversal towards tension from the last committed point.
    h.branch = 1;
    h.reversalStrain = committed_.strain;
    h.reversalStress = committed_.stress;
    if (committed_.strain < h.minStrain) h.minStrain = committed_.strain;
    const double excursion = (h.maxStrain - h.minStrain) / (2.0 * (p_.a4 * epsy));
    const double shift = 1.0 + p_.a3 * std::pow(excursion, 0.8);
    h.asymptoteStrain =
        (fy * shift - esh * epsy * shift - h.reversalStress + e0 * h.reversalStrain) / (e0 - esh);
    h.asymptoteStress = fy * shift + esh * (h.asymptoteStrain - epsy * shift);
    h.plasticStrain = h.maxStrain;
  } else if (h.branch == 1 && step < 0.0) {
    // Reversal towards compression.
    h.branch = 2;
    h.reversalStrain = committed_.strain;
    h.reversalStress = committed_.stress;
    if (committed_.strain > h.maxStrain) h.maxStrain = committed_.strain;
    const double excursion = (h.maxStrain - h.minStrain) / (2.0 * (p_.a2 * epsy));
    const double shift = 1.0 + p_.a1 * std::pow(excursion, 0.8);
    h.asymptoteStrain =
        (-fy * shift + esh * epsy * shift - h.reversalStress + e0 * h.reversalStrain) / (e0 - esh);
    h.asymptoteStress = -fy * shift + esh * (h.asymptoteStrain + epsy * shift);
    h.plasticStrain = h.minStrain;
  }

  const double xi = std::fabs((h.plasticStrain - h.asymptoteStrain) / epsy);
  const double r = p_.r0 * (1.0 - (p_.cr1 * xi) / (p_.cr2 + xi));
  const double ratio = (strain - h.reversalStrain) / (h.asymptoteStrain - h.reversalStrain);
  const double q1 = 1.0 + std::pow(std::fabs(ratio), r);
  const double q2 = std::pow(q1, 1.0 / r);
  const double b = p_.b;
  const double rise = h.asymptoteStress - h.reversalStress;
  h.stress = (b * ratio + (1.0 - b) * ratio / q2) * rise + h.reversalStress;
  h.tangent = (b + (1.0 - b) / (q1 * q2)) * rise / (h.asymptoteStrain - h.reversalStrain);
  stress_ = h.stress;
  tangent_ = h.tangent;
}

void Steel02::revertToLastCommit() {
  trial_ = committed_;
  stress_ = trial_.stress;
  tangent_ = trial_.tangent;
}

std::unique_ptr<UniaxialMaterial> Steel02::copy() const {
  return std::unique_ptr<UniaxialMaterial>(new Steel02(*this));
}

}  // namespace marrowick::engine
