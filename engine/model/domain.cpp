#include "model/domain.h"

#include <string>

#include "model/model_error.h"

namespace marrowick::engine {

namespace {
std::string tagText(int tag) {
  return std::to_string(tag);
}
}  // namespace

Domain::Domain(int dimensions) : dimensions_(dimensions) {}
// Recorders still open here are closed by their own destructors.
Domain::~Domain() = default;

void Domain::addNode(int tag, double x, double y, double z) {
  if (nodeIndex_.count(tag) != 0) throw ModelError("node " + tagText(tag) + " already exists");
  Node node;
  node.tag = tag;
  node.x = x;
  node.y = y;
  node.z = z;
  nodeIndex_.emplace(tag, static_cast<int>(nodes_.size()));
  nodes_.push_back(node);
  ++changeStamp_;
}

void Domain::fix(int tag, const std::array<bool, kMaxDofsPerNode>& fixity) {
  Node* node = findNode(tag);
  if (node == nullptr) throw ModelError("there is no node " + tagText(tag));
  for (int dof = 0; dof < dofsPerNode(); ++dof) {
    if (fixity[dof]) node->fixed[dof] = true;
  }
  ++changeStamp_;
}

void Domain::addMaterial(std::unique_ptr<UniaxialMaterial> material) {
  const int tag = material->tag();
  if (!materials_.emplace(tag, std::move(material)).second) {
    throw ModelError("material " + tagText(tag) + " already exists");
  }
}

void Domain::addSection(std::unique_ptr<FiberSection> section) {
  const int tag = section->tag();
  if (!sections_.emplace(tag, std::move(section)).second) {
    throw ModelError("section " + tagText(tag) + " already exists");
  }
}

void Domain::addElement(int tag, int nodeI, int nodeJ, int sectionTag) {
  for (const ZeroLengthSection& element : elements_) {
    if (element.tag() == tag) throw ModelError("element " + tagText(tag) + " already exists");
  }
  const int i = nodeIndex(nodeI);
  if (i < 0) throw ModelError("there is no node " + tagText(nodeI));
  const int j = nodeIndex(nodeJ);
  if (j < 0) throw ModelError("there is no node " + tagText(nodeJ));
  if (i == j) throw ModelError("an element needs two different nodes");
  const FiberSection* section = findSection(sectionTag);
  if (section == nullptr) throw ModelError("there is no section " + tagText(sectionTag));
  elements_.emplace_back(tag, i, j, *section);
  ++changeStamp_;
}

LoadPattern& Domain::addPattern(int tag, TimeSeries series, double seriesFactor) {
  LoadPattern pattern;
  pattern.tag = tag;
  pattern.series = series;
  pattern.seriesFactor = seriesFactor;
  auto [where, added] = patterns_.emplace(tag, std::move(pattern));
  if (!added) throw ModelError("load pattern " + tagText(tag) + " already exists");
  ++changeStamp_;
  return where->second;
}

void Domain::addLoad(LoadPattern& pattern, int nodeTag, const NodeVector& value) {
  const int index = nodeIndex(nodeTag);
  if (index < 0) throw ModelError("there is no node " + tagText(nodeTag));
  pattern.loads.push_back({index, value});
  ++changeStamp_;
}

void Domain::addRecorder(std::unique_ptr<Recorder> recorder) {
  recorders_.push_back(std::move(recorder));
}

int Domain::nodeIndex(int tag) const {
  auto found = nodeIndex_.find(tag);
  return found == nodeIndex_.end() ? -1 : found->second;
}

Node* Domain::findNode(int tag) {
  const int index = nodeIndex(tag);
  return index < 0 ? nullptr : &nodes_[index];
}

const Node* Domain::findNode(int tag) const {
  const int index = nodeIndex(tag);
  return index < 0 ? nullptr : &nodes_[index];
}

int Domain::elementIndex(int tag) const {
  for (std::size_t k = 0; k < elements_.size(); ++k) {
    if (elements_[k].tag() == tag) return static_cast<int>(k);
  }
  return -1;
}

NodeVector Domain::reaction(int nodeIndex) const {
  NodeVector reaction{};
  const NodeVector& load = nodes_[nodeIndex].load;
  for (int dof = 0; dof < dofsPerNode(); ++dof) reaction[dof] = 0.0 - load[dof];
  for (const ZeroLengthSection& element : elements_) {
    const SectionResponse& r = element.section().response();
    // Node J carries each resultant at the dof its deformation follows
    // ((N, 0, M) in the plane), node I the opposite.
    for (int p = 0; p < element.components(); ++p) {
      const int dof = element.componentDof(p);
      if (element.nodeI() == nodeIndex) reaction[dof] += -r.force(p);
      if (element.nodeJ() == nodeIndex) reaction[dof] += r.force(p);
    }
  }
  return reaction;
}

SectionValues Domain::sectionResponse(const SectionQuery& query) const {
  const ZeroLengthSection& element = elements_[query.element];
  const FiberSection& section = element.section();
  SectionValues out;
  if (query.kind == SectionQuery::Kind::Force) {
    out.count = element.components();
    for (int p = 0; p < out.count; ++p) out.value[p] = section.response().force(p);
    return out;
  }
  const SectionValues deformation =
      element.deformation(nodes_[element.nodeI()], nodes_[element.nodeJ()]);
  if (query.kind == SectionQuery::Kind::Deformation) return deformation;
  out.count = 2;
  out.value[0] = section.fiberMaterial(query.fiber).getStress();
  out.value[1] = section.fiberStrain(query.fiber, deformation.value[0], deformation.value[1],
                                     deformation.value[2]);
  return out;
}

const UniaxialMaterial* Domain::findMaterial(int tag) const {
  auto found = materials_.find(tag);
  return found == materials_.end() ? nullptr : found->second.get();
}

const FiberSection* Domain::findSection(int tag) const {
  auto found = sections_.find(tag);
  return found == sections_.end() ? nullptr : found->second.get();
}

void Domain::freezePatterns() {
  for (auto& [tag, pattern] : patterns_) pattern.frozen = true;
}

void Domain::resetTime(double time) {
  currentTime_ = time;
  committedTime_ = time;
}

int Domain::numberEquations() {
  int count = 0;
  for (Node& node : nodes_) {
    for (int dof = 0; dof < dofsPerNode(); ++dof) {
      node.equation[dof] = node.fixed[dof] ? -1 : count++;
    }
  }
  return count;
}

void Domain::applyLoads(double time) {
  currentTime_ = time;
  for (Node& node : nodes_) node.load = NodeVector{};
  for (auto& [tag, pattern] : patterns_) {
    pattern.factor = pattern.factorAt(time);
    for (const NodalLoad& load : pattern.loads) {
      NodeVector& target = nodes_[load.node].load;
      for (int dof = 0; dof < dofsPerNode(); ++dof) {
        target[dof] += pattern.factor * load.value[dof];
      }
    }
  }
}

void Domain::updateElements() {
  for (ZeroLengthSection& element : elements_) {
    element.update(nodes_[element.nodeI()], nodes_[element.nodeJ()]);
  }
}

void Domain::commit() {
  for (Node& node : nodes_) node.committedDisp = node.trialDisp;
  for (ZeroLengthSection& element : elements_) element.section().commitState();
  committedTime_ = currentTime_;
  for (auto& recorder : recorders_) recorder->record(*this);
}

void Domain::revertToLastCommit() {
  for (Node& node : nodes_) node.trialDisp = node.committedDisp;
  for (ZeroLengthSection& element : elements_) element.section().revertToLastCommit();
  currentTime_ = committedTime_;
}

void Domain::flushRecorders() {
  for (auto& recorder : recorders_) recorder->flush();
}

void Domain::closeRecorders() {
  // Every file is closed; each that could not take its lines is named.
  std::string failures;
  for (auto& recorder : recorders_) {
    try {
      recorder->close();
    } catch (const ModelError& error) {
      if (!failures.empty()) failures += "; ";
      failures += error.what();
    }
  }
  recorders_.clear();
  if (!failures.empty()) throw ModelError(failures);
}

}  // namespace marrowick::engine
