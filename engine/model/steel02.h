#pragma once

#include "model/material.h"

namespace marrowick::engine {

// Menegotto–Pinto steel with isotropic hardening (Filippou): each branch is a
// smooth curve from the last reversal point to the intersection of the elastic
// line with the hardening asymptote, its curvature R shrinking with the
// plastic excursion of the previous branch.
class Steel02 final : public UniaxialMaterial {
 public:
  struct Parameters {
    double fy = 0.0;
    double e0 = 0.0;
    double b = 0.0;
    double r0 = 15.0;
    double cr1 = 0.925;
    double cr2 = 0.15;
    double a1 = 0.0;
    double a2 = 1.0;
    double a3 = 0.0;
    double a4 = 1.0;
    double sigInit = 0.0;
  };

  // fy and e0 must not be zero (the yield strain is fy/e0).
  Steel02(int tag, const Parameters& parameters);

  std::string_view typeName() const override { return "Steel02"; }
  void setTrialStrain(double strain) override;
  void setTrial(double strain, double& stress, double& tangent) override {
    Steel02::setTrialStrain(strain);
    stress = stress_;
    tangent = tangent_;
  }
  void commitState() override { committed_ = trial_; }
  void revertToLastCommit() override;
  std::unique_ptr<UniaxialMaterial> copy() const override;

  // 0: virgin, 1: on a loading branch, 2: on an unloading branch,
  // 3: touched but not yet moved.
  int branch() const { return trial_.branch; }

 private:
  struct History {
    double strain = 0.0;
    double stress = 0.0;
    double tangent = 0.0;
    int branch = 0;
    double maxStrain = 0.0;  // largest strain of the past branches
    double minStrain = 0.0;  // smallest strain of the past branches
    double plasticStrain = 0.0;
    double asymptoteStrain = 0.0;  // where the elastic line meets the hardening one
    double asymptoteStress = 0.0;
    double reversalStrain = 0.0;
    double reversalStress = 0.0;
  };

  Parameters p_;
  double hardeningModulus_;
  double yieldStrain_;
  History trial_;
  History committed_;
};

}  // namespace marrowick::engine
