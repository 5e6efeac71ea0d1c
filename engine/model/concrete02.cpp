#include "model/concrete02.h"

#include <cfloat>
#include <cmath>

namespace marrowick::engine {

Concrete02::Parameters Concrete02::withDefaultTension(double fpc, double epsc0, double fpcu,
                                                      double epscu) {
  Parameters p;
  p.fpc = fpc;
  p.epsc0 = epsc0;
  p.fpcu = fpcu;
  p.epscu = epscu;
  p.lambda = 0.1;
  p.ft = std::fabs(0.1 * fpc);
  p.ets = 0.1 * fpc / epsc0;
  return p;
}

Concrete02::Concrete02(int tag, const Parameters& parameters)
    : UniaxialMaterial(tag), p_(parameters), ec0_(2.0 * parameters.fpc / parameters.epsc0) {
  committed_.tangent = ec0_;
  trial_ = committed_;
  tangent_ = ec0_;
}

void Concrete02::compressionEnvelope(double strain, double& stress, double& tangent) const {
  const double eta = strain / p_.epsc0;
  if (strain >= p_.epsc0) {
    stress = p_.fpc * eta * (2.0 - eta);
    tangent = ec0_ * (1.0 - eta);
  } else if (strain > p_.epscu) {
    stress = (p_.fpcu - p_.fpc) * (strain - p_.epsc0) / (p_.epscu - p_.epsc0) + p_.fpc;
    tangent = (p_.fpcu - p_.fpc) / (p_.epscu - p_.epsc0);
  } else {
    // A tiny tangent rather than none keeps a fully crushed section solvable.
    stress = p_.fpcu;
    tangent = 1.0e-10;
  }
}

void Concrete02::tensionEnvelope(double strain, double& stress, double& tangent) const {
  const double crackStrain = p_.ft / ec0_;
  const double openStrain = p_.ft * (1.0 / p_.ets + 1.0 / ec0_);
  if (strain <= crackStrain) {
    stress = strain * ec0_;
    tangent = ec0_;
  } else if (strain <= openStrain) {
    tangent = -p_.ets;
    stress = p_.ft - p_.ets * (strain - crackStrain);
  } else {
    tangent = 1.0e-10;
    stress = 0.0;
  }
}

void Concrete02::setTrialStrain(double strain) {
  trial_.minStrain = committed_.minStrain;
  trial_.crackOpening = committed_.crackOpening;
  trial_.strain = strain;
  const double step = strain - committed_.strain;
  // Back at the committed strain (within rounding) the stress and tangent of
  // the previous trial stand, as in OpenSees.
  if (!(std::fabs(step) < DBL_EPSILON)) trialState(strain, step);
  stress_ = trial_.stress;
  tangent_ = trial_.tangent;
}

void Concrete02::trialState(double strain, double step) {
  double& stress = trial_.stress;
  double& tangent = trial_.tangent;
  double& minStrain = trial_.minStrain;
  double& crackOpening = trial_.crackOpening;
  if (strain < minStrain) {
    compressionEnvelope(strain, stress, tangent);
    minStrain = strain;
    return;
  }
  // Unloading and reloading lines aim at the point R of the elastic line
  // fixed by lambda; their zero-stress strain is where tension may start.
  const double rStrain = (p_.fpcu - p_.lambda * ec0_ * p_.epscu) / (ec0_ * (1.0 - p_.lambda));
  const double rStress = ec0_ * rStrain;
  double minStress = 0.0;
  double ignored = 0.0;
  compressionEnvelope(minStrain, minStress, ignored);
  const double reload = (minStress - rStress) / (minStrain - rStrain);
  const double zeroStressStrain = minStrain - minStress / reload;

  if (strain <= zeroStressStrain) {
    const double lowest = minStress + reload * (strain - minStrain);
    const double highest = reload * 0.5 * (strain - zeroStressStrain);
    stress = committed_.stress + ec0_ * step;
    tangent = ec0_;
    if (stress <= lowest) {
      stress = lowest;
      tangent = reload;
    }
    if (stress >= highest) {
      stress = highest;
      tangent = 0.5 * reload;
    }
  } else if (strain <= zeroStressStrain + crackOpening) {
    // Reloading in tension towards the strength left at the widest opening.
    double remaining = 0.0;
    tensionEnvelope(crackOpening, remaining, tangent);
    tangent = crackOpening != 0.0 ? remaining / crackOpening : ec0_;
    stress = tangent * (strain - zeroStressStrain);
  } else {
    tensionEnvelope(strain - zeroStressStrain, stress, tangent);
    crackOpening = strain - zeroStressStrain;
  }
}

void Concrete02::revertToLastCommit() {
  trial_ = committed_;
  stress_ = trial_.stress;
  tangent_ = trial_.tangent;
}

std::unique_ptr<UniaxialMaterial> Concrete02::copy() const {
  return std::unique_ptr<UniaxialMaterial>(new Concrete02(*this));
}

}  // namespace marrowick::engine
