#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "batch/solver_pool.h"

namespace marrowick {

namespace engine {
class FiberBodyMemo;
}

// Runs the bundled solver's engine inside the batch, on threads of its own:
// a run costs a fraction of a millisecond, far less than starting a process
// for it. Every run is the solver program's run of the same script in its
// folder (the same recorder files, byte for byte, and the same exit status
// and last line of output when it fails), and each keeps its model to
// itself. A script that needs a Tcl interpreter, whose file commands know
// only the working directory, is run by `solver_program` as a process, as
// SolverPool would. A run still going at the time limit stops before its
// next analysis step.
class InProcessPool final : public RunPool {
 public:
  // `queued` runs per thread may be started ahead (at least 2).
  InProcessPool(int threads, std::string solver_program,
                std::chrono::steady_clock::duration timeout, int queued = 2);
  ~InProcessPool() override;

  void Start(const SolverRun& run) override;
  std::size_t Running() const override;
  // The next runs wait while the batch's own thread handles ended ones, so
  // that no thread stands idle meanwhile.
  std::size_t Capacity() const override { return queued_ * threads_.size(); }
  // A script in memory is run as the same file would be: creating, reading
  // and deleting a file per run costs the system more than the run's
  // commands other than the analysis.
  bool TakesScriptText() const override { return true; }
  std::vector<RunOutcome> WaitAny() override;
  void KillAll() override;

 private:
  void Work();
  RunOutcome Execute(SolverRun& run, engine::FiberBodyMemo& memo);
  RunOutcome ExecuteAsProcess(const SolverRun& run, std::chrono::steady_clock::time_point started);

  std::string solver_program_;
  std::chrono::steady_clock::duration timeout_;
  std::size_t queued_;
  std::atomic<bool> cancelled_{false};
  mutable std::mutex mutex_;
  std::condition_variable work_;  // a run waits, or the pool closes
  std::condition_variable idle_;  // a thread has put a run down
  std::deque<SolverRun> waiting_;
  std::vector<RunOutcome> ended_;
  std::size_t running_ = 0;  // started and not yet handed back
  std::size_t busy_ = 0;     // being run by a thread now
  bool closing_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace marrowick
