#pragma once

#include "model/material.h"

namespace marrowick::engine {

// Bilinear steel with kinematic hardening: the stress is the elastic
// prediction from the last committed point, clipped to the band between the
// hardening lines σ = b·E0·ε ± fy·(1 − b). a1…a4 widen the band after each
// reversal (isotropic hardening), growing with the strain range seen so far.
class Steel01 final : public UniaxialMaterial {
 public:
  struct Parameters {
    double fy = 0.0;
    double e0 = 0.0;
    double b = 0.0;
    // Without hardening parameters the band never widens (a1 = a3 = 0).
    double a1 = 0.0;
    double a2 = 55.0;
    double a3 = 0.0;
    double a4 = 55.0;
  };

  // fy and e0 must not be zero (the yield strain is fy/e0).
  Steel01(int tag, const Parameters& parameters);

  std::string_view typeName() const override { return "Steel01"; }
  void setTrialStrain(double strain) override;
  void setTrial(double strain, double& stress, double& tangent) override {
    Steel01::setTrialStrain(strain);
    stress = stress_;
    tangent = tangent_;
  }
  void commitState() override { committed_ = trial_; }
  void revertToLastCommit() override;
  std::unique_ptr<UniaxialMaterial> copy() const override;

 private:
  struct History {
    double strain = 0.0;
    double stress = 0.0;
    double tangent = 0.0;
    double minStrain = 0.0;  // the extreme strains at past reversals
    double maxStrain = 0.0;
    double shiftUp = 1.0;  // how far the tension hardening line has moved out
    double shiftDown = 1.0;
    int loading = 0;  // 1 towards tension, −1 towards compression, 0 not yet moved
  };

  void followReversal(double step);

  Parameters p_;
  History trial_;
  History committed_;
};

}  // namespace marrowick::engine
