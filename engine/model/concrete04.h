#pragma once

#include "model/material.h"

namespace marrowick::engine {

// Confined concrete after Mander: Popovics' curve in compression up to the
// crushing strain, nothing beyond it; unloading and reloading on one straight
// line to a plastic strain that grows with the largest compression
// (Karsan–Jirsa); optionally a tension branch, linear up to ft and then
// decaying exponentially to beta·ft at et, unloading towards the origin.
// Compression is negative; fc, ec and ecu are taken as given (negative).
class Concrete04 final : public UniaxialMaterial {
 public:
  struct Parameters {
    double fc = 0.0;
    double ec = 0.0;  // strain at fc; must not be zero
    double ecu = 0.0;
    double ec0 = 0.0;  // initial modulus
    double ft = 0.0;   // zero: no tension at all
    double et = 0.0;
    double beta = 0.1;
  };

  Concrete04(int tag, const Parameters& parameters);

  std::string_view typeName() const override { return "Concrete04"; }
  void setTrialStrain(double strain) override;
  void setTrial(double strain, double& stress, double& tangent) override {
    Concrete04::setTrialStrain(strain);
    stress = stress_;
    tangent = tangent_;
  }
  void commitState() override { committed_ = trial_; }
  void revertToLastCommit() override;
  std::unique_ptr<UniaxialMaterial> copy() const override;

 private:
  void compressionEnvelope(double strain);
  void updateUnloadingLine();
  void tensionEnvelope(double strain);
  void onUnloadingLine(double strain) {
    trial_.tangent = trial_.unloadSlope;
    trial_.stress = trial_.unloadSlope * (strain - trial_.endStrain);
  }
  void onTensionSecant(double strain) {
    trial_.stress = strain * trial_.tensionSlope;
    trial_.tangent = trial_.tensionSlope;
  }
  void carriesNothing() {
    trial_.stress = 0.0;
    trial_.tangent = 0.0;
  }

  struct History {
    double strain = 0.0;
    double stress = 0.0;
    double tangent = 0.0;
    double minStrain = 0.0;     // the largest compression reached
    double maxStrain = 0.0;     // the largest tension reached
    double endStrain = 0.0;     // where the compression unloading line meets zero stress
    double unloadSlope = 0.0;   // of that line
    double tensionSlope = 0.0;  // the secant to the origin from the largest tension
  };

  Parameters p_;
  double popovicsN_;  // the curve's exponent, n = Ec/(Ec − fc/ec)
  History trial_;
  History committed_;
};

}  // namespace marrowick::engine
