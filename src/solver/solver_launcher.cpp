#include "solver/solver_launcher.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/failure.h"
#include "solver/solver_process.h"

extern char** environ;

namespace marrowick {

namespace {

// posix_spawn's settings, released on every way out; each setting is checked
// as it is made, since a setting that silently failed (a working directory
// not entered) would start the solver somewhere else.
class SpawnSettings {
 public:
  explicit SpawnSettings(const std::string& command_line) : command_line_(command_line) {
    Check(::posix_spawn_file_actions_init(&actions_));
    if (const int error = ::posix_spawnattr_init(&attributes_); error != 0) {
      ::posix_spawn_file_actions_destroy(&actions_);
      FailSolverStart(command_line_, error);
    }
  }
  ~SpawnSettings() {
    ::posix_spawn_file_actions_destroy(&actions_);
    ::posix_spawnattr_destroy(&attributes_);
  }
  SpawnSettings(const SpawnSettings&) = delete;
  SpawnSettings& operator=(const SpawnSettings&) = delete;

  void Check(int error) const {
    if (error != 0) FailSolverStart(command_line_, error);
  }

  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;

 private:
  const std::string& command_line_;
};

}  // namespace

SolverProcess::SolverProcess(SolverProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), exit_fd_(std::exchange(other.exit_fd_, -1)) {}

SolverProcess& SolverProcess::operator=(SolverProcess&& other) noexcept {
  if (this != &other) {
    if (exit_fd_ >= 0) ::close(exit_fd_);
    pid_ = std::exchange(other.pid_, -1);
    exit_fd_ = std::exchange(other.exit_fd_, -1);
  }
  return *this;
}

SolverProcess::~SolverProcess() {
  if (exit_fd_ >= 0) ::close(exit_fd_);
}

namespace {

// Whether the child has ended, leaving it unreaped (WNOWAIT), so that its
// number still names its session while the rest of that is killed. Nothing
// when it was reaped elsewhere and nothing more can be known.
std::optional<bool> HasEnded(pid_t pid) {
  siginfo_t info;
  std::memset(&info, 0, sizeof info);
  while (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) != 0)
    if (errno != EINTR) return std::nullopt;
  return info.si_pid != 0;
}

}  // namespace

bool SolverProcess::Ended() const {
  return pid_ < 0 || HasEnded(pid_).value_or(true);
}

std::optional<int> SolverProcess::Reap() {
  if (pid_ < 0) return std::nullopt;
  const std::optional<bool> ended = HasEnded(pid_);
  if (ended == false) return std::nullopt;
  // Reaped elsewhere, its number may already be another's: nothing is killed.
  if (ended.has_value()) ::kill(-pid_, SIGKILL);
  return Collect();
}

int SolverProcess::KillAndReap() {
  if (pid_ < 0) return 0;
  ::kill(-pid_, SIGKILL);
  return Collect();
}

int SolverProcess::Collect() {
  int status = 0;
  while (::waitpid(pid_, &status, 0) < 0) {
    // Reaped elsewhere already: nothing more can be known of how it ended.
    if (errno != EINTR) {
      status = 0;
      break;
    }
  }
  if (exit_fd_ >= 0) ::close(exit_fd_);
  exit_fd_ = -1;
  pid_ = -1;
  return status;
}

SolverProcess LaunchSolver(const SolverCommand& command) {
  const std::string command_line = command.name + " " + command.script;
  SpawnSettings settings(command_line);
  posix_spawn_file_actions_t* actions = &settings.actions_;
  if (!command.directory.empty())
    settings.Check(::posix_spawn_file_actions_addchdir_np(actions, command.directory.c_str()));
  // The solver reads nothing from a console, and this program's descriptors
  // (open files, the window system's connection) are none of its business.
  settings.Check(
      ::posix_spawn_file_actions_addopen(actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0));
  if (command.output_fd >= 0) {
    settings.Check(::posix_spawn_file_actions_adddup2(actions, command.output_fd, STDOUT_FILENO));
    settings.Check(::posix_spawn_file_actions_adddup2(actions, command.output_fd, STDERR_FILENO));
  }
  settings.Check(::posix_spawn_file_actions_addclosefrom_np(actions, STDERR_FILENO + 1));

  // Ignored signals and the signal mask would survive exec: the solver starts
  // clean, in a session of its own, so that closing Marrowick's terminal does
  // not stop it and killing its session ends whatever it started.
  sigset_t signals;
  sigemptyset(&signals);
  settings.Check(::posix_spawnattr_setsigmask(&settings.attributes_, &signals));
  sigfillset(&signals);
  settings.Check(::posix_spawnattr_setsigdefault(&settings.attributes_, &signals));
  settings.Check(::posix_spawnattr_setflags(
      &settings.attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID));

  std::string argument0 = kSolverCommandName;
  std::string argument1 = command.script;
  char* const argv[] = {argument0.data(), argument1.data(), nullptr};
  pid_t pid = -1;
  settings.Check(
      ::posix_spawn(&pid, command.program.c_str(), actions, &settings.attributes_, argv, environ));
  // The solver is an unreaped child, so its number cannot have been reused.
  // (The system call itself: the C library's header of this version declares
  // its wrapper without C linkage.)
  return SolverProcess(pid, static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
}

std::string WaitStatusReason(int status) {
  if (WIFEXITED(status))
    return WEXITSTATUS(status) == 0
               ? std::string()
               : "the solver exited with status " + std::to_string(WEXITSTATUS(status));
  if (WIFSIGNALED(status))
    return "the solver was ended by signal " + std::to_string(WTERMSIG(status)) + " (" +
           ::strsignal(WTERMSIG(status)) + ")";
  return "the solver ended with wait status " + std::to_string(status);
}

}  // namespace marrowick
