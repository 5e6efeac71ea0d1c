#include "batch/batch_run.h"

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "batch/batch_section.h"
#include "batch/in_process_pool.h"
#include "batch/solver_pool.h"
#include "core/failure.h"
#include "results/export.h"
#include "section/axial_levels.h"
#include "solver/solver_process.h"

namespace marrowick {

namespace {

using Clock = std::chrono::steady_clock;

std::string Seconds(Clock::duration duration) {
  const double seconds = std::chrono::duration<double>(duration).count();
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", seconds);
  return text;
}

Clock::duration Cpu(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  const auto time = [](const timeval& t) {
    return std::chrono::seconds(t.tv_sec) + std::chrono::microseconds(t.tv_usec);
  };
  return std::chrono::duration_cast<Clock::duration>(time(usage.ru_utime) + time(usage.ru_stime));
}

// One line per finished section on a log; on a terminal, one bar over all
// solver runs that the lines about failures scroll above.
class Progress {
 public:
  Progress(int total_runs, std::size_t sections)
      : terminal_(::isatty(STDERR_FILENO) == 1), total_runs_(total_runs), sections_(sections) {}

  void RunsEnded(int count) {
    ended_runs_ += count;
    if (terminal_ && (ended_runs_ == total_runs_ || Clock::now() - drawn_ > kRedraw)) Draw();
  }

  void Line(const std::string& text) {
    if (terminal_) std::fputs("\r\033[K", stderr);
    std::fprintf(stderr, "%s\n", text.c_str());
    if (terminal_) Draw();
  }

  void SectionDone(const std::string& file, int runs, Clock::duration time) {
    ++done_;
    if (!terminal_)
      Line(file + ": done, " + std::to_string(runs) + " solver runs in " + Seconds(time));
    else
      Draw();
  }

  void SectionFailed(const std::string& file, const std::string& reason) {
    ++failed_;
    Line(file + ": failed: " + reason);
  }

  // The closing line, with what the time went on: the solvers' run time and
  // processor time, and this program's own.
  void Finish(int solver_runs, Clock::duration wall, Clock::duration solver_time) {
    if (terminal_) std::fputs("\r\033[K", stderr);
    std::fprintf(stderr,
                 "marrowick-batch: %zu sections, %zu done, %zu failed; %d solver runs in %s; "
                 "solvers ran %s (%s CPU), marrowick-batch %s CPU\n",
                 sections_, done_, failed_, solver_runs, Seconds(wall).c_str(),
                 Seconds(solver_time).c_str(), Seconds(Cpu(RUSAGE_CHILDREN)).c_str(),
                 Seconds(Cpu(RUSAGE_SELF)).c_str());
  }

 private:
  static constexpr auto kRedraw = std::chrono::milliseconds(100);

  void Draw() {
    constexpr int kWidth = 30;
    const int filled = total_runs_ > 0 ? kWidth * ended_runs_ / total_runs_ : kWidth;
    std::fprintf(stderr, "\r\033[K[%s%s] %d/%d solver runs, %zu/%zu sections",
                 std::string(static_cast<std::size_t>(filled), '#').c_str(),
                 std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(), ended_runs_,
                 total_runs_, done_ + failed_, sections_);
    std::fflush(stderr);
    drawn_ = Clock::now();
  }

  const bool terminal_;
  const int total_runs_;
  const std::size_t sections_;
  int ended_runs_ = 0;
  std::size_t done_ = 0;
  std::size_t failed_ = 0;
  Clock::time_point drawn_{};
};

struct Entry {
  std::string file;
  std::optional<BatchSection> section;
  int runs = 0;       // the section's solver runs
  int runs_left = 0;  // not yet ended (or skipped)
  bool failed = false;
  Clock::time_point started;
};

// Both analyses: the moment-curvature run and one run per axial level, as
// far as the sweep will have them (a count it refuses fails later, with the
// window's message).
int RunCount(const AnalysisState& state) {
  const int64_t levels = static_cast<int64_t>(state.AxialLevels) + 1;
  return 1 + static_cast<int>(levels > 0 && levels <= kMaxAxialLevels + 1 ? levels : 0);
}

std::string RunName(const SolverRun& run) {
  if (run.level == 0) return "the moment-curvature run (" + run.script + ")";
  return "level " + std::to_string(run.level) + " (" + run.script + ")";
}

class Batch {
 public:
  explicit Batch(const BatchOptions& options) : options_(options) {}

  int Run() {
    const auto started = Clock::now();
    LoadAll();
    int total_runs = 0;
    for (const Entry& entry : entries_) total_runs += entry.runs;
    progress_.emplace(total_runs, entries_.size());
    for (const auto& [file, reason] : load_failures_) progress_->SectionFailed(file, reason);

    std::string program = options_.solver.empty()
                              ? LocateSolver()
                              : std::filesystem::absolute(options_.solver).string();
    const auto timeout = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(options_.timeout_seconds));
    // The bundled solver runs inside the batch; a solver the user named, or
    // an OpenSees on PATH, as a process, called by the name the user gave.
    std::unique_ptr<RunPool> chosen;
    if (options_.solver.empty() && IsBundledSolver(program))
      chosen = std::make_unique<InProcessPool>(options_.jobs, std::move(program), timeout);
    else
      chosen = std::make_unique<SolverPool>(
          std::move(program), options_.solver.empty() ? kSolverCommandName : options_.solver,
          timeout, options_.jobs);
    RunPool& pool = *chosen;
    for (;;) {
      Fill(pool);
      const std::vector<RunOutcome> outcomes = pool.WaitAny();
      if (const int signal = pool.Interrupt(); signal != 0) {
        pool.KillAll();
        progress_->Line("marrowick-batch: interrupted; every solver was stopped");
        return 128 + signal;
      }
      if (pool.Running() == 0 && outcomes.empty()) break;
      for (const RunOutcome& outcome : outcomes) {
        Entry& entry = entries_[static_cast<std::size_t>(outcome.run.section)];
        solver_time_ += outcome.time;
        ++solver_runs_;
        EndRuns(entry, 1);
        if (!outcome.ok) Fail(entry, RunName(outcome.run) + ": " + outcome.reason);
      }
      // The next solvers start before this batch's own work on results, so
      // that the cores stay busy with solvers.
      Fill(pool);
      for (const RunOutcome& outcome : outcomes)
        Finish(entries_[static_cast<std::size_t>(outcome.run.section)]);
    }
    progress_->Finish(solver_runs_, Clock::now() - started, solver_time_);
    for (const Entry& entry : entries_)
      if (entry.failed) return 1;
    return 0;
  }

 private:
  void LoadAll() {
    std::map<std::filesystem::path, std::string> folders;
    for (const std::string& file : options_.section_files) {
      Entry& entry = entries_.emplace_back();
      entry.file = file;
      const std::filesystem::path folder = SectionDirectory(file, options_.out_directory);
      if (const auto taken = folders.find(folder); taken != folders.end()) {
        entry.failed = true;
        load_failures_.emplace_back(
            file, "its results would go to " + folder.string() + ", as those of " + taken->second);
        continue;
      }
      folders.emplace(folder, file);
      try {
        entry.section = LoadSection(file, options_.out_directory);
        entry.runs = RunCount(entry.section->state);
      } catch (const Failure& failure) {
        entry.failed = true;
        load_failures_.emplace_back(file, failure.Message());
      }
    }
  }

  void Fail(Entry& entry, const std::string& reason) {
    if (entry.failed) return;
    entry.failed = true;
    progress_->SectionFailed(entry.file, reason);
  }

  void EndRuns(Entry& entry, int count) {
    entry.runs_left -= count;
    progress_->RunsEnded(count);
  }

  // Scripts are written a section at a time, just before the pool needs them.
  void QueueNextSection() {
    Entry& entry = entries_[next_section_];
    const int number = static_cast<int>(next_section_++);
    if (entry.failed) return;
    entry.started = Clock::now();
    entry.runs_left = entry.runs;
    try {
      std::vector<SolverRun> runs = WriteScripts(*entry.section, number);
      // The count was known before; a sweep that came out shorter is
      // accounted for so that the bar still reaches its end.
      EndRuns(entry, entry.runs - static_cast<int>(runs.size()));
      queue_.insert(queue_.end(), runs.begin(), runs.end());
    } catch (const Failure& failure) {
      Fail(entry, failure.Message());
      EndRuns(entry, entry.runs_left);
    }
  }

  void Fill(RunPool& pool) {
    while (pool.Running() < pool.Capacity()) {
      while (queue_.size() < pool.Capacity() && next_section_ < entries_.size()) QueueNextSection();
      if (queue_.empty()) return;
      const SolverRun run = queue_.front();
      queue_.pop_front();
      Entry& entry = entries_[static_cast<std::size_t>(run.section)];
      if (entry.failed) {
        EndRuns(entry, 1);
        continue;
      }
      try {
        pool.Start(run);
      } catch (const Failure& failure) {
        EndRuns(entry, 1);
        Fail(entry, RunName(run) + ": " + failure.Message());
      }
    }
  }

  void Finish(Entry& entry) {
    if (entry.failed || entry.runs_left != 0 || !entry.section) return;
    try {
      WriteResults(*entry.section);
      progress_->SectionDone(entry.file, entry.runs, Clock::now() - entry.started);
    } catch (const Failure& failure) {
      Fail(entry, failure.Message());
    }
    // A finished section's model is no longer needed.
    entry.section.reset();
  }

  const BatchOptions& options_;
  std::deque<Entry> entries_;
  std::vector<std::pair<std::string, std::string>> load_failures_;
  std::optional<Progress> progress_;
  std::deque<SolverRun> queue_;
  std::size_t next_section_ = 0;
  Clock::duration solver_time_{};
  int solver_runs_ = 0;
};

}  // namespace

int RunBatch(const BatchOptions& options) {
  return Batch(options).Run();
}

}  // namespace marrowick
