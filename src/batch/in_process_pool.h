#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "batch/run_cache.h"
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
// next analysis step. A script run before in this pool, byte for byte and
// by the same name, is not run again: its outcome and files are those of
// the earlier run (RunCache).
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
  // A run that is not kept: stopped at the limit, left to the solver
  // program, or of a script that could not be read.
  RunOutcome Ended(const SolverRun& run, const engine::ScriptRun& result,
                   std::chrono::steady_clock::time_point started);
  RunOutcome ExecuteAsProcess(const SolverRun& run, std::chrono::steady_clock::time_point started);

  std::string solver_program_;
  // One limit for every run: a run kept within it would end within it again.
  std::chrono::steady_clock::duration timeout_;
  // A few megabytes hold a section's sweep of a typical size many times
  // over, and keep a study's memory flat.
  static constexpr std::size_t kKeptBytes = std::size_t{8} << 20;
  RunCache kept_{kKeptBytes};
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
