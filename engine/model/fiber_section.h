#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "model/material.h"

namespace marrowick::engine {

// Axial force and bending moment of a plane section, with their derivatives
// with respect to the axial strain at the centroid and the curvature. A
// section in space adds the moment about y, its curvature κy and the torque
// (moment is then Mz, bent by κz).
struct SectionResponse {
  double axialForce = 0.0;
  double moment = 0.0;
  double k11 = 0.0;  // dN/dε0
  double k12 = 0.0;  // dN/dκ = dM/dε0
  double k22 = 0.0;  // dM/dκ
  double momentY = 0.0;
  double torque = 0.0;
  double k13 = 0.0;  // dN/dκy = dMy/dε0
  double k23 = 0.0;  // dMz/dκy = dMy/dκz
  double k33 = 0.0;  // dMy/dκy
  double k44 = 0.0;  // dT/dθ: the torsional stiffness GJ

  // Component p of (N, Mz, My, T) and the derivative of p by deformation q of
  // (ε0, κz, κy, θ), as OpenSees orders a section's resultants in space; a
  // plane section has the first two.
  double force(int p) const;
  double tangent(int p, int q) const;
};

enum class SectionSpace { Plane, Space };

// A plane fiber section: plane sections stay plane, so a fiber at height y
// strains by ε0 − (y − ȳ)·κ, where ȳ is the area centroid. The moment is taken
// about that centroid, so a symmetric section under pure axial strain carries
// no moment.
//
// In space a fiber at (y, z) strains by ε0 − (y − ȳ)·κz + (z − z̄)·κy, Mz is
// −Σσ·A·(y − ȳ) and My is +Σσ·A·(z − z̄), both about the area centroid (ȳ,
// z̄); the torque is GJ·θ, elastic and uncoupled, since fibers carry no shear.
class FiberSection {
 public:
  explicit FiberSection(int tag) : tag_(tag) {}
  FiberSection(int tag, double torsionStiffness)
      : tag_(tag), space_(SectionSpace::Space), torsionStiffness_(torsionStiffness) {}
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
  void addFiber(double y, double area, const UniaxialMaterial& material) {
    addFiber(y, 0.0, area, material);
  }
  // In space fibers share a copy only at the same (y, z); in the plane z is
  // ignored.
  void addFiber(double y, double z, double area, const UniaxialMaterial& material);
  // Room for that many fibers more, when their number is known beforehand.
  void reserve(std::size_t more) { fibers_.reserve(fibers_.size() + more); }
  void finish();
  std::size_t fiberCount() const { return fibers_.size(); }
  double centroid() const { return centroid_; }
  double centroidZ() const { return centroidZ_; }
  SectionSpace space() const { return space_; }
  // The number of deformations (and resultants): 2 in the plane, 4 in space.
  int components() const { return space_ == SectionSpace::Plane ? 2 : 4; }

  // The fibers as given, and the one a recorder means by a position: the
  // nearest in y (a plane section does not look at z), of the given material
  // when there is one; the first of equals. None when no fiber qualifies.
  double fiberY(std::size_t fiber) const { return layers_[fibers_[fiber].layer].height; }
  double fiberZ(std::size_t fiber) const { return layers_[fibers_[fiber].layer].depth; }
  const UniaxialMaterial& fiberMaterial(std::size_t fiber) const {
    return *layers_[fibers_[fiber].layer].material;
  }
  double fiberStrain(std::size_t fiber, double axialStrain, double curvature,
                     double curvatureY = 0.0) const {
    const Fiber& f = fibers_[fiber];
    if (space_ == SectionSpace::Plane) return axialStrain - f.y * curvature;
    return axialStrain - f.y * curvature + f.z * curvatureY;
  }
  // In space the nearest in (y, z).
  std::optional<std::size_t> nearestFiber(double y, double z, std::optional<int> materialTag) const;

  void setTrialDeformation(double axialStrain, double curvature);
  // In space: ε0, κz, κy and the twist θ.
  void setTrialDeformation(double axialStrain, double curvatureZ, double curvatureY, double twist);
  const SectionResponse& response() const { return trial_; }
  void commitState();
  void revertToLastCommit();

 private:
  // One material copy and the fibers that share it.
  struct Layer {
    double height;  // as given
    double y;       // height above the centroid
    double depth;   // z as given (in space)
    double z;       // z from the centroid (in space)
    const UniaxialMaterial* prototype;
    std::unique_ptr<UniaxialMaterial> material;
    double stress = 0.0;
    double tangent = 0.0;
  };
  struct Fiber {
    double y;  // height above the centroid
    double z;  // in space: z from the centroid
    double area;
    std::size_t layer;
  };

  static void addFiberResponse(SectionResponse& r, const Fiber& fiber, double stress,
                               double tangent);
  static void addSpaceFiberResponse(SectionResponse& r, const Fiber& fiber, double stress,
                                    double tangent);
  SectionResponse sumResponse() const;

  int tag_;
  SectionSpace space_ = SectionSpace::Plane;
  double torsionStiffness_ = 0.0;
  std::vector<Layer> layers_;
  // The layer of each height (its bits: +0 and -0 may strain to zeros of
  // different sign) and prototype, while fibers are added.
  std::map<std::tuple<std::uint64_t, std::uint64_t, const UniaxialMaterial*>, std::size_t> layerOf_;
  std::vector<Fiber> fibers_;
  double centroid_ = 0.0;
  double centroidZ_ = 0.0;
  SectionResponse trial_;
  SectionResponse committed_;
};

}  // namespace marrowick::engine
