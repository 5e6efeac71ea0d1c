#include "batch/in_process_pool.h"

#include <poll.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/failure.h"
#include "core/text_file.h"
#include "interpreter/commands.h"
#include "interpreter/plain_script.h"
#include "solver/solver_process.h"

namespace marrowick {

namespace {

// The wait status of a solver program that exited with this status.
int ExitedWith(int status) {
  return status << 8;
}

RunOutcome Outcome(const SolverRun& run, int exit_status, const std::string& output,
                   std::chrono::steady_clock::time_point started) {
  RunOutcome outcome{run, exit_status == 0, WaitStatusReason(ExitedWith(exit_status)),
                     std::chrono::steady_clock::now() - started};
  if (!outcome.ok) {
    const std::string last_line = LastOutputLine(output);
    if (!last_line.empty()) outcome.reason += ": " + last_line;
  }
  return outcome;
}

}  // namespace

InProcessPool::InProcessPool(int threads, std::string solver_program,
                             std::chrono::steady_clock::duration timeout, int queued)
    : solver_program_(std::move(solver_program)),
      timeout_(timeout),
      queued_(static_cast<std::size_t>(std::max(queued, 2))) {
  for (int i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
}

InProcessPool::~InProcessPool() {
  KillAll();
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  work_.notify_all();
  for (std::thread& thread : threads_) thread.join();
}

void InProcessPool::Start(const SolverRun& run) {
  const std::string recorder = run.directory + "/" + run.recorder;
  if (::unlink(recorder.c_str()) != 0 && errno != ENOENT) FailFileDelete(recorder, errno);
  {
    std::lock_guard lock(mutex_);
    waiting_.push_back(run);
    ++running_;
  }
  work_.notify_one();
}

std::size_t InProcessPool::Running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

std::vector<RunOutcome> InProcessPool::WaitAny() {
  for (;;) {
    if (Interrupt() != 0) return {};
    {
      std::lock_guard lock(mutex_);
      if (!ended_.empty() || running_ == 0) {
        std::vector<RunOutcome> ended;
        ended.swap(ended_);
        running_ -= ended.size();
        return ended;
      }
    }
    // Each run keeps its own time limit; this only bounds a missed wake-up.
    Sleep(std::chrono::seconds(1));
  }
}

void InProcessPool::KillAll() {
  std::unique_lock lock(mutex_);
  cancelled_ = true;
  waiting_.clear();
  idle_.wait(lock, [this] { return busy_ == 0; });
  ended_.clear();
  running_ = 0;
  cancelled_ = false;
}

void InProcessPool::Work() {
  // This thread's runs of one section read its fiber lines once.
  engine::FiberBodyMemo memo;
  std::unique_lock lock(mutex_);
  for (;;) {
    work_.wait(lock, [this] { return closing_ || !waiting_.empty(); });
    if (closing_) return;
    SolverRun run = std::move(waiting_.front());
    waiting_.pop_front();
    ++busy_;
    lock.unlock();
    RunOutcome outcome = Execute(run, memo);
    lock.lock();
    --busy_;
    if (!cancelled_) ended_.push_back(std::move(outcome));
    idle_.notify_all();
    Wake();
  }
}

RunOutcome InProcessPool::Execute(SolverRun& run, engine::FiberBodyMemo& memo) {
  const auto started = std::chrono::steady_clock::now();
  const engine::RunLimit limit{started + timeout_, &cancelled_};
  // The outcome hands the run back without its text.
  const bool in_memory = !run.text.empty();
  std::optional<std::string> text = std::move(run.text);
  run.text.clear();
  try {
    // A script saved in its folder is read here, so that its bytes can find
    // an earlier run; one that cannot be read is left to the engine, which
    // reports it as the solver program does.
    if (!in_memory) text = WholeFile(run.directory + "/" + run.script);
    if (!text)
      return Ended(run, engine::runScriptIn(run.directory, run.script, limit, &memo), started);
    if (const std::shared_ptr<const KeptRun> kept = kept_.Find(run.script, *text)) {
      LeaveFiles(run.directory, kept->files);
      RunOutcome outcome{run, kept->ok, kept->reason, std::chrono::steady_clock::now() - started};
      outcome.repeated = true;
      return outcome;
    }
    engine::ScriptRun result =
        engine::runScriptText(run.directory, run.script, *text, limit, &memo);
    if (result.stopped || result.needsInterpreter) {
      // The program reads the script from its folder.
      if (in_memory && result.needsInterpreter) SaveBytes(*text, run.directory + "/" + run.script);
      return Ended(run, result, started);
    }
    RunOutcome outcome = Outcome(run, result.status, result.output, started);
    // A recorder file the system refused (no space left, a lock another
    // program holds) says nothing of the script: that run is not repeated.
    if (result.output.find("recorder file \"") == std::string::npos)
      if (std::optional<std::vector<KeptRun::File>> files = FilesLeft(run.directory, result.files))
        kept_.Keep(run.script, std::move(*text), {outcome.ok, outcome.reason, std::move(*files)});
    return outcome;
  } catch (const Failure& failure) {
    return {run, false, failure.Message(), std::chrono::steady_clock::now() - started};
  } catch (const std::bad_alloc&) {
    return {run, false, "out of memory", std::chrono::steady_clock::now() - started};
  } catch (const std::exception& error) {
    // A thread must not end the program: the run fails with the reason.
    return {run, false, error.what(), std::chrono::steady_clock::now() - started};
  }
}

RunOutcome InProcessPool::Ended(const SolverRun& run, const engine::ScriptRun& result,
                                std::chrono::steady_clock::time_point started) {
  if (result.stopped) return {run, false, TimedOutReason(timeout_), timeout_};
  if (result.needsInterpreter) return ExecuteAsProcess(run, started);
  return Outcome(run, result.status, result.output, started);
}

// As SolverPool runs a solver, on this thread: a pidfd, else a short poll,
// tells when it has ended.
RunOutcome InProcessPool::ExecuteAsProcess(const SolverRun& run,
                                           std::chrono::steady_clock::time_point started) {
  const int output_fd = ::memfd_create("solver-output", MFD_CLOEXEC);
  if (output_fd < 0) FailSolverStart(std::string(kSolverCommandName) + " " + run.script, errno);
  struct Closer {
    int fd;
    ~Closer() { ::close(fd); }
  } closer{output_fd};
  if (solver_program_.empty())
    FailSolverStart(std::string(kSolverCommandName) + " " + run.script, ENOENT);
  SolverProcess process = LaunchSolver({.program = solver_program_,
                                        .script = run.script,
                                        .directory = run.directory,
                                        .output_fd = output_fd});
  for (;;) {
    if (const std::optional<int> status = process.Reap()) {
      std::string output(4096, '\0');
      const off_t size = ::lseek(output_fd, 0, SEEK_END);
      const off_t from = size > 4096 ? size - 4096 : 0;
      const ssize_t got = ::pread(output_fd, output.data(), output.size(), from);
      output.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
      RunOutcome outcome{run, false, WaitStatusReason(*status),
                         std::chrono::steady_clock::now() - started};
      outcome.ok = outcome.reason.empty();
      if (!outcome.ok && !LastOutputLine(output).empty())
        outcome.reason += ": " + LastOutputLine(output);
      return outcome;
    }
    const auto now = std::chrono::steady_clock::now();
    if (cancelled_ || now - started >= timeout_) {
      process.KillAndReap();
      return {run, false, TimedOutReason(timeout_), now - started};
    }
    pollfd ended{process.ExitDescriptor(), POLLIN, 0};
    ::poll(&ended, ended.fd >= 0 ? 1 : 0, 20);
  }
}

}  // namespace marrowick
