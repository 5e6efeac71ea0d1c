#include "model/elastic_pp.h"

#include <cfloat>
#include <cmath>

namespace marrowick::engine {

ElasticPP::ElasticPP(int tag, double modulus, double tensionYieldStrain,
                     double compressionYieldStrain, double initialStrain)
    : UniaxialMaterial(tag),
      modulus_(modulus),
      yieldUp_(modulus * std::fabs(tensionYieldStrain)),
      yieldDown_(modulus * -std::fabs(compressionYieldStrain)),
      initialStrain_(initialStrain),
      committedTangent_(modulus) {
  tangent_ = modulus;
}

void ElasticPP::setTrialStrain(double strain) {
  strain_ = strain;
  const double elastic = elasticStress();
  // Within rounding of the yield stress counts as yielding.
  if (excess(elastic) <= -modulus_ * DBL_EPSILON) {
    stress_ = elastic;
    tangent_ = modulus_;
  } else {
    stress_ = elastic > 0.0 ? yieldUp_ : yieldDown_;
    tangent_ = 0.0;
  }
}

void ElasticPP::commitState() {
  const double elastic = elasticStress();
  const double beyond = excess(elastic);
  if (beyond > -modulus_ * DBL_EPSILON) {
    plasticStrain_ += elastic > 0.0 ? beyond / modulus_ : -beyond / modulus_;
  }
  committedStrain_ = strain_;
  committedStress_ = stress_;
  committedTangent_ = tangent_;
}

void ElasticPP::revertToLastCommit() {
  strain_ = committedStrain_;
  stress_ = committedStress_;
  tangent_ = committedTangent_;
}

std::unique_ptr<UniaxialMaterial> ElasticPP::copy() const {
  return std::unique_ptr<UniaxialMaterial>(new ElasticPP(*this));
}

}  // namespace marrowick::engine
