#include "fiber_section.h"

#include <cmath>

namespace marrowick::engine {

FiberSection::FiberSection(const FiberSection& other)
    : tag_(other.tag_),
      heights_(other.heights_),
      centroid_(other.centroid_),
      trial_(other.trial_),
      committed_(other.committed_) {
  materials_.reserve(other.materials_.size());
  fibers_.reserve(other.fibers_.size());
  for (std::size_t i = 0; i < other.fibers_.size(); ++i) {
    materials_.push_back(other.materials_[i]->copy());
    UniaxialMaterial* material = materials_.back().get();
    fibers_.push_back({other.fibers_[i].y, other.fibers_[i].area, material});
  }
}

void FiberSection::addFiber(double y, double area, const UniaxialMaterial& material) {
  heights_.push_back(y);
  materials_.push_back(material.copy());
  UniaxialMaterial* own = materials_.back().get();
  fibers_.push_back({y, area, own});
}

// A fiber's share of the resultants, its lever arm measured downward from the
// centroid so that a positive curvature compresses the top.
inline void FiberSection::addFiberResponse(SectionResponse& r, const Fiber& fiber, double stress,
                                           double tangent) {
  const double lever = -fiber.y;
  const double ea = tangent * fiber.area;
  const double force = stress * fiber.area;
  r.axialForce += force;
  r.moment += force * lever;
  r.k11 += ea;
  r.k12 += ea * lever;
  r.k22 += ea * lever * lever;
}

void FiberSection::finish() {
  double firstMoment = 0.0;
  double totalArea = 0.0;
  for (std::size_t i = 0; i < fibers_.size(); ++i) {
    firstMoment += heights_[i] * fibers_[i].area;
    totalArea += fibers_[i].area;
  }
  centroid_ = totalArea != 0.0 ? firstMoment / totalArea : 0.0;

  // The stiffness at zero deformation, so that a section that has not been
  // strained yet still answers with its initial tangent.
  SectionResponse initial;
  for (std::size_t i = 0; i < fibers_.size(); ++i) {
    fibers_[i].y = heights_[i] - centroid_;
    addFiberResponse(initial, fibers_[i], fibers_[i].material->getStress(),
                     fibers_[i].material->getTangent());
  }
  trial_ = initial;
  committed_ = initial;
}

// OpenSees compares squared distances, except that without a material the
// first fiber's plain distance is the one to beat; the same pick is made here.
std::optional<std::size_t> FiberSection::nearestFiber(double y,
                                                      std::optional<int> materialTag) const {
  std::optional<std::size_t> nearest;
  double best = 0.0;
  for (std::size_t k = 0; k < heights_.size(); ++k) {
    if (materialTag && materials_[k]->tag() != *materialTag) continue;
    const double dy = heights_[k] - y;
    if (!nearest) {
      nearest = k;
      best = materialTag ? dy * dy : std::fabs(dy);
    } else if (dy * dy < best) {
      nearest = k;
      best = dy * dy;
    }
  }
  return nearest;
}

void FiberSection::setTrialDeformation(double axialStrain, double curvature) {
  SectionResponse r;
  for (const Fiber& fiber : fibers_) {
    const double strain = axialStrain - fiber.y * curvature;
    double stress = 0.0;
    double tangent = 0.0;
    fiber.material->setTrial(strain, stress, tangent);
    addFiberResponse(r, fiber, stress, tangent);
  }
  trial_ = r;
}

void FiberSection::commitState() {
  for (const Fiber& fiber : fibers_) fiber.material->commitState();
  committed_ = trial_;
}

void FiberSection::revertToLastCommit() {
  for (const Fiber& fiber : fibers_) fiber.material->revertToLastCommit();
  trial_ = committed_;
}

}  // namespace marrowick::engine
