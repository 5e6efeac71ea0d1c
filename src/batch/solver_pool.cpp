#include "batch/solver_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>

#include "core/failure.h"
#include "core/number_text.h"
#include "solver/solver_process.h"

extern char** environ;

namespace marrowick {

namespace {

constexpr char kSolverName[] = "opensees.exe";
// The end of a solver's output kept for a failure's message.
constexpr off_t kOutputTail = 4096;
constexpr int kCaughtSignals[] = {SIGCHLD, SIGINT, SIGTERM, SIGHUP};

// The handlers only write to a pipe that the waiting loop polls: a child's
// end and an interrupt then wake it without a race.
int wake_pipe[2] = {-1, -1};
volatile sig_atomic_t interrupt_signal = 0;

void OnSignal(int signal_number) {
  const int saved_errno = errno;
  if (signal_number != SIGCHLD) interrupt_signal = signal_number;
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(wake_pipe[1], &byte, 1);
  errno = saved_errno;
}

struct sigaction previous_actions[std::size(kCaughtSignals)];

void CatchSignals() {
  if (::pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) FailSolverStart(kSolverName, errno);
  interrupt_signal = 0;
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART | SA_NOCLDSTOP;
  for (std::size_t i = 0; i < std::size(kCaughtSignals); ++i)
    ::sigaction(kCaughtSignals[i], &action, &previous_actions[i]);
}

void ReleaseSignals() {
  for (std::size_t i = 0; i < std::size(kCaughtSignals); ++i)
    ::sigaction(kCaughtSignals[i], &previous_actions[i], nullptr);
  for (int& fd : wake_pipe) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}

void DrainWakePipe() {
  char buffer[64];
  while (::read(wake_pipe[0], buffer, sizeof buffer) > 0) {
  }
}

// The last line a solver wrote, which names what went wrong.
std::string LastOutputLine(int fd) {
  struct stat info;
  if (::fstat(fd, &info) != 0 || info.st_size == 0) return {};
  const off_t start = std::max<off_t>(0, info.st_size - kOutputTail);
  std::string text(static_cast<std::size_t>(info.st_size - start), '\0');
  const ssize_t count = ::pread(fd, text.data(), text.size(), start);
  text.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
  text = TrimText(text);
  const std::size_t last_break = text.find_last_of("\r\n");
  return last_break == std::string::npos ? text : text.substr(last_break + 1);
}

std::string Seconds(std::chrono::steady_clock::duration duration) {
  char buffer[32];
  const double seconds = std::chrono::duration<double>(duration).count();
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, seconds).ptr) + " s";
}

// posix_spawn's settings, released on every way out.
class SpawnSettings {
 public:
  SpawnSettings() {
    ::posix_spawn_file_actions_init(&actions_);
    ::posix_spawnattr_init(&attributes_);
  }
  ~SpawnSettings() {
    ::posix_spawn_file_actions_destroy(&actions_);
    ::posix_spawnattr_destroy(&attributes_);
  }
  SpawnSettings(const SpawnSettings&) = delete;
  SpawnSettings& operator=(const SpawnSettings&) = delete;

  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

}  // namespace

SolverPool::SolverPool(std::string program, std::chrono::steady_clock::duration timeout)
    : program_(std::move(program)), timeout_(timeout) {
  CatchSignals();
}

SolverPool::~SolverPool() {
  KillAll();
  ReleaseSignals();
}

int SolverPool::Interrupt() const {
  return interrupt_signal;
}

void SolverPool::Start(const SolverRun& run) {
  const std::string recorder = run.directory + "/" + run.recorder;
  if (::unlink(recorder.c_str()) != 0 && errno != ENOENT) FailFileDelete(recorder, errno);

  const std::string command_line = std::string(kSolverName) + " " + run.script;
  Child child{run, -1, ::memfd_create("solver-output", MFD_CLOEXEC), {}};
  if (child.output_fd < 0) FailSolverStart(command_line, errno);

  SpawnSettings settings;
  // The solver works in its section's directory, reads nothing from a
  // console, and starts with default signal actions and an empty mask in a
  // process group of its own.
  ::posix_spawn_file_actions_addchdir_np(&settings.actions_, run.directory.c_str());
  ::posix_spawn_file_actions_addopen(&settings.actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  ::posix_spawn_file_actions_adddup2(&settings.actions_, child.output_fd, STDOUT_FILENO);
  ::posix_spawn_file_actions_adddup2(&settings.actions_, child.output_fd, STDERR_FILENO);
  sigset_t signals;
  sigemptyset(&signals);
  ::posix_spawnattr_setsigmask(&settings.attributes_, &signals);
  sigfillset(&signals);
  ::posix_spawnattr_setsigdefault(&settings.attributes_, &signals);
  ::posix_spawnattr_setpgroup(&settings.attributes_, 0);
  ::posix_spawnattr_setflags(&settings.attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                                        POSIX_SPAWN_SETPGROUP);

  std::string argument0 = kSolverName;
  std::string argument1 = run.script;
  char* const argv[] = {argument0.data(), argument1.data(), nullptr};
  child.started = std::chrono::steady_clock::now();
  const int error = ::posix_spawn(&child.pid, program_.c_str(), &settings.actions_,
                                  &settings.attributes_, argv, environ);
  if (error != 0) {
    ::close(child.output_fd);
    FailSolverStart(command_line, error);
  }
  children_.push_back(std::move(child));
}

std::vector<RunOutcome> SolverPool::WaitAny() {
  for (;;) {
    if (Interrupt() != 0) return {};
    std::vector<RunOutcome> ended;
    const auto now = std::chrono::steady_clock::now();
    auto next_deadline = std::chrono::steady_clock::time_point::max();
    for (auto it = children_.begin(); it != children_.end();) {
      int status = 0;
      pid_t reaped = ::waitpid(it->pid, &status, WNOHANG);
      if (reaped == 0 && now - it->started >= timeout_) {
        ::kill(-it->pid, SIGKILL);
        while ((reaped = ::waitpid(it->pid, &status, 0)) < 0 && errno == EINTR) {
        }
        ended.push_back({it->run, false, "timed out after " + Seconds(timeout_) + " and was killed",
                         now - it->started});
        Release(*it);
        it = children_.erase(it);
      } else if (reaped == it->pid) {
        ended.push_back(Reaped(*it, status));
        it = children_.erase(it);
      } else {
        next_deadline = std::min(next_deadline, it->started + timeout_);
        ++it;
      }
    }
    if (!ended.empty() || children_.empty()) return ended;

    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next_deadline - now);
    pollfd wake{wake_pipe[0], POLLIN, 0};
    ::poll(&wake, 1, static_cast<int>(std::clamp<long long>(wait.count(), 1, 60000)));
    DrainWakePipe();
  }
}

RunOutcome SolverPool::Reaped(Child& child, int status) {
  RunOutcome outcome{child.run, false, {}, std::chrono::steady_clock::now() - child.started};
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    outcome.ok = true;
  } else {
    outcome.reason = WIFEXITED(status)
                         ? "the solver exited with status " + std::to_string(WEXITSTATUS(status))
                         : "the solver was ended by signal " + std::to_string(WTERMSIG(status)) +
                               " (" + ::strsignal(WTERMSIG(status)) + ")";
    const std::string last_line = LastOutputLine(child.output_fd);
    if (!last_line.empty()) outcome.reason += ": " + last_line;
  }
  Release(child);
  return outcome;
}

void SolverPool::Release(Child& child) {
  // Whatever the solver started and left behind goes with it.
  ::kill(-child.pid, SIGKILL);
  ::close(child.output_fd);
}

void SolverPool::KillAll() {
  for (Child& child : children_) {
    ::kill(-child.pid, SIGKILL);
    while (::waitpid(child.pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    Release(child);
  }
  children_.clear();
}

}  // namespace marrowick
