#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "model/material.h"

namespace marrowick::engine {

// Axial force and bending moment of a plane section, with their derivatives
// with respect to the axial strain at the centroid and the curvature.
struct SectionResponse {
  double axialForce = 0.0;
  double moment = 0.0;
  double k11 = 0.0;  // dN/dε0
  double k12 = 0.0;  // dN/dκ = dM/dε0
  double k22 = 0.0;  // dM/dκ
};

// A plane fiber section: plane sections stay plane, so a fiber at height y
// strains by ε0 − (y − ȳ)·κ, where ȳ is the area centroid. The moment is taken
// about that centroid, so a symmetric section under pure axial strain carries
// no moment.
class FiberSection {
 public:
  explicit FiberSection(int tag) : tag_(tag) {}
  FiberSection(const FiberSection& other);
  FiberSection& operator=(const FiberSection&) = delete;

  int tag() const { return tag_; }
  // The fiber keeps its own copy of the material. Call finish() once the last
  // fiber is in: it finds the centroid the section bends about.
  //
  // Fibers of the same material at the same height always strain alike, so
  // they share one copy, updated once per trial: a section cut into a grid
  // has many fibers per height, and in the plane only the height matters.
  // The material given is the prototype of its copies and must not change
  // while fibers are added (the domain's materials never do).
  void addFiber(double y, double area, const UniaxialMaterial& material);
  // Room for that many fibers more, when their number is known beforehand.
  void reserve(std::size_t more) { fibers_.reserve(fibers_.size() + more); }
  void finish();
  std::size_t fiberCount() const { return fibers_.size(); }
  double centroid() const { return centroid_; }

  // The fibers as given, and the one a recorder means by a position: the
  // nearest in y (a plane section does not look at z), of the given material
  // when there is one; the first of equals. None when no fiber qualifies.
  double fiberY(std::size_t fiber) const { return layers_[fibers_[fiber].layer].height; }
  const UniaxialMaterial& fiberMaterial(std::size_t fiber) const {
    return *layers_[fibers_[fiber].layer].material;
  }
  double fiberStrain(std::size_t fiber, double axialStrain, double curvature) const {
    return axialStrain - fibers_[fiber].y * curvature;
  }
  std::optional<std::size_t> nearestFiber(double y, std::optional<int> materialTag) const;

  void setTrialDeformation(double axialStrain, double curvature);
  const SectionResponse& response() const { return trial_; }
  void commitState();
  void revertToLastCommit();

 private:
  // One material copy and the fibers that share it.
  struct Layer {
    double height;  // as given
    double y;       // height above the centroid
    const UniaxialMaterial* prototype;
    std::unique_ptr<UniaxialMaterial> material;
    double stress = 0.0;
    double tangent = 0.0;
  };
  struct Fiber {
    double y;  // height above the centroid
    double area;
    std::size_t layer;
  };

  static void addFiberResponse(SectionResponse& r, const Fiber& fiber, double stress,
                               double tangent);

  int tag_;
  std::vector<Layer> layers_;
  // The layer of each height (its bits: +0 and -0 may strain to zeros of
  // different sign) and prototype, while fibers are added.
  std::map<std::pair<std::uint64_t, const UniaxialMaterial*>, std::size_t> layerOf_;
  std::vector<Fiber> fibers_;
  double centroid_ = 0.0;
  SectionResponse trial_;
  SectionResponse committed_;
};

}  // namespace marrowick::engine
