#include "batch/batch_run.h"

#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <optional>

#include "batch/batch_section.h"
#include "batch/in_process_pool.h"
#include "batch/solver_pool.h"
#include "batch/study_table.h"
#include "core/failure.h"
#include "core/number_text.h"
#include "results/export.h"
#include "section/axial_levels.h"
#include "section/moment_direction.h"
#include "solver/solver_process.h"
#include "solver/solver_version.h"

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
  std::size_t file_index = 0;  // among the batch's section files
  std::size_t variant = 0;     // the grid point
  std::string name;
  // While its runs go; held apart, so that the many finished entries of a
  // study stay small.
  std::unique_ptr<BatchSection> section;
  int runs = 0;       // the section's solver runs
  int runs_left = 0;  // not yet ended (or skipped)
  bool failed = false;
  bool row_written = false;
  Clock::time_point started;
};

// A section file's texts, read once for all its grid points.
struct SectionSource {
  std::string file;
  std::optional<SectionTexts> texts;  // none when the file failed
};

// The three analyses: the moment-curvature run, one run per axial level, as
// far as the sweep will have them (a count it refuses, or a text that is no
// count, fails later with the window's message), and the Mx–My contour's runs
// when the outputs show the contour.
int RunCount(const SectionTexts& texts, const Variant& variant, bool contour) {
  std::string text = *texts.at(20);
  for (const auto& [field, value] : variant.texts)
    if (field == 20) text = value;
  const int64_t levels = static_cast<int64_t>(ScanInteger(TrimText(text)).value_or(-1)) + 1;
  return 1 + static_cast<int>(levels > 0 && levels <= kMaxAxialLevels + 1 ? levels : 0) +
         (contour ? kContourRuns : 0);
}

std::string RunName(const SolverRun& run) {
  if (run.contour_run != 0)
    return "the Mx-My run at " + std::to_string(static_cast<int>(ContourAngle(run.contour_run))) +
           " degrees (" + run.script + ")";
  if (run.level == 0) return "the moment-curvature run (" + run.script + ")";
  return "level " + std::to_string(run.level) + " (" + run.script + ")";
}

class Batch {
 public:
  explicit Batch(const BatchOptions& options) : options_(options) {}
  ~Batch() {
    std::error_code ignored;
    if (!scratch_.empty()) std::filesystem::remove_all(scratch_, ignored);
  }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  int Run() {
    const auto started = Clock::now();
    std::error_code error;
    std::filesystem::create_directories(options_.out_directory, error);
    if (error) FailFileCreate(options_.out_directory, error.value());
    study_.emplace((std::filesystem::path(options_.out_directory) / "study.csv").string(),
                   options_.resume);
    const std::size_t skipped = LoadAll();
    int total_runs = 0;
    for (const Entry& entry : entries_) total_runs += entry.runs;
    progress_.emplace(total_runs, entries_.size());
    if (skipped > 0)
      progress_->Line("marrowick-batch: " + std::to_string(skipped) +
                      " sections done before, as study.csv says; resuming with the others");
    for (const auto& [index, reason] : load_failures_) Fail(entries_[index], reason);

    program_ = options_.solver.empty() ? LocateSolver()
                                       : std::filesystem::absolute(options_.solver).string();
    std::string program = program_;
    const auto timeout = std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(options_.timeout_seconds));
    // The bundled solver runs inside the batch; a solver the user named, or
    // an OpenSees on PATH, as a process, called by the name the user gave.
    std::unique_ptr<RunPool> chosen;
    // A study without section folders queues more runs ahead: a section's
    // runs take less time than the batch's own work on the one before.
    // With folders, as few start ahead as before, so that a failed
    // section's runs not yet started leave its folder as a process would.
    if (options_.solver.empty() && IsBundledSolver(program))
      chosen = std::make_unique<InProcessPool>(options_.jobs, std::move(program), timeout,
                                               options_.outputs.Any() ? 2 : 8);
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
        if (outcome.repeated) ++repeated_runs_;
        EndRuns(entry, 1);
        if (!outcome.ok) Fail(entry, RunName(outcome.run) + ": " + outcome.reason);
      }
      // The next solvers start before this batch's own work on results, so
      // that the cores stay busy with solvers.
      Fill(pool);
      for (const RunOutcome& outcome : outcomes)
        Finish(entries_[static_cast<std::size_t>(outcome.run.section)]);
    }
    if (repeated_runs_ > 0)
      progress_->Line("marrowick-batch: " + std::to_string(repeated_runs_) + " of the " +
                      std::to_string(solver_runs_) +
                      " solver runs repeated a script run earlier in this batch and were given "
                      "that run's outcome and files");
    progress_->Finish(solver_runs_, Clock::now() - started, solver_time_);
    for (const Entry& entry : entries_)
      if (entry.failed) return 1;
    return 0;
  }

 private:
  // Reads every section file once and lays out one entry per section and
  // grid point; a section is entered (its fiber model built) only when its
  // turn comes, so that a study of many sections holds few at a time.
  // Returns how many sections a resumed study skips.
  std::size_t LoadAll() {
    // Two files of one name would share their folders (and their grid
    // points' folders): the second fails.
    std::map<std::filesystem::path, std::string> folders;
    const std::size_t variants = VariantCount(options_.vary);
    std::size_t skipped = 0;
    for (const std::string& file : options_.section_files) {
      SectionSource& source = sources_.emplace_back(SectionSource{file, {}});
      std::optional<std::string> fault;
      try {
        source.texts = ReadSectionTexts(file);
      } catch (const Failure& failure) {
        fault = failure.Message();
      }
      const std::filesystem::path folder =
          SectionDirectory(SectionName(file, {}), options_.out_directory);
      std::optional<std::string> taken_by;
      if (const auto taken = folders.find(folder); taken != folders.end())
        taken_by = taken->second;
      else
        folders.emplace(folder, file);
      for (std::size_t variant = 0; variant < variants; ++variant) {
        const Variant point = VariantAt(options_.vary, variant);
        const std::string name = SectionName(file, point);
        if (study_->Done().count(name)) {
          ++skipped;
          continue;
        }
        Entry& entry = entries_.emplace_back();
        entry.file_index = sources_.size() - 1;
        entry.variant = variant;
        entry.name = name;
        if (taken_by)
          load_failures_.emplace_back(entries_.size() - 1,
                                      "its results would go to " +
                                          SectionDirectory(name, options_.out_directory).string() +
                                          ", as those of " + *taken_by);
        else if (fault)
          load_failures_.emplace_back(entries_.size() - 1, *fault);
        else
          entry.runs = RunCount(*source.texts, point, options_.outputs.Contour());
      }
    }
    return skipped;
  }

  // The entry's label in messages: its file, and its grid point.
  std::string Label(const Entry& entry) const {
    const std::string& file = sources_[entry.file_index].file;
    return options_.vary.empty() ? file : file + " (" + entry.name + ")";
  }

  void Fail(Entry& entry, const std::string& reason) {
    if (entry.failed) return;
    entry.failed = true;
    progress_->SectionFailed(Label(entry), reason);
    WriteRow(entry, false, reason, nullptr);
  }

  void WriteRow(Entry& entry, bool done, const std::string& message, const StudyFigures* figures) {
    if (entry.row_written) return;
    entry.row_written = true;
    try {
      study_->Add(StudyRow(entry.name, done, message,
                           entry.section ? &entry.section->texts : nullptr, figures));
    } catch (const Failure& failure) {
      // A study table that cannot be written ends the study: its rows are
      // what a study is for.
      throw Failure(failure.Kind(), "study.csv: " + failure.Message());
    }
  }

  void EndRuns(Entry& entry, int count) {
    entry.runs_left -= count;
    progress_->RunsEnded(count);
  }

  // Scripts are written a section at a time, just before the pool needs them.
  void QueueNextSection(const RunPool& pool) {
    Entry& entry = entries_[next_section_];
    const int number = static_cast<int>(next_section_++);
    if (entry.failed) return;
    entry.started = Clock::now();
    entry.runs_left = entry.runs;
    try {
      const SectionSource& source = sources_[entry.file_index];
      entry.section = std::make_unique<BatchSection>(
          EnterSection(source.file, SectionFolder(entry), *source.texts,
                       VariantAt(options_.vary, entry.variant)));
      // Without a folder to keep, nothing but the run reads a script: a pool
      // that takes them from memory is spared a file per run.
      const bool in_memory = pool.TakesScriptText() && !options_.outputs.Any();
      std::vector<SolverRun> runs =
          WriteScripts(*entry.section, number, options_.outputs.Contour(), in_memory);
      // The count was known before; a sweep that came out shorter is
      // accounted for so that the bar still reaches its end.
      EndRuns(entry, entry.runs - static_cast<int>(runs.size()));
      queue_.insert(queue_.end(), std::make_move_iterator(runs.begin()),
                    std::make_move_iterator(runs.end()));
    } catch (const Failure& failure) {
      Fail(entry, failure.Message());
      EndRuns(entry, entry.runs_left);
      Release(entry);
    }
  }

  // Where a section's runs work: its folder in --out, or, when it is to
  // have none, a scratch folder removed once the section has ended.
  std::filesystem::path SectionFolder(const Entry& entry) {
    if (options_.outputs.Any()) return SectionDirectory(entry.name, options_.out_directory);
    if (scratch_.empty()) {
      // In memory where the system has it: a disk's file system spends more
      // on creating and deleting the many short-lived scripts and recorder
      // files than the solver spends on the analyses.
      std::error_code error;
      const std::filesystem::path memory = "/dev/shm";
      const std::filesystem::path base =
          std::filesystem::is_directory(memory, error) && ::access(memory.c_str(), W_OK) == 0
              ? memory
              : std::filesystem::temp_directory_path();
      std::string pattern = (base / "marrowick-batch-XXXXXX").string();
      if (::mkdtemp(pattern.data()) == nullptr) FailFileCreate(pattern, errno);
      scratch_ = pattern;
    }
    return scratch_ / std::to_string(next_section_);
  }

  // A section that has ended keeps nothing: its model, and a scratch folder.
  void Release(Entry& entry) {
    if (entry.section && !options_.outputs.Any() && entry.runs_left == 0) {
      std::error_code ignored;
      std::filesystem::remove_all(entry.section->directory, ignored);
    }
    if (entry.runs_left == 0) entry.section.reset();
  }

  void Fill(RunPool& pool) {
    while (pool.Running() < pool.Capacity()) {
      while (queue_.size() < pool.Capacity() && next_section_ < entries_.size())
        QueueNextSection(pool);
      if (queue_.empty()) return;
      const SolverRun run = std::move(queue_.front());
      queue_.pop_front();
      Entry& entry = entries_[static_cast<std::size_t>(run.section)];
      if (entry.failed) {
        EndRuns(entry, 1);
        Release(entry);
        continue;
      }
      try {
        pool.Start(run);
      } catch (const Failure& failure) {
        EndRuns(entry, 1);
        Fail(entry, RunName(run) + ": " + failure.Message());
        Release(entry);
      }
    }
  }

  void Finish(Entry& entry) {
    if (entry.runs_left != 0 || !entry.section) return;
    if (!entry.failed) {
      try {
        // The report needs a section folder; the solver's version line is
        // read once, after a first section's solvers have run.
        const bool report = options_.report && options_.outputs.report;
        if (report && !report_solver_)
          report_solver_ = ReportSolver{std::filesystem::path(program_).lexically_normal().string(),
                                        SolverVersionLine(program_)};
        const StudyFigures figures =
            WriteResults(*entry.section, options_.outputs, report ? report_solver_ : std::nullopt);
        WriteRow(entry, true, "", &figures);
        progress_->SectionDone(Label(entry), entry.runs, Clock::now() - entry.started);
      } catch (const Failure& failure) {
        if (entry.row_written) throw;
        Fail(entry, failure.Message());
      }
    }
    Release(entry);
  }

  const BatchOptions& options_;
  std::string program_;
  std::optional<ReportSolver> report_solver_;
  std::optional<StudyFile> study_;
  std::vector<SectionSource> sources_;
  std::deque<Entry> entries_;
  std::vector<std::pair<std::size_t, std::string>> load_failures_;
  std::filesystem::path scratch_;
  std::optional<Progress> progress_;
  std::deque<SolverRun> queue_;
  std::size_t next_section_ = 0;
  Clock::duration solver_time_{};
  int solver_runs_ = 0;
  int repeated_runs_ = 0;  // answered from an earlier run of the same script
};

}  // namespace

int RunBatch(const BatchOptions& options) {
  return Batch(options).Run();
}

}  // namespace marrowick
