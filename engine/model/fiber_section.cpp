#include "model/fiber_section.h"

#include <cmath>
#include <cstring>

namespace marrowick::engine {

FiberSection::FiberSection(const FiberSection& other)
    : tag_(other.tag_),
      fibers_(other.fibers_),
      centroid_(other.centroid_),
      trial_(other.trial_),
      committed_(other.committed_) {
  layers_.reserve(other.layers_.size());
  for (const Layer& layer : other.layers_) {
    layers_.push_back({layer.height, layer.y, layer.prototype, layer.material->copy(), layer.stress,
                       layer.tangent});
  }
}

void FiberSection::addFiber(double y, double area, const UniaxialMaterial& material) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &y, sizeof y);
  const auto [where, added] = layerOf_.emplace(std::make_pair(bits, &material), layers_.size());
  if (added) layers_.push_back({y, y, &material, material.copy()});
  fibers_.push_back({y, area, where->second});
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
  layerOf_.clear();
  double firstMoment = 0.0;
  double totalArea = 0.0;
  for (const Fiber& fiber : fibers_) {
    firstMoment += layers_[fiber.layer].height * fiber.area;
    totalArea += fiber.area;
  }
  centroid_ = totalArea != 0.0 ? firstMoment / totalArea : 0.0;

  // The stiffness at zero deformation, so that a section that has not been
  // strained yet still answers with its initial tangent.
  for (Layer& layer : layers_) {
    layer.y = layer.height - centroid_;
    layer.stress = layer.material->getStress();
    layer.tangent = layer.material->getTangent();
  }
  SectionResponse initial;
  for (Fiber& fiber : fibers_) {
    const Layer& layer = layers_[fiber.layer];
    fiber.y = layer.y;
    addFiberResponse(initial, fiber, layer.stress, layer.tangent);
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
  for (std::size_t k = 0; k < fibers_.size(); ++k) {
    if (materialTag && fiberMaterial(k).tag() != *materialTag) continue;
    const double dy = fiberY(k) - y;
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
  for (Layer& layer : layers_) {
    const double strain = axialStrain - layer.y * curvature;
    layer.material->setTrial(strain, layer.stress, layer.tangent);
  }
  // Summed fiber by fiber, in the order the fibers were given.
  SectionResponse r;
  for (const Fiber& fiber : fibers_) {
    const Layer& layer = layers_[fiber.layer];
    addFiberResponse(r, fiber, layer.stress, layer.tangent);
  }
  trial_ = r;
}

void FiberSection::commitState() {
  for (Layer& layer : layers_) layer.material->commitState();
  committed_ = trial_;
}

void FiberSection::revertToLastCommit() {
  for (Layer& layer : layers_) layer.material->revertToLastCommit();
  trial_ = committed_;
}

}  // namespace marrowick::engine
