#include "app/solver_watch.h"

#include <QSocketNotifier>
#include <QTimer>
#include <string>

#include "core/failure.h"

namespace marrowick {

namespace {

constexpr int kPollMilliseconds = 100;

std::size_t Slot(Analysis analysis) {
  return static_cast<std::size_t>(analysis);
}

// Named by what the user pressed to start it.
std::string Starter(Analysis analysis) {
  switch (analysis) {
    case Analysis::MomentCurvature:
      return "OpenSEES弯矩曲率分析";
    case Analysis::Sweep:
      return "OpenSEES PM分析";
    case Analysis::Contour:
      break;
  }
  return "显示Mx-My曲线";
}

}  // namespace

struct SolverWatch::Watched {
  SolverProcess solver;
  std::unique_ptr<QSocketNotifier> ended;
};

SolverWatch::SolverWatch(QObject* parent) : QObject(parent), poll_(new QTimer(this)) {
  poll_->setInterval(kPollMilliseconds);
  connect(poll_, &QTimer::timeout, this, [this] {
    ReapEnded(Analysis::MomentCurvature);
    ReapEnded(Analysis::Sweep);
    ReapEnded(Analysis::Contour);
  });
}

SolverWatch::~SolverWatch() = default;

void SolverWatch::Watch(Analysis analysis, SolverProcess solver) {
  auto watched = std::make_unique<Watched>();
  watched->solver = std::move(solver);
  if (const int fd = watched->solver.ExitDescriptor(); fd >= 0) {
    watched->ended = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
    connect(watched->ended.get(), &QSocketNotifier::activated, this,
            [this, analysis] { ReapEnded(analysis); });
  } else {
    poll_->start();
  }
  running_[Slot(analysis)].push_back(std::move(watched));
}

void SolverWatch::ReapEnded(Analysis analysis) {
  auto& running = running_[Slot(analysis)];
  if (running.empty()) return;
  std::erase_if(running, [](const std::unique_ptr<Watched>& watched) {
    if (!watched->solver.Ended()) return false;
    // The notifier goes before the reaping closes the descriptor it watches.
    watched->ended.reset();
    watched->solver.Reap();
    return true;
  });
  if (running.empty()) {
    if (running_[0].empty() && running_[1].empty() && running_[2].empty()) poll_->stop();
    emit AnalysisEnded(analysis);
  }
}

int SolverWatch::Running(Analysis analysis) {
  ReapEnded(analysis);
  return static_cast<int>(running_[Slot(analysis)].size());
}

void SolverWatch::CheckIdle(Analysis analysis) {
  const int running = Running(analysis);
  if (running == 0) return;
  // Named by its button, which the user has just pressed.
  const std::string button = Starter(analysis);
  throw Failure(
      FailureKind::SolverBusy,
      button + " still has " + (running == 1 ? "1 solver" : std::to_string(running) + " solvers") +
          " running; press it again once " + (running == 1 ? "it has" : "they have") + " ended");
}

}  // namespace marrowick
