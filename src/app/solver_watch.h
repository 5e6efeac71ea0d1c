#pragma once

#include <QObject>
#include <array>
#include <memory>
#include <vector>

#include "solver/solver_launcher.h"

class QSocketNotifier;
class QTimer;

namespace marrowick {

// The window's analyses, each with the solvers it started: the two of the
// buttons and the Mx–My contour of the drawing surface's menu.
enum class Analysis { MomentCurvature, Sweep, Contour };

// Watches the solvers the window starts: the event loop says when each ends,
// without the window ever waiting for one. An analysis whose solvers still
// run is not started again, since its scripts and recorder files would be
// rewritten under them; the other analysis is independent. Solvers still
// running when the window closes are left to finish.
class SolverWatch : public QObject {
  Q_OBJECT

 public:
  explicit SolverWatch(QObject* parent = nullptr);
  ~SolverWatch() override;

  void Watch(Analysis analysis, SolverProcess solver);

  // Solvers of the analysis not yet ended, counted afresh: one that has
  // ended but whose end the event loop has not yet seen is not counted.
  int Running(Analysis analysis);

  // Fails, saying how many of its solvers still run, when the analysis has
  // any; a press of its button then starts nothing.
  void CheckIdle(Analysis analysis);

 signals:
  // The analysis's last running solver has ended.
  void AnalysisEnded(Analysis analysis);

 private:
  struct Watched;

  void ReapEnded(Analysis analysis);

  std::array<std::vector<std::unique_ptr<Watched>>, 3> running_;
  // Polls for ends where the system gives no descriptor to wait on.
  QTimer* poll_ = nullptr;
};

}  // namespace marrowick
