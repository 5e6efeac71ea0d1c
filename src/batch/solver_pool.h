#pragma once

#include <chrono>
#include <string>
#include <vector>

#include "solver/solver_launcher.h"

namespace marrowick {

// One solver run: the script it is started on, in the directory it works in.
struct SolverRun {
  std::string directory;
  std::string script;    // "os.tcl", "P3.tcl"
  std::string recorder;  // the file the script records into
  int section = 0;       // the caller's numbers, handed back with the outcome
  int level = 0;         // 0 for the moment-curvature run
  int contour_run = 0;   // 1 to kContourRuns for the Mx–My contour's runs (level 0)
};

struct RunOutcome {
  SolverRun run;
  bool ok = false;
  std::string reason;  // why not, in words: exit status, signal, time-out
  std::chrono::steady_clock::duration time{};
};

// Runs solvers as child processes, each waited for up to a time limit. Unlike
// the window's detached starts, a batch must know when every run has ended
// and how, and must never leave one behind: each solver gets a process group
// of its own, so that a time-out or an interrupt kills whatever it started
// too, and the pool's destructor kills and reaps every run still going.
// Ctrl+C, SIGTERM and SIGHUP are caught while a pool exists and end WaitAny.
class SolverPool {
 public:
  // Runs `program`; messages call it `name`.
  SolverPool(std::string program, std::string name, std::chrono::steady_clock::duration timeout);
  ~SolverPool();
  SolverPool(const SolverPool&) = delete;
  SolverPool& operator=(const SolverPool&) = delete;

  // Deletes the run's recorder file, so that a solver that stops before its
  // recorder line leaves no earlier result to be read as its own, then starts
  // the solver as "opensees.exe SCRIPT" in the run's directory. Fails with
  // the file-deletion failure naming a recorder file that cannot be deleted
  // and with the solver-start failure when the program cannot be run or the
  // directory entered; no solver is then started.
  void Start(const SolverRun& run);

  std::size_t Running() const { return children_.size(); }

  // Waits until at least one run has ended (or was killed at its time
  // limit) and returns those that have; returns nothing at once when an
  // interrupt has arrived.
  std::vector<RunOutcome> WaitAny();

  // The signal that interrupted the batch, or 0.
  int Interrupt() const;

  // Kills every running solver with everything it started, and reaps them.
  void KillAll();

 private:
  struct Child {
    SolverRun run;
    SolverProcess process;
    int output_fd = -1;  // the solver's standard output and error
    std::chrono::steady_clock::time_point started;
  };

  RunOutcome Reaped(Child& child, int status);

  std::string program_;
  std::string name_;
  std::chrono::steady_clock::duration timeout_;
  std::vector<Child> children_;
};

}  // namespace marrowick
