#pragma once

#include <chrono>
#include <string>
#include <string_view>
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
  // The script's bytes, for a pool that reads scripts from memory
  // (TakesScriptText); empty when the script was saved in the directory.
  std::string text;
};

struct RunOutcome {
  SolverRun run;
  bool ok = false;
  std::string reason;  // why not, in words: exit status, signal, time-out
  std::chrono::steady_clock::duration time{};
  // Not run again: an earlier run of the same script gave the outcome and
  // its files.
  bool repeated = false;
};

// Where a batch's runs go: started one by one, handed back as they end.
// Ctrl+C, SIGTERM and SIGHUP are caught while a pool exists and end WaitAny.
class RunPool {
 public:
  RunPool();
  virtual ~RunPool();
  RunPool(const RunPool&) = delete;
  RunPool& operator=(const RunPool&) = delete;

  // Deletes the run's recorder file, so that a solver that stops before its
  // recorder line leaves no earlier result to be read as its own, then
  // starts the run. Fails with the file-deletion failure naming a recorder
  // file that cannot be deleted, and with the solver-start failure when the
  // run cannot be started; nothing is then started.
  virtual void Start(const SolverRun& run) = 0;
  // Runs started and not yet handed back.
  virtual std::size_t Running() const = 0;
  // How many runs may be started at once.
  virtual std::size_t Capacity() const = 0;
  // Whether runs may come with their script's text instead of a saved file.
  virtual bool TakesScriptText() const { return false; }
  // Waits until at least one run has ended (or was stopped at its time
  // limit) and returns those that have; returns nothing at once when an
  // interrupt has arrived or nothing runs.
  virtual std::vector<RunOutcome> WaitAny() = 0;
  // Stops every run still going and forgets it.
  virtual void KillAll() = 0;

  // The signal that interrupted the batch, or 0.
  int Interrupt() const;

 protected:
  // Waits for a signal, a Wake, or the time to pass.
  static void Sleep(std::chrono::milliseconds most);
  // Ends a Sleep; may be called from any thread.
  static void Wake();
};

// Why a run that was stopped at the time limit failed.
std::string TimedOutReason(std::chrono::steady_clock::duration timeout);
// The last line of a solver's output, which names what went wrong.
std::string LastOutputLine(std::string_view output);

// Runs solvers as child processes, each waited for up to a time limit. Unlike
// the window's detached starts, a batch must know when every run has ended
// and how, and must never leave one behind: each solver gets a process group
// of its own, so that a time-out or an interrupt kills whatever it started
// too, and the pool's destructor kills and reaps every run still going.
class SolverPool final : public RunPool {
 public:
  // Runs `program`, at most `jobs` at once; messages call it `name`.
  SolverPool(std::string program, std::string name, std::chrono::steady_clock::duration timeout,
             int jobs);
  ~SolverPool() override;

  // Starts the solver as "opensees.exe SCRIPT" in the run's directory.
  void Start(const SolverRun& run) override;
  std::size_t Running() const override { return children_.size(); }
  std::size_t Capacity() const override { return jobs_; }
  std::vector<RunOutcome> WaitAny() override;
  // Kills every running solver with everything it started, and reaps them.
  void KillAll() override;

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
  std::size_t jobs_;
  std::vector<Child> children_;
};

}  // namespace marrowick
