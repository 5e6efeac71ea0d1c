#pragma once

#include <memory>
#include <string_view>

namespace marrowick::engine {

// A uniaxial stress-strain law with history. The analysis only ever asks for a
// trial state measured from the last committed one, keeps it when the step
// converges (commitState) and throws it away when it does not
// (revertToLastCommit). Every fiber owns its own copy, so laws with memory
// (crushing, yielding) follow each fiber's own strain history.
//
// A law sets the trial stress and tangent in setTrialStrain; the section asks
// for all three at once through setTrial, one virtual call per fiber.
class UniaxialMaterial {
 public:
  explicit UniaxialMaterial(int tag) : tag_(tag) {}
  virtual ~UniaxialMaterial() = default;

  int tag() const { return tag_; }
  virtual std::string_view typeName() const = 0;

  virtual void setTrialStrain(double strain) = 0;
  // setTrialStrain, then the stress and tangent it found (OpenSees' setTrial).
  // Each law overrides it so that its own setTrialStrain is called directly.
  virtual void setTrial(double strain, double& stress, double& tangent) {
    setTrialStrain(strain);
    stress = stress_;
    tangent = tangent_;
  }
  double getStress() const { return stress_; }
  double getTangent() const { return tangent_; }

  virtual void commitState() = 0;
  virtual void revertToLastCommit() = 0;
  // A copy in the same state, for a new fiber.
  virtual std::unique_ptr<UniaxialMaterial> copy() const = 0;

 protected:
  UniaxialMaterial(const UniaxialMaterial&) = default;
  UniaxialMaterial& operator=(const UniaxialMaterial&) = default;

  double stress_ = 0.0;
  double tangent_ = 0.0;

 private:
  int tag_;
};

// σ = E·ε, no history.
class ElasticMaterial final : public UniaxialMaterial {
 public:
  ElasticMaterial(int tag, double modulus);
  std::string_view typeName() const override { return "Elastic"; }
  void setTrialStrain(double strain) override;
  void setTrial(double strain, double& stress, double& tangent) override {
    ElasticMaterial::setTrialStrain(strain);
    stress = stress_;
    tangent = tangent_;
  }
  void commitState() override { committedStrain_ = strain_; }
  void revertToLastCommit() override;
  std::unique_ptr<UniaxialMaterial> copy() const override;

 private:
  double modulus_;
  double strain_ = 0.0;
  double committedStrain_ = 0.0;
};

}  // namespace marrowick::engine
