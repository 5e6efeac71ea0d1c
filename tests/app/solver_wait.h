#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace marrowick::testing {

// One solver started on a script, as Marrowick sees it from the outside: the
// script it was given and the recorder file the script names.
struct SolverRun {
  std::string script;
  std::string recorder;
};

// A solver is done once it has reached its script's last line (which deletes
// the script) and has exited or closed its recorder: while it runs it holds a
// write lock on the recorder, and the chart reader refuses a locked file.
inline bool SolverDone(const SolverRun& run) {
  if (std::filesystem::exists(run.script)) return false;
  const int fd = ::open(run.recorder.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock lock;
  std::memset(&lock, 0, sizeof lock);
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  const bool unlocked = ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
  ::close(fd);
  return unlocked;
}

// The runs of a sweep: "P1.tcl" writing "P1_mom_cur.out", and so on.
inline std::vector<SolverRun> SweepRuns(int levels) {
  std::vector<SolverRun> runs;
  for (int i = 1; i <= levels; ++i)
    runs.push_back({"P" + std::to_string(i) + ".tcl", "P" + std::to_string(i) + "_mom_cur.out"});
  return runs;
}

// Polls until every run is done or the time is up, as a person would wait
// before pressing a chart button. `idle` runs between polls (an event loop
// that must keep the window alive). Returns the runs still unfinished.
inline std::vector<SolverRun> WaitForSolvers(
    std::vector<SolverRun> runs, std::chrono::milliseconds limit,
    const std::function<void()>& idle = [] {}) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    std::erase_if(runs, SolverDone);
    if (runs.empty() || std::chrono::steady_clock::now() >= deadline) return runs;
    idle();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

}  // namespace marrowick::testing
