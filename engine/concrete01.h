#pragma once

#include "material.h"

namespace marrowick::engine {

// Kent–Scott–Park concrete without tension: a parabola up to the peak
// (epsc0, fpc), a straight descent to the residual (epscu, fpcu), then a
// plateau. Unloading and reloading follow a secant whose slope degrades with
// the largest compression reached. Compression is negative.
class Concrete01 final : public UniaxialMaterial {
 public:
  // Strengths and strains may be given with either sign; they are taken as
  // compression. epsc0 must not be zero (the initial modulus is 2·fpc/epsc0).
  Concrete01(int tag, double fpc, double epsc0, double fpcu, double epscu);

  std::string_view typeName() const override { return "Concrete01"; }
  void setTrialStrain(double strain) override;
  void commitState() override;
  void revertToLastCommit() override;
  std::unique_ptr<UniaxialMaterial> copy() const override;

  double initialModulus() const { return ec0_; }
  double minStrain() const { return trial_.minStrain; }
  double endStrain() const { return trial_.endStrain; }
  double unloadSlope() const { return trial_.unloadSlope; }

 private:
  struct History {
    double strain = 0.0;
    double stress = 0.0;
    double tangent = 0.0;
    double minStrain = 0.0;    // the largest compression ever reached
    double endStrain = 0.0;    // where the unloading line meets zero stress
    double unloadSlope = 0.0;  // slope of the unloading line
  };

  void envelope(double strain);
  void updateUnloadingRule();

  double fpc_, epsc0_, fpcu_, epscu_, ec0_;
  History trial_;
  History committed_;
};

}  // namespace marrowick::engine
