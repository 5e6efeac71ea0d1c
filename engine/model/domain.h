#pragma once

#include <array>
#include <map>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

#include "model/fiber_section.h"
#include "model/material.h"
#include "model/recorder.h"

namespace marrowick::engine {

// Degrees of freedom of a node: x, y, rotation in the plane; x, y, z and the
// rotations about them in space. A node keeps room for six either way.
constexpr int kDofsPerNode = 3;
constexpr int kSpaceDofsPerNode = 6;
constexpr int kMaxDofsPerNode = kSpaceDofsPerNode;
using NodeVector = std::array<double, kMaxDofsPerNode>;

struct Node {
  int tag = 0;
  double x = 0.0;
  double y = 0.0;
  double z = 0.0;
  std::array<bool, kMaxDofsPerNode> fixed{};
  NodeVector trialDisp{};
  NodeVector committedDisp{};
  NodeVector load{};  // external load at the current time
  std::array<int, kMaxDofsPerNode> equation{-1, -1, -1, -1, -1, -1};  // -1: fixed
};

// The section's resultants or deformations, as many as it has.
struct SectionValues {
  std::array<double, 4> value{};
  int count = 0;
  std::span<const double> values() const { return {value.data(), static_cast<std::size_t>(count)}; }
};

// Two nodes at one point joined by a section, in the default orientation
// (local x along global X, local y along global Y). Each section deformation
// is the difference of one degree of freedom of the two nodes: in the plane
// ε0 by x and κ by the rotation; in space ε0 by x, κz by the rotation about Z,
// κy by the rotation about Y and the twist by the rotation about X.
class ZeroLengthSection {
 public:
  ZeroLengthSection(int tag, int nodeI, int nodeJ, const FiberSection& section)
      : tag_(tag), nodeI_(nodeI), nodeJ_(nodeJ), section_(section) {}

  int tag() const { return tag_; }
  int nodeI() const { return nodeI_; }  // index into the domain's nodes
  int nodeJ() const { return nodeJ_; }
  FiberSection& section() { return section_; }
  const FiberSection& section() const { return section_; }
  int components() const { return section_.components(); }
  // The node degree of freedom that deformation p follows.
  int componentDof(int p) const {
    constexpr int kPlane[] = {0, 2};
    constexpr int kSpace[] = {0, 5, 4, 3};
    return section_.space() == SectionSpace::Plane ? kPlane[p] : kSpace[p];
  }

  void update(const Node& i, const Node& j) {
    const SectionValues d = deformation(i, j);
    if (d.count == 2) {
      section_.setTrialDeformation(d.value[0], d.value[1]);
    } else {
      section_.setTrialDeformation(d.value[0], d.value[1], d.value[2], d.value[3]);
    }
  }
  // The section's deformations at the nodes' trial displacements.
  SectionValues deformation(const Node& i, const Node& j) const {
    SectionValues d;
    d.count = components();
    for (int p = 0; p < d.count; ++p) {
      const int dof = componentDof(p);
      d.value[p] = j.trialDisp[dof] - i.trialDisp[dof];
    }
    return d;
  }

 private:
  int tag_;
  int nodeI_;
  int nodeJ_;
  FiberSection section_;
};

// What a recorder or eleResponse reads from the section of a zero-length
// element: its resultants (N, M), its deformations (ε0, κ), or the stress and
// strain of one fiber.
struct SectionQuery {
  enum class Kind { Force, Deformation, FiberStressStrain };
  int element = 0;  // index into the domain's elements
  Kind kind = Kind::Force;
  std::size_t fiber = 0;
};

enum class TimeSeries { Constant, Linear };

struct NodalLoad {
  int node;  // index into the domain's nodes
  NodeVector value;
};

struct LoadPattern {
  int tag = 0;
  TimeSeries series = TimeSeries::Constant;
  double seriesFactor = 1.0;
  bool frozen = false;  // by loadConst: keeps the factor it last had
  double factor = 0.0;  // the factor at the last application
  std::vector<NodalLoad> loads;

  double factorAt(double time) const {
    if (frozen) return factor;
    return series == TimeSeries::Constant ? seriesFactor : seriesFactor * time;
  }
};

// The model: nodes, elements, load patterns, the materials and sections they
// are built from, pseudo-time and the recorders that watch it.
class Domain {
 public:
  // A plane model (2 dimensions, 3 dofs per node) or a model in space (3, 6).
  explicit Domain(int dimensions = 2);
  ~Domain();

  int dimensions() const { return dimensions_; }
  int dofsPerNode() const { return dimensions_ == 2 ? kDofsPerNode : kSpaceDofsPerNode; }

  void addNode(int tag, double x, double y, double z = 0.0);
  void fix(int tag, const std::array<bool, kMaxDofsPerNode>& fixity);
  void addMaterial(std::unique_ptr<UniaxialMaterial> material);
  void addSection(std::unique_ptr<FiberSection> section);
  void addElement(int tag, int nodeI, int nodeJ, int sectionTag);
  LoadPattern& addPattern(int tag, TimeSeries series, double seriesFactor);
  void addLoad(LoadPattern& pattern, int nodeTag, const NodeVector& value);
  void addRecorder(std::unique_ptr<Recorder> recorder);

  Node* findNode(int tag);
  const Node* findNode(int tag) const;
  int nodeIndex(int tag) const;  // -1 when unknown
  const UniaxialMaterial* findMaterial(int tag) const;
  const FiberSection* findSection(int tag) const;

  std::vector<Node>& nodes() { return nodes_; }
  const std::vector<Node>& nodes() const { return nodes_; }
  std::vector<ZeroLengthSection>& elements() { return elements_; }
  const std::vector<ZeroLengthSection>& elements() const { return elements_; }
  int elementIndex(int tag) const;  // -1 when unknown

  // What the supports and the elements push back on a node: the elements'
  // resisting forces less the loads applied to it (near zero at a free
  // degree of freedom in equilibrium).
  NodeVector reaction(int nodeIndex) const;
  SectionValues sectionResponse(const SectionQuery& query) const;

  // Bumped by every change to the model or its loads; an analysis compares it
  // with the value it last saw.
  unsigned changeStamp() const { return changeStamp_; }

  double currentTime() const { return currentTime_; }
  double committedTime() const { return committedTime_; }
  void setCurrentTime(double time) { currentTime_ = time; }
  // loadConst: freeze every pattern at the factor it has now.
  void freezePatterns();
  // loadConst -time: restart pseudo-time.
  void resetTime(double time);

  // Numbers the free degrees of freedom node by node; returns their count.
  int numberEquations();
  // The external loads of all patterns at the given time; it becomes the
  // current time.
  void applyLoads(double time);
  // Recomputes every element from the nodes' trial displacements.
  void updateElements();

  // The converged step: materials, displacements and time become the committed
  // ones, then every recorder writes its line. closeRecorders closes and
  // forgets them all ("remove recorders"), throwing ModelError when a file
  // could not take its last lines.
  void commit();
  // A failed step: back to the last committed state.
  void revertToLastCommit();
  void closeRecorders();
  // Writes the recorders' lines that wait (see Recorder).
  void flushRecorders();

 private:
  int dimensions_;
  std::vector<Node> nodes_;
  std::unordered_map<int, int> nodeIndex_;
  std::map<int, std::unique_ptr<UniaxialMaterial>> materials_;
  std::map<int, std::unique_ptr<FiberSection>> sections_;
  std::vector<ZeroLengthSection> elements_;
  std::map<int, LoadPattern> patterns_;  // applied in tag order
  std::vector<std::unique_ptr<Recorder>> recorders_;
  unsigned changeStamp_ = 0;
  double currentTime_ = 0.0;
  double committedTime_ = 0.0;
};

}  // namespace marrowick::engine
