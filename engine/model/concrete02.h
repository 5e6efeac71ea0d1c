#pragma once

#include "model/material.h"

namespace marrowick::engine {

// Concrete with linear tension softening (Yassin, as in FEDEAS): the
// compression envelope of Concrete01, a tension envelope rising with the
// initial modulus to ft and falling with slope Ets, and unloading/reloading
// lines that aim at a point fixed by lambda (the ratio of the unloading slope
// at the crushing strain to the initial one). Compression is negative; the
// parameters are taken as given, fpc and epsc0 negative.
class Concrete02 final : public UniaxialMaterial {
 public:
  struct Parameters {
    double fpc = 0.0;
    double epsc0 = 0.0;
    double fpcu = 0.0;
    double epscu = 0.0;
    double lambda = 0.1;
    double ft = 0.0;
    double ets = 0.0;
  };
  // The tension part OpenSees assumes when only the compression is given:
  // lambda 0.1, ft = |0.1·fpc| and Ets = 0.1·fpc/epsc0.
  static Parameters withDefaultTension(double fpc, double epsc0, double fpcu, double epscu);

  // fpc and epsc0 must not be zero (the initial modulus is 2·fpc/epsc0).
  Concrete02(int tag, const Parameters& parameters);

  std::string_view typeName() const override { return "Concrete02"; }
  void setTrialStrain(double strain) override;
  void setTrial(double strain, double& stress, double& tangent) override {
    Concrete02::setTrialStrain(strain);
    stress = stress_;
    tangent = tangent_;
  }
  void commitState() override { committed_ = trial_; }
  void revertToLastCommit() override;
  std::unique_ptr<UniaxialMaterial> copy() const override;

 private:
  void compressionEnvelope(double strain, double& stress, double& tangent) const;
  void tensionEnvelope(double strain, double& stress, double& tangent) const;
  void trialState(double strain, double step);

  struct History {
    double strain = 0.0;
    double stress = 0.0;
    double tangent = 0.0;
    double minStrain = 0.0;     // the largest compression reached
    double crackOpening = 0.0;  // the widest tension beyond the reloading line's zero
  };

  Parameters p_;
  double ec0_;
  History trial_;
  History committed_;
};

}  // namespace marrowick::engine
