#pragma once

#include <cfloat>
#include <cmath>

#include "model/material.h"

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
  void setTrial(double strain, double& stress, double& tangent) override {
    Concrete01::setTrialStrain(strain);
    stress = stress_;
    tangent = tangent_;
  }
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

// Inline: the fiber loop of a section calls it for every fiber and iteration.
inline void Concrete01::setTrialStrain(double strain) {
  // Every trial starts from the committed history: Newton may try many strains
  // within one step, and only the converged one may leave a mark.
  trial_ = committed_;
  if (std::fabs(strain - committed_.strain) < DBL_EPSILON) {
    stress_ = trial_.stress;
    tangent_ = trial_.tangent;
    return;
  }
  trial_.strain = strain;
  if (strain > 0.0) {
    // Cracked: no tension, and the compression history stays as it was.
    trial_.stress = 0.0;
    trial_.tangent = 0.0;
  } else {
    const double slope = committed_.unloadSlope;
    const double onUnloadingLine = committed_.stress + slope * strain - slope * committed_.strain;
    if (strain <= committed_.strain) {
      // Further into compression: the envelope if the strain is new, else the
      // reloading line back to it, or nothing while the crack is still open.
      if (strain <= trial_.minStrain) {
        trial_.minStrain = strain;
        envelope(strain);
        updateUnloadingRule();
      } else if (strain <= trial_.endStrain) {
        trial_.tangent = trial_.unloadSlope;
        trial_.stress = trial_.unloadSlope * (strain - trial_.endStrain);
      } else {
        trial_.stress = 0.0;
        trial_.tangent = 0.0;
      }
      if (onUnloadingLine > trial_.stress) {
        trial_.stress = onUnloadingLine;
        trial_.tangent = trial_.unloadSlope;
      }
    } else if (onUnloadingLine <= 0.0) {
      trial_.stress = onUnloadingLine;
      trial_.tangent = slope;
    } else {
      trial_.stress = 0.0;
      trial_.tangent = 0.0;
    }
  }
  stress_ = trial_.stress;
  tangent_ = trial_.tangent;
}

}  // namespace marrowick::engine
