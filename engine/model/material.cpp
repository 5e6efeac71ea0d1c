#include "model/material.h"

namespace marrowick::engine {

ElasticMaterial::ElasticMaterial(int tag, double modulus)
    : UniaxialMaterial(tag), modulus_(modulus) {
  tangent_ = modulus;
}

void ElasticMaterial::setTrialStrain(double strain) {
  strain_ = strain;
  stress_ = modulus_ * strain;
}

void ElasticMaterial::revertToLastCommit() {
  strain_ = committedStrain_;
  stress_ = modulus_ * strain_;
}

std::unique_ptr<UniaxialMaterial> ElasticMaterial::copy() const {
  return std::unique_ptr<UniaxialMaterial>(new ElasticMaterial(*this));
}

}  // namespace marrowick::engine
