#pragma once

#include "model/material.h"

namespace marrowick::engine {

// Elastic-perfectly plastic: slope E between the yield strains, flat beyond
// them; the plastic strain it leaves shifts the elastic range and is only
// taken on when a step is committed.
class ElasticPP final : public UniaxialMaterial {
 public:
  // The yield strains are taken by their size: tension positive, compression
  // negative. eps0 is an initial strain (the stress is E·(ε − eps0)).
  ElasticPP(int tag, double modulus, double tensionYieldStrain, double compressionYieldStrain,
            double initialStrain = 0.0);

  std::string_view typeName() const override { return "ElasticPP"; }
  void setTrialStrain(double strain) override;
  void setTrial(double strain, double& stress, double& tangent) override {
    ElasticPP::setTrialStrain(strain);
    stress = stress_;
    tangent = tangent_;
  }
  void commitState() override;
  void revertToLastCommit() override;
  std::unique_ptr<UniaxialMaterial> copy() const override;

 private:
  // The elastic stress from the trial strain, and how far it lies beyond the
  // yield stress on its side (≤ 0 inside).
  double elasticStress() const { return modulus_ * (strain_ - initialStrain_ - plasticStrain_); }
  double excess(double elastic) const {
    return elastic >= 0.0 ? elastic - yieldUp_ : -elastic + yieldDown_;
  }

  double modulus_;
  double yieldUp_;    // E·εy+
  double yieldDown_;  // E·εy−
  double initialStrain_;
  double plasticStrain_ = 0.0;
  double strain_ = 0.0;
  double committedStrain_ = 0.0;
  double committedStress_ = 0.0;
  double committedTangent_;
};

}  // namespace marrowick::engine
