#include "batch/solver_pool.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstring>

#include "core/failure.h"
#include "core/number_text.h"
#include "solver/solver_process.h"

namespace marrowick {

namespace {

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
  if (::pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) FailSolverStart(kSolverCommandName, errno);
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

// The end of a solver's output, where the line naming what went wrong is.
std::string OutputTail(int fd) {
  struct stat info;
  if (::fstat(fd, &info) != 0 || info.st_size == 0) return {};
  const off_t start = std::max<off_t>(0, info.st_size - kOutputTail);
  std::string text(static_cast<std::size_t>(info.st_size - start), '\0');
  const ssize_t count = ::pread(fd, text.data(), text.size(), start);
  text.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
  return text;
}

std::string Seconds(std::chrono::steady_clock::duration duration) {
  char buffer[32];
  const double seconds = std::chrono::duration<double>(duration).count();
  return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, seconds).ptr) + " s";
}

}  // namespace

RunPool::RunPool() {
  CatchSignals();
}

RunPool::~RunPool() {
  ReleaseSignals();
}

int RunPool::Interrupt() const {
  return interrupt_signal;
}

void RunPool::Sleep(std::chrono::milliseconds most) {
  pollfd wake{wake_pipe[0], POLLIN, 0};
  ::poll(&wake, 1, static_cast<int>(std::clamp<long long>(most.count(), 1, 60000)));
  DrainWakePipe();
}

void RunPool::Wake() {
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = ::write(wake_pipe[1], &byte, 1);
}

std::string TimedOutReason(std::chrono::steady_clock::duration timeout) {
  return "timed out after " + Seconds(timeout) + " and was killed";
}

std::string LastOutputLine(std::string_view output) {
  const std::string text = TrimText(std::string(output.substr(
      output.size() > static_cast<std::size_t>(kOutputTail) ? output.size() - kOutputTail : 0)));
  const std::size_t last_break = text.find_last_of("\r\n");
  return last_break == std::string::npos ? text : text.substr(last_break + 1);
}

SolverPool::SolverPool(std::string program, std::string name,
                       std::chrono::steady_clock::duration timeout, int jobs)
    : program_(std::move(program)),
      name_(std::move(name)),
      timeout_(timeout),
      jobs_(static_cast<std::size_t>(jobs)) {}

SolverPool::~SolverPool() {
  KillAll();
}

void SolverPool::Start(const SolverRun& run) {
  const std::string recorder = run.directory + "/" + run.recorder;
  if (::unlink(recorder.c_str()) != 0 && errno != ENOENT) FailFileDelete(recorder, errno);

  Child child{run, {}, ::memfd_create("solver-output", MFD_CLOEXEC), {}};
  if (child.output_fd < 0) FailSolverStart(name_ + " " + run.script, errno);
  child.started = std::chrono::steady_clock::now();
  try {
    child.process = LaunchSolver({.program = program_,
                                  .name = name_,
                                  .script = run.script,
                                  .directory = run.directory,
                                  .output_fd = child.output_fd});
  } catch (const Failure&) {
    ::close(child.output_fd);
    throw;
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
      if (const std::optional<int> status = it->process.Reap()) {
        ended.push_back(Reaped(*it, *status));
        it = children_.erase(it);
      } else if (now - it->started >= timeout_) {
        it->process.KillAndReap();
        ended.push_back({it->run, false, TimedOutReason(timeout_), now - it->started});
        ::close(it->output_fd);
        it = children_.erase(it);
      } else {
        next_deadline = std::min(next_deadline, it->started + timeout_);
        ++it;
      }
    }
    if (!ended.empty() || children_.empty()) return ended;

    Sleep(std::chrono::ceil<std::chrono::milliseconds>(next_deadline - now));
  }
}

RunOutcome SolverPool::Reaped(Child& child, int status) {
  RunOutcome outcome{child.run, false, WaitStatusReason(status),
                     std::chrono::steady_clock::now() - child.started};
  outcome.ok = outcome.reason.empty();
  if (!outcome.ok) {
    const std::string last_line = LastOutputLine(OutputTail(child.output_fd));
    if (!last_line.empty()) outcome.reason += ": " + last_line;
  }
  ::close(child.output_fd);
  return outcome;
}

void SolverPool::KillAll() {
  for (Child& child : children_) {
    child.process.KillAndReap();
    ::close(child.output_fd);
  }
  children_.clear();
}

}  // namespace marrowick
