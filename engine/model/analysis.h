#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "model/domain.h"

namespace marrowick::engine {

// The equations of a domain: tangent, unbalance and displacement increments
// over the free degrees of freedom, solved directly (the systems of a section
// analysis have a handful of equations).
class AnalysisModel {
 public:
  explicit AnalysisModel(Domain& domain) : domain_(domain) {}

  Domain& domain() { return domain_; }
  int size() const { return size_; }
  // Numbers the equations again after the model changed; throws ModelError
  // when the system would be too large for a direct dense solution.
  void renumber();

  void applyLoads(double time) { domain_.applyLoads(time); }
  double currentTime() const { return domain_.currentTime(); }
  void setCurrentTime(double time) { domain_.setCurrentTime(time); }
  // Adds an increment to the trial displacements and updates every element.
  void incrementDisplacements(const std::vector<double>& increment);

  // Assembles and factors the tangent at the current trial state; false when
  // it is singular (a zero pivot under partial pivoting).
  bool formAndFactorTangent();
  // Solves with the last factored tangent.
  void solve(const std::vector<double>& rhs, std::vector<double>& solution) const;
  // External loads at the current time minus the resisting forces.
  void formUnbalance(std::vector<double>& unbalance) const;

 private:
  Domain& domain_;
  int size_ = 0;
  std::vector<double> lu_;  // row-major, factored in place
  std::vector<int> pivots_;
  std::vector<int> originalRow_;  // the equation each row of lu_ began as
};

// What a step's convergence test measures.
enum class TestKind { EnergyIncr, NormDispIncr, NormUnbalance };

class ConvergenceTest {
 public:
  ConvergenceTest(TestKind kind, double tolerance, int maxIterations)
      : kind_(kind), tolerance_(tolerance), maxIterations_(maxIterations) {}

  void start() { iteration_ = 1; }
  enum class Verdict { Converged, Continue, Failed };
  // x is the increment the integrator applied, r the unbalance after it.
  Verdict test(const std::vector<double>& x, const std::vector<double>& r);

  TestKind kind() const { return kind_; }
  const char* name() const;
  double tolerance() const { return tolerance_; }
  int maxIterations() const { return maxIterations_; }
  int iteration() const { return iteration_; }
  double lastNorm() const { return lastNorm_; }

 private:
  TestKind kind_;
  double tolerance_;
  int maxIterations_;
  int iteration_ = 1;
  double lastNorm_ = 0.0;
};

// How a static step moves along the load path.
class Integrator {
 public:
  virtual ~Integrator() = default;
  // Once before the first step after the model changed. Throws ModelError for
  // a model the integrator cannot drive.
  virtual void domainChanged(AnalysisModel& model) { (void)model; }
  // Predicts the step; false when it cannot (the failure is described in why).
  virtual bool newStep(AnalysisModel& model, std::string& why) = 0;
  // Applies Newton's correction; x receives the increment actually applied.
  virtual bool update(AnalysisModel& model, const std::vector<double>& correction,
                      std::vector<double>& x, std::string& why) = 0;
};

// Pseudo-time advances by a fixed increment (adapted to the iterations of the
// last step when asked to), and Newton corrects the displacements.
class LoadControl final : public Integrator {
 public:
  LoadControl(double increment, int wantedIterations, double minIncrement, double maxIncrement);
  bool newStep(AnalysisModel& model, std::string& why) override;
  bool update(AnalysisModel& model, const std::vector<double>& correction, std::vector<double>& x,
              std::string& why) override;

 private:
  double increment_;
  int wantedIterations_;
  double minIncrement_;
  double maxIncrement_;
  int lastIterations_;
};

// One displacement component advances by a fixed increment; the load factor
// is whatever keeps the structure in equilibrium (the arc of the reference
// load found when the model last changed).
class DisplacementControl final : public Integrator {
 public:
  DisplacementControl(int nodeTag, int dof, double increment, int wantedIterations,
                      double minIncrement, double maxIncrement);
  void domainChanged(AnalysisModel& model) override;
  bool newStep(AnalysisModel& model, std::string& why) override;
  bool update(AnalysisModel& model, const std::vector<double>& correction, std::vector<double>& x,
              std::string& why) override;

 private:
  int nodeTag_;
  int dof_;  // 0-based
  int equation_ = -1;
  double increment_;
  int wantedIterations_;
  double minIncrement_;
  double maxIncrement_;
  int lastIterations_;
  double lambda_ = 0.0;
  std::vector<double> referenceLoad_;  // p̂
  std::vector<double> unitResponse_;   // û = K⁻¹·p̂
};

// What went wrong in the step that analyze stopped at.
struct StepFailure {
  int code = 0;  // -2 the step could not start, -3 Newton failed
  int step = 0;  // 0-based, within this analyze
  double time = 0.0;
  std::string reason;
};

// When a run must give up before its script ends: at a deadline, or once
// the flag is set (a program stopping every run it has started). Checked
// before each step, so a step is never left half done.
struct RunLimit {
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  const std::atomic<bool>* cancelled = nullptr;
  bool reached() const {
    return (cancelled != nullptr && cancelled->load(std::memory_order_relaxed)) ||
           (deadline != std::chrono::steady_clock::time_point::max() &&
            std::chrono::steady_clock::now() >= deadline);
  }
};

// Thrown by analyze once its limit is reached.
struct RunStopped {};

// Static analysis with Newton iterations: runs the steps, commits the
// converged ones and stops at the first that fails, leaving the domain at its
// last committed state.
class StaticAnalysis {
 public:
  explicit StaticAnalysis(Domain& domain) : model_(domain) {}

  void setIntegrator(std::unique_ptr<Integrator> integrator);
  void setTest(std::unique_ptr<ConvergenceTest> test) { test_ = std::move(test); }
  bool hasIntegrator() const { return integrator_ != nullptr; }
  bool hasTest() const { return test_ != nullptr; }

  // Returns 0, or the failure code of the step it stopped at (see failure()).
  // Throws ModelError for a model it cannot analyse at all, RunStopped once
  // the limit is reached.
  int analyze(int steps, const RunLimit& limit = {});
  const StepFailure& failure() const { return failure_; }

 private:
  bool newton(std::string& why);

  AnalysisModel model_;
  std::unique_ptr<Integrator> integrator_;
  std::unique_ptr<ConvergenceTest> test_;
  bool integratorChanged_ = true;
  unsigned seenStamp_ = 0;
  StepFailure failure_;
  std::vector<double> unbalance_;
  std::vector<double> correction_;
  std::vector<double> increment_;
};

}  // namespace marrowick::engine
