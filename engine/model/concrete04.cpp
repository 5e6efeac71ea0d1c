#include "model/concrete04.h"

#include <cfloat>
#include <cmath>

namespace marrowick::engine {

namespace {

// A secant stiffer than the initial modulus has no Popovics curve; OpenSees
// then takes a very large exponent, which gives a nearly elastic–brittle law.
double popovicsExponent(const Concrete04::Parameters& p) {
  const double secant = p.fc / p.ec;
  if (secant >= p.ec0) return 400.0;
  return p.ec0 / (p.ec0 - secant);
}

}  // namespace

Concrete04::Concrete04(int tag, const Parameters& parameters)
    : UniaxialMaterial(tag), p_(parameters), popovicsN_(popovicsExponent(parameters)) {
  committed_.tangent = p_.ec0;
  committed_.unloadSlope = p_.ec0;
  committed_.tensionSlope = p_.ft != 0.0 ? p_.ec0 : 0.0;
  trial_ = committed_;
  tangent_ = p_.ec0;
}

void Concrete04::compressionEnvelope(double strain) {
  if (strain >= p_.ecu) {
    const double n = popovicsN_;
    const double eta = strain / p_.ec;
    const double etaN = std::pow(eta, n);
    const double denominator = n - 1.0 + etaN;
    trial_.stress = p_.fc * eta * n / denominator;
    trial_.tangent = p_.fc * n * (n - 1.0) * (1.0 - etaN) / (std::pow(denominator, 2.0) * p_.ec);
  } else {
    carriesNothing();  // crushed: nothing from here on, not even on reloading
  }
}

void Concrete04::updateUnloadingLine() {
  // Karsan–Jirsa: the strain left at zero stress grows with the largest
  // compression, counted no further than the crushing strain; the line is
  // never stiffer than the initial modulus.
  const double counted = trial_.minStrain < p_.ecu ? p_.ecu : trial_.minStrain;
  const double eta = counted / p_.ec;
  double ratio = 0.707 * (eta - 2.0) + 0.834;
  if (eta < 2.0) ratio = 0.145 * eta * eta + 0.13 * eta;
  trial_.endStrain = ratio * p_.ec;

  const double span = trial_.minStrain - trial_.endStrain;
  const double elasticSpan = trial_.stress / p_.ec0;
  if (span > -DBL_EPSILON) {
    trial_.unloadSlope = p_.ec0;
  } else if (span <= elasticSpan) {
    trial_.endStrain = trial_.minStrain - span;
    trial_.unloadSlope = trial_.stress / span;
  } else {
    trial_.endStrain = trial_.minStrain - elasticSpan;
    trial_.unloadSlope = p_.ec0;
  }
}

void Concrete04::tensionEnvelope(double strain) {
  const double crackStrain = p_.ft / p_.ec0;
  if (strain <= crackStrain) {
    trial_.stress = strain * p_.ec0;
    trial_.tangent = p_.ec0;
  } else if (strain > p_.et) {
    carriesNothing();
  } else {
    const double softening = p_.et - crackStrain;
    trial_.stress = p_.ft * std::pow(p_.beta, (strain - crackStrain) / softening);
    trial_.tangent = trial_.stress * std::log(p_.beta) / softening;
  }
}

void Concrete04::setTrialStrain(double strain) {
  trial_ = committed_;
  if (p_.ft == 0.0 && strain > 0.0) {
    // Without tension an open crack carries nothing; OpenSees still takes the
    // strain as the trial's, so the next step is measured from it.
    trial_.strain = strain;
    carriesNothing();
    trial_.tensionSlope = 0.0;
  } else if (!(std::fabs(strain - committed_.strain) < DBL_EPSILON)) {
    const bool towardsCompression = strain <= committed_.strain;
    trial_.strain = strain;
    if (towardsCompression) {
      if (strain > 0.0) {
        onTensionSecant(strain);  // closing a crack
      } else if (strain <= trial_.minStrain) {
        trial_.minStrain = strain;
        compressionEnvelope(strain);
        updateUnloadingLine();
      } else if (strain < trial_.endStrain) {
        onUnloadingLine(strain);
      } else {
        carriesNothing();  // the gap left by the plastic strain is still open
      }
    } else if (strain >= 0.0) {
      if (strain < trial_.maxStrain) {
        onTensionSecant(strain);
      } else {
        trial_.maxStrain = strain;
        tensionEnvelope(strain);
        trial_.tensionSlope = trial_.stress / strain;
      }
    } else if (strain <= trial_.endStrain) {
      onUnloadingLine(strain);
    } else {
      carriesNothing();
    }
  }
  stress_ = trial_.stress;
  tangent_ = trial_.tangent;
}

void Concrete04::revertToLastCommit() {
  trial_ = committed_;
  stress_ = trial_.stress;
  tangent_ = trial_.tangent;
}

std::unique_ptr<UniaxialMaterial> Concrete04::copy() const {
  return std::unique_ptr<UniaxialMaterial>(new Concrete04(*this));
}

}  // namespace marrowick::engine
