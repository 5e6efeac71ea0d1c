#include "model/fiber_section.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace marrowick::engine {

double SectionResponse::force(int p) const {
  switch (p) {
    case 0:
      return axialForce;
    case 1:
      return moment;
    case 2:
      return momentY;
    default:
      return torque;
  }
}

double SectionResponse::tangent(int p, int q) const {
  if (p > q) std::swap(p, q);
  switch (p * 4 + q) {
    case 0:
      return k11;
    case 1:
      return k12;
    case 2:
      return k13;
    case 5:
      return k22;
    case 6:
      return k23;
    case 10:
      return k33;
    case 15:
      return k44;
    default:
      return 0.0;  // torsion is uncoupled
  }
}

FiberSection::FiberSection(const FiberSection& other)
    : tag_(other.tag_),
      space_(other.space_),
      torsionStiffness_(other.torsionStiffness_),
      fibers_(other.fibers_),
      centroid_(other.centroid_),
      centroidZ_(other.centroidZ_),
      trial_(other.trial_),
      committed_(other.committed_) {
  layers_.reserve(other.layers_.size());
  for (const Layer& layer : other.layers_) {
    layers_.push_back({layer.height, layer.y, layer.depth, layer.z, layer.prototype,
                       layer.material->copy(), layer.stress, layer.tangent});
  }
}

void FiberSection::addFiber(double y, double z, double area, const UniaxialMaterial& material) {
  if (space_ == SectionSpace::Plane) z = 0.0;
  std::uint64_t bits = 0;
  std::memcpy(&bits, &y, sizeof y);
  std::uint64_t zBits = 0;
  std::memcpy(&zBits, &z, sizeof z);
  const auto [where, added] =
      layerOf_.emplace(std::make_tuple(bits, zBits, &material), layers_.size());
  if (added) layers_.push_back({y, y, z, z, &material, material.copy()});
  fibers_.push_back({y, z, area, where->second});
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

// In space, with the lever arms OpenSees uses: −y for Mz, +z for My.
inline void FiberSection::addSpaceFiberResponse(SectionResponse& r, const Fiber& fiber,
                                                double stress, double tangent) {
  const double ea = tangent * fiber.area;
  const double eaY = -fiber.y * ea;
  const double eaZ = fiber.z * ea;
  const double force = stress * fiber.area;
  r.axialForce += force;
  r.moment += force * -fiber.y;
  r.momentY += force * fiber.z;
  r.k11 += ea;
  r.k12 += eaY;
  r.k13 += eaZ;
  r.k22 += eaY * -fiber.y;
  r.k23 += eaY * fiber.z;
  r.k33 += eaZ * fiber.z;
}

// Summed fiber by fiber, in the order the fibers were given.
SectionResponse FiberSection::sumResponse() const {
  SectionResponse r;
  if (space_ == SectionSpace::Plane) {
    for (const Fiber& fiber : fibers_) {
      const Layer& layer = layers_[fiber.layer];
      addFiberResponse(r, fiber, layer.stress, layer.tangent);
    }
    return r;
  }
  for (const Fiber& fiber : fibers_) {
    const Layer& layer = layers_[fiber.layer];
    addSpaceFiberResponse(r, fiber, layer.stress, layer.tangent);
  }
  r.k44 = torsionStiffness_;
  return r;
}

void FiberSection::finish() {
  layerOf_.clear();
  double firstMoment = 0.0;
  double firstMomentZ = 0.0;
  double totalArea = 0.0;
  for (const Fiber& fiber : fibers_) {
    firstMoment += layers_[fiber.layer].height * fiber.area;
    firstMomentZ += layers_[fiber.layer].depth * fiber.area;
    totalArea += fiber.area;
  }
  centroid_ = totalArea != 0.0 ? firstMoment / totalArea : 0.0;
  centroidZ_ = totalArea != 0.0 ? firstMomentZ / totalArea : 0.0;

  // The stiffness at zero deformation, so that a section that has not been
  // strained yet still answers with its initial tangent.
  for (Layer& layer : layers_) {
    layer.y = layer.height - centroid_;
    layer.z = layer.depth - centroidZ_;
    layer.stress = layer.material->getStress();
    layer.tangent = layer.material->getTangent();
  }
  for (Fiber& fiber : fibers_) {
    fiber.y = layers_[fiber.layer].y;
    fiber.z = layers_[fiber.layer].z;
  }
  trial_ = sumResponse();
  committed_ = trial_;
}

// OpenSees compares squared distances, except that without a material the
// first fiber's plain distance is the one to beat; the same pick is made here.
std::optional<std::size_t> FiberSection::nearestFiber(double y, double z,
                                                      std::optional<int> materialTag) const {
  std::optional<std::size_t> nearest;
  double best = 0.0;
  for (std::size_t k = 0; k < fibers_.size(); ++k) {
    if (materialTag && fiberMaterial(k).tag() != *materialTag) continue;
    const double dy = fiberY(k) - y;
    // In space the distance is taken in the plane of the section.
    const double dz = space_ == SectionSpace::Space ? fiberZ(k) - z : 0.0;
    const double squared = dy * dy + dz * dz;
    if (!nearest) {
      nearest = k;
      best = materialTag || space_ == SectionSpace::Space ? squared : std::fabs(dy);
    } else if (squared < best) {
      nearest = k;
      best = squared;
    }
  }
  return nearest;
}

void FiberSection::setTrialDeformation(double axialStrain, double curvature) {
  for (Layer& layer : layers_) {
    const double strain = axialStrain - layer.y * curvature;
    layer.material->setTrial(strain, layer.stress, layer.tangent);
  }
  trial_ = sumResponse();
}

void FiberSection::setTrialDeformation(double axialStrain, double curvatureZ, double curvatureY,
                                       double twist) {
  for (Layer& layer : layers_) {
    const double strain = axialStrain - layer.y * curvatureZ + layer.z * curvatureY;
    layer.material->setTrial(strain, layer.stress, layer.tangent);
  }
  trial_ = sumResponse();
  trial_.torque = torsionStiffness_ * twist;
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
