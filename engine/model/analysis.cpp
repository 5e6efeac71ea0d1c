#include "model/analysis.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "model/model_error.h"

namespace marrowick::engine {

namespace {

// A dense system beyond this size would take longer to factor than any
// section analysis deserves; such a model is refused rather than left to
// crawl.
constexpr int kMaxEquations = 1000;

// Each section deformation of a zero-length element is node J's displacement
// in one degree of freedom less node I's: the equation it acts on at either
// node, and the sign of that node's share.
struct Ends {
  int eq[2];
  double sign[2];
};
constexpr int kMaxComponents = 4;

int elementEquations(const Domain& domain, const ZeroLengthSection& element,
                     Ends (&ends)[kMaxComponents]) {
  const Node& i = domain.nodes()[element.nodeI()];
  const Node& j = domain.nodes()[element.nodeJ()];
  const int count = element.components();
  for (int p = 0; p < count; ++p) {
    const int dof = element.componentDof(p);
    ends[p] = {{i.equation[dof], j.equation[dof]}, {-1.0, 1.0}};
  }
  return count;
}

// Adjusts an increment to the iterations the last step took, within bounds.
double adaptIncrement(double increment, int wanted, int last, double least, double most) {
  if (last > 0) increment *= static_cast<double>(wanted) / static_cast<double>(last);
  if (increment < least) {
    increment = least;
  } else if (increment > most) {
    increment = most;
  }
  return increment;
}

std::string describeFailure(const ConvergenceTest& test) {
  char text[160];
  std::snprintf(text, sizeof text, "no convergence after %d iterations (%s %g, tolerance %g)",
                test.iteration(), test.name(), test.lastNorm(), test.tolerance());
  return text;
}

}  // namespace

void AnalysisModel::renumber() {
  const int count = domain_.numberEquations();
  if (count > kMaxEquations) {
    throw ModelError("the model has " + std::to_string(count) +
                     " free degrees of freedom; this solver handles at most " +
                     std::to_string(kMaxEquations));
  }
  size_ = count;
  lu_.assign(static_cast<std::size_t>(size_) * static_cast<std::size_t>(size_), 0.0);
  pivots_.assign(static_cast<std::size_t>(size_), 0);
  originalRow_.assign(static_cast<std::size_t>(size_), 0);
}

void AnalysisModel::incrementDisplacements(const std::vector<double>& increment) {
  for (Node& node : domain_.nodes()) {
    for (int dof = 0; dof < kMaxDofsPerNode; ++dof) {
      const int eq = node.equation[dof];
      if (eq >= 0) node.trialDisp[dof] += increment[eq];
    }
  }
  domain_.updateElements();
}

bool AnalysisModel::formAndFactorTangent() {
  const int n = size_;
  std::fill(lu_.begin(), lu_.end(), 0.0);
  for (const ZeroLengthSection& element : domain_.elements()) {
    const SectionResponse& k = element.section().response();
    Ends ends[kMaxComponents];
    const int count = elementEquations(domain_, element, ends);
    for (int p = 0; p < count; ++p) {
      for (int q = 0; q < count; ++q) {
        const double stiffness = k.tangent(p, q);
        for (int a = 0; a < 2; ++a) {
          const int row = ends[p].eq[a];
          if (row < 0) continue;
          for (int b = 0; b < 2; ++b) {
            const int col = ends[q].eq[b];
            if (col >= 0) lu_[row * n + col] += ends[p].sign[a] * ends[q].sign[b] * stiffness;
          }
        }
      }
    }
  }
  // LU with partial pivoting, in place, eliminated as SuperLU (the solver
  // the scripts ask for) eliminates: column by column, each column brought up
  // to date with the columns before it just before its pivot is chosen. Near
  // failure the tangent is nearly singular and Newton's method magnifies any
  // difference in the last bit until one solver converges, or meets an
  // exactly zero pivot, where the other does not; so every sum is taken in
  // SuperLU's order for the two or three equations of a section model (with
  // more, its blocked sums may still differ in the last bits).
  for (int row = 0; row < n; ++row) originalRow_[row] = row;
  for (int col = 0; col < n; ++col) {
    // Above the diagonal, U by forward substitution with L's unit columns.
    for (int row = 1; row < col; ++row) {
      double value = lu_[row * n + col];
      for (int k = 0; k < row; ++k) value -= lu_[k * n + col] * lu_[row * n + k];
      lu_[row * n + col] = value;
    }
    // On and below it, the update is summed before it is subtracted.
    for (int row = col; row < n; ++row) {
      double update = 0.0;
      for (int k = 0; k < col; ++k) update += lu_[k * n + col] * lu_[row * n + k];
      lu_[row * n + col] -= update;
    }
    // The largest magnitude, the first of equals; but the row that began on
    // this column's diagonal keeps the pivot when it ties. Only a column
    // with nothing but zeros (or NaN) left is singular.
    int pivotRow = col;
    int diagonalRow = -1;
    double largest = 0.0;
    for (int row = col; row < n; ++row) {
      const double candidate = std::fabs(lu_[row * n + col]);
      if (candidate > largest) {
        largest = candidate;
        pivotRow = row;
      }
      if (originalRow_[row] == col) diagonalRow = row;
    }
    if (largest == 0.0) return false;
    if (diagonalRow >= 0) {
      const double diagonal = std::fabs(lu_[diagonalRow * n + col]);
      if (diagonal != 0.0 && diagonal >= largest) pivotRow = diagonalRow;
    }
    pivots_[col] = pivotRow;
    if (pivotRow != col) {
      for (int j = 0; j < n; ++j) std::swap(lu_[col * n + j], lu_[pivotRow * n + j]);
      std::swap(originalRow_[col], originalRow_[pivotRow]);
    }
    // Multiplied by the pivot's reciprocal, not divided by the pivot: the
    // two differ in the last bit.
    const double reciprocal = 1.0 / lu_[col * n + col];
    for (int row = col + 1; row < n; ++row) lu_[row * n + col] *= reciprocal;
  }
  return true;
}

void AnalysisModel::solve(const std::vector<double>& rhs, std::vector<double>& solution) const {
  const int n = size_;
  solution.assign(rhs.begin(), rhs.end());
  for (int col = 0; col < n; ++col) {
    if (pivots_[col] != col) std::swap(solution[col], solution[pivots_[col]]);
  }
  for (int row = 1; row < n; ++row) {
    double sum = solution[row];
    for (int j = 0; j < row; ++j) sum -= lu_[row * n + j] * solution[j];
    solution[row] = sum;
  }
  // Back substitution by columns, as SuperLU does it: each unknown, once
  // found, is taken out of every row above it before the next is solved.
  for (int col = n - 1; col >= 0; --col) {
    const double unknown = solution[col] / lu_[col * n + col];
    solution[col] = unknown;
    for (int row = 0; row < col; ++row) solution[row] -= unknown * lu_[row * n + col];
  }
}

void AnalysisModel::formUnbalance(std::vector<double>& unbalance) const {
  unbalance.assign(static_cast<std::size_t>(size_), 0.0);
  for (const Node& node : domain_.nodes()) {
    for (int dof = 0; dof < kMaxDofsPerNode; ++dof) {
      if (node.equation[dof] >= 0) unbalance[node.equation[dof]] += node.load[dof];
    }
  }
  for (const ZeroLengthSection& element : domain_.elements()) {
    const SectionResponse& s = element.section().response();
    Ends ends[kMaxComponents];
    const int count = elementEquations(domain_, element, ends);
    for (int p = 0; p < count; ++p) {
      for (int a = 0; a < 2; ++a) {
        if (ends[p].eq[a] >= 0) unbalance[ends[p].eq[a]] -= ends[p].sign[a] * s.force(p);
      }
    }
  }
}

const char* ConvergenceTest::name() const {
  switch (kind_) {
    case TestKind::EnergyIncr:
      return "EnergyIncr";
    case TestKind::NormDispIncr:
      return "NormDispIncr";
    case TestKind::NormUnbalance:
      return "NormUnbalance";
  }
  return "";
}

ConvergenceTest::Verdict ConvergenceTest::test(const std::vector<double>& x,
                                               const std::vector<double>& r) {
  double norm = 0.0;
  switch (kind_) {
    case TestKind::EnergyIncr: {
      double work = 0.0;
      for (std::size_t i = 0; i < x.size(); ++i) work += x[i] * r[i];
      norm = 0.5 * std::fabs(work);
      break;
    }
    case TestKind::NormDispIncr: {
      double sum = 0.0;
      for (double value : x) sum += value * value;
      norm = std::sqrt(sum);
      break;
    }
    case TestKind::NormUnbalance: {
      double sum = 0.0;
      for (double value : r) sum += value * value;
      norm = std::sqrt(sum);
      break;
    }
  }
  lastNorm_ = norm;
  if (norm <= tolerance_) return Verdict::Converged;
  if (iteration_ >= maxIterations_) return Verdict::Failed;
  ++iteration_;
  return Verdict::Continue;
}

LoadControl::LoadControl(double increment, int wantedIterations, double minIncrement,
                         double maxIncrement)
    : increment_(increment),
      wantedIterations_(wantedIterations),
      minIncrement_(minIncrement),
      maxIncrement_(maxIncrement),
      lastIterations_(wantedIterations) {}

bool LoadControl::newStep(AnalysisModel& model, std::string& /*why*/) {
  increment_ =
      adaptIncrement(increment_, wantedIterations_, lastIterations_, minIncrement_, maxIncrement_);
  model.applyLoads(model.currentTime() + increment_);
  lastIterations_ = 0;
  return true;
}

bool LoadControl::update(AnalysisModel& model, const std::vector<double>& correction,
                         std::vector<double>& x, std::string& /*why*/) {
  model.incrementDisplacements(correction);
  x = correction;
  ++lastIterations_;
  return true;
}

DisplacementControl::DisplacementControl(int nodeTag, int dof, double increment,
                                         int wantedIterations, double minIncrement,
                                         double maxIncrement)
    : nodeTag_(nodeTag),
      dof_(dof),
      increment_(increment),
      wantedIterations_(wantedIterations),
      minIncrement_(minIncrement),
      maxIncrement_(maxIncrement),
      lastIterations_(wantedIterations) {}

void DisplacementControl::domainChanged(AnalysisModel& model) {
  const Node* node = model.domain().findNode(nodeTag_);
  if (node == nullptr) {
    throw ModelError("DisplacementControl: there is no node " + std::to_string(nodeTag_));
  }
  equation_ = node->equation[dof_];
  if (equation_ < 0) {
    throw ModelError("DisplacementControl: degree of freedom " + std::to_string(dof_ + 1) +
                     " of node " + std::to_string(nodeTag_) + " is fixed");
  }
  // The reference load is the unbalance one unit of pseudo-time ahead. It is
  // the true load derivative only when the structure is in equilibrium now,
  // which is why scripts restart pseudo-time with loadConst before adding the
  // controlling pattern.
  const double ahead = model.currentTime() + 1.0;
  model.applyLoads(ahead);
  model.formUnbalance(referenceLoad_);
  model.setCurrentTime(ahead - 1.0);
}

bool DisplacementControl::newStep(AnalysisModel& model, std::string& why) {
  increment_ =
      adaptIncrement(increment_, wantedIterations_, lastIterations_, minIncrement_, maxIncrement_);
  lambda_ = model.currentTime();
  if (!model.formAndFactorTangent()) {
    why = "the tangent stiffness is singular";
    return false;
  }
  model.solve(referenceLoad_, unitResponse_);
  const double controlled = unitResponse_[equation_];
  if (controlled == 0.0) {
    why = "the reference load does not move the controlled degree of freedom";
    return false;
  }
  const double dLambda = increment_ / controlled;
  lambda_ += dLambda;
  std::vector<double> predictor(unitResponse_.size());
  for (std::size_t i = 0; i < predictor.size(); ++i) predictor[i] = unitResponse_[i] * dLambda;
  model.incrementDisplacements(predictor);
  model.applyLoads(lambda_);
  lastIterations_ = 0;
  return true;
}

bool DisplacementControl::update(AnalysisModel& model, const std::vector<double>& correction,
                                 std::vector<double>& x, std::string& why) {
  // Newton's correction would move the controlled component; add as much of
  // the reference response as cancels that, through the load factor.
  model.solve(referenceLoad_, unitResponse_);
  const double controlled = unitResponse_[equation_];
  if (controlled == 0.0) {
    why = "the reference load does not move the controlled degree of freedom";
    return false;
  }
  const double dLambda = -correction[equation_] / controlled;
  x.resize(correction.size());
  for (std::size_t i = 0; i < x.size(); ++i) x[i] = correction[i] + unitResponse_[i] * dLambda;
  lambda_ += dLambda;
  model.incrementDisplacements(x);
  model.applyLoads(lambda_);
  ++lastIterations_;
  return true;
}

void StaticAnalysis::setIntegrator(std::unique_ptr<Integrator> integrator) {
  integrator_ = std::move(integrator);
  integratorChanged_ = true;
}

bool StaticAnalysis::newton(std::string& why) {
  model_.formUnbalance(unbalance_);
  test_->start();
  for (;;) {
    if (!model_.formAndFactorTangent()) {
      why = "the tangent stiffness is singular";
      return false;
    }
    model_.solve(unbalance_, correction_);
    if (!integrator_->update(model_, correction_, increment_, why)) return false;
    model_.formUnbalance(unbalance_);
    switch (test_->test(increment_, unbalance_)) {
      case ConvergenceTest::Verdict::Converged:
        return true;
      case ConvergenceTest::Verdict::Failed:
        why = describeFailure(*test_);
        return false;
      case ConvergenceTest::Verdict::Continue:
        break;
    }
  }
}

int StaticAnalysis::analyze(int steps, const RunLimit& limit) {
  Domain& domain = model_.domain();
  for (int step = 0; step < steps; ++step) {
    if (limit.reached()) throw RunStopped{};
    if (integratorChanged_ || domain.changeStamp() != seenStamp_) {
      model_.renumber();
      integrator_->domainChanged(model_);
      seenStamp_ = domain.changeStamp();
      integratorChanged_ = false;
    }
    std::string why;
    int code = 0;
    if (!integrator_->newStep(model_, why)) {
      code = -2;
    } else if (!newton(why)) {
      code = -3;
    }
    if (code != 0) {
      failure_ = {code, step, domain.currentTime(), why};
      domain.revertToLastCommit();
      return code;
    }
    domain.commit();
  }
  return 0;
}

}  // namespace marrowick::engine
