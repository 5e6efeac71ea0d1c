#pragma once

#include <sys/types.h>

#include <optional>
#include <string>

namespace marrowick {

// The solver's command name: what a solver is started as, whichever program
// stands behind it, and what messages call it unless the user named one.
inline constexpr char kSolverCommandName[] = "opensees.exe";

// One solver to start: "opensees.exe SCRIPT" run as PROGRAM in DIRECTORY.
struct SolverCommand {
  std::string program;                    // the file executed, an absolute path
  std::string name = kSolverCommandName;  // what messages call it: the path a user gave
  std::string script;                     // the one argument, relative to the directory
  std::string directory;                  // where it works; empty for the current directory
  int output_fd = -1;                     // its standard output and error; -1 keeps ours
};

// A started solver: a child of this process in a session of its own, so that
// it outlives the program and whatever it starts can be killed with it.
// Ending the object neither waits for nor kills a solver still running: the
// window's solvers finish their work after the window has closed.
class SolverProcess {
 public:
  SolverProcess() = default;
  SolverProcess(pid_t pid, int exit_fd) : pid_(pid), exit_fd_(exit_fd) {}
  SolverProcess(SolverProcess&& other) noexcept;
  SolverProcess& operator=(SolverProcess&& other) noexcept;
  SolverProcess(const SolverProcess&) = delete;
  SolverProcess& operator=(const SolverProcess&) = delete;
  ~SolverProcess();

  pid_t Pid() const { return pid_; }
  // Becomes readable once the solver has ended (a pidfd); -1 where the
  // system has none, and the owner must poll Reap instead.
  int ExitDescriptor() const { return exit_fd_; }
  bool Reaped() const { return pid_ < 0; }

  // Whether the solver has ended (it stays unreaped).
  bool Ended() const;
  // Once the solver has ended: kills what it left running in its session,
  // reaps it and returns its wait status. Returns nothing while it runs.
  // The group is killed before the reaping, while its number cannot yet
  // belong to another process.
  std::optional<int> Reap();
  // Kills the solver with everything it started and reaps it.
  int KillAndReap();

 private:
  int Collect();

  pid_t pid_ = -1;
  int exit_fd_ = -1;
};

// Starts the solver with its standard input on /dev/null, default signal
// actions, an empty signal mask and none of this program's other
// descriptors. Every step of the start is checked: a working directory that
// cannot be entered, like a program that cannot be executed, fails with the
// solver-start failure naming "NAME SCRIPT", and nothing then runs.
SolverProcess LaunchSolver(const SolverCommand& command);

// Why a run with this wait status did not succeed, in words ("the solver
// exited with status 1"); empty when it exited with 0.
std::string WaitStatusReason(int status);

}  // namespace marrowick
