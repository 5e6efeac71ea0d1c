#include "model/concrete01.h"

#include <cfloat>
#include <cmath>

namespace marrowick::engine {

namespace {
double asCompression(double value) {
  return value > 0.0 ? -value : value;
}
}  // namespace

Concrete01::Concrete01(int tag, double fpc, double epsc0, double fpcu, double epscu)
    : UniaxialMaterial(tag),
      fpc_(asCompression(fpc)),
      epsc0_(asCompression(epsc0)),
      fpcu_(asCompression(fpcu)),
      epscu_(asCompression(epscu)),
      ec0_(2.0 * fpc_ / epsc0_) {
  committed_.tangent = ec0_;
  committed_.unloadSlope = ec0_;
  trial_ = committed_;
  stress_ = 0.0;
  tangent_ = ec0_;
}

void Concrete01::envelope(double strain) {
  if (strain > epsc0_) {
    const double eta = strain / epsc0_;
    trial_.stress = fpc_ * (2.0 * eta - eta * eta);
    trial_.tangent = ec0_ * (1.0 - eta);
  } else if (strain > epscu_) {
    trial_.tangent = (fpc_ - fpcu_) / (epsc0_ - epscu_);
    trial_.stress = fpc_ + trial_.tangent * (strain - epsc0_);
  } else {
    trial_.stress = fpcu_;
    trial_.tangent = 0.0;
  }
}

void Concrete01::updateUnloadingRule() {
  // Karsan–Jirsa: the plastic strain left after unloading grows with the
  // largest compression, counted no further than the crushing strain.
  const double reached = trial_.minStrain < epscu_ ? epscu_ : trial_.minStrain;
  const double eta = reached / epsc0_;
  double ratio = 0.707 * (eta - 2.0) + 0.834;
  if (eta < 2.0) ratio = 0.145 * eta * eta + 0.13 * eta;
  trial_.endStrain = ratio * epsc0_;

  const double toEnd = trial_.minStrain - trial_.endStrain;
  const double elasticReturn = trial_.stress / ec0_;
  if (toEnd > -DBL_EPSILON) {
    trial_.unloadSlope = ec0_;
  } else if (toEnd <= elasticReturn) {
    trial_.endStrain = trial_.minStrain - toEnd;
    trial_.unloadSlope = trial_.stress / toEnd;
  } else {
    trial_.endStrain = trial_.minStrain - elasticReturn;
    trial_.unloadSlope = ec0_;
  }
}

void Concrete01::commitState() {
  committed_ = trial_;
}

void Concrete01::revertToLastCommit() {
  trial_ = committed_;
  stress_ = trial_.stress;
  tangent_ = trial_.tangent;
}

std::unique_ptr<UniaxialMaterial> Concrete01::copy() const {
  return std::unique_ptr<UniaxialMaterial>(new Concrete01(*this));
}

}  // namespace marrowick::engine
