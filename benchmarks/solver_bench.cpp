// Wall-time figures of the bundled solver (not a test: it only prints).
//
//   marrowick_solver_bench SOLVER REFERENCE_DIR [RUNS]
//
// (a) the default moment-curvature script run as a process;
// (b) the 21 scripts of the default axial sweep started all at once, as
//     Marrowick starts them, until the last one exits;
//     both as Marrowick starts its solvers: the last run's recorder files
//     removed first (truncating a file that is there costs the file system
//     more than writing a new one);
// (c) the same default script run in-process, from reading the script to
//     closing the recorder (without an interpreter: the script is plain),
//     and what making and deleting an interpreter alone costs;
// (d) the same in-process run of the default script with one "set" and one
//     "$" added, which makes it a script for Tcl;
// (e) OpenSees' Example 2.1 (ex21/ beside REFERENCE_DIR) run as a process,
//     the hand-written kind of script: patches, layers, a sourced procedure.
// Each figure is the median over RUNS repetitions (default 41).

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <tcl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "interpreter/commands.h"

extern char** environ;

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

double milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// CPU time (user + system) of the children that have exited so far.
double childrenCpu() {
  rusage usage = {};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_utime.tv_sec * 1e3 + usage.ru_utime.tv_usec / 1e3 + usage.ru_stime.tv_sec * 1e3 +
         usage.ru_stime.tv_usec / 1e3;
}

double processCpu() {
  timespec now = {};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

std::string levelScript(int level) {
  std::string name = "P";
  name += std::to_string(level);
  name += ".tcl";
  return name;
}

std::string levelRecorder(int level) {
  std::string name = "P";
  name += std::to_string(level);
  name += "_mom_cur.out";
  return name;
}

pid_t start(const std::string& solver, const std::string& script, bool quietOutput = false) {
  pid_t pid = 0;
  std::vector<char*> argv = {const_cast<char*>(solver.c_str()), const_cast<char*>(script.c_str()),
                             nullptr};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  if (quietOutput) {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  }
  if (posix_spawn(&pid, solver.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s SOLVER REFERENCE_DIR [RUNS]\n", argv[0]);
    return 2;
  }
  const std::string solver = fs::absolute(argv[1]).string();
  const fs::path reference = fs::absolute(argv[2]);
  const int runs = argc > 3 ? std::max(1, std::atoi(argv[3])) : 41;

  const fs::path work = fs::temp_directory_path() / ("marrowick-bench-" + std::to_string(getpid()));
  fs::create_directories(work);
  fs::current_path(work);

  const std::string defaultScript = readFile(reference / "default-mk" / "os.tcl");
  std::vector<std::string> sweep;
  for (int level = 1; level <= 21; ++level) {
    sweep.push_back(readFile(reference / "default-sweep" / levelScript(level)));
  }
  if (defaultScript.empty() || sweep.back().empty()) {
    std::fprintf(stderr, "no reference scripts under %s\n", reference.c_str());
    return 2;
  }

  // The default script's last analysis, its step count given by a variable.
  std::string tclScript = defaultScript;
  const std::size_t lastAnalyze = tclScript.rfind("analyze 100");
  if (lastAnalyze == std::string::npos) {
    std::fprintf(stderr, "the default script has no \"analyze 100\"\n");
    return 2;
  }
  tclScript.replace(lastAnalyze, 11, "analyze $steps");
  tclScript.insert(0, "set steps 100\n");

  std::vector<double> single, all, inProcess, interpOnly, underTcl;
  std::vector<double> singleCpu, allCpu, inProcessCpu, underTclCpu;
  for (int run = 0; run < runs; ++run) {
    // As Marrowick starts a solver: the script written, the last run's
    // recorder file gone.
    writeFile("os.tcl", defaultScript);
    fs::remove("mom_cur.out");
    double cpu0 = childrenCpu();
    auto t0 = Clock::now();
    pid_t pid = start(solver, "os.tcl");
    int status = 0;
    waitpid(pid, &status, 0);
    single.push_back(milliseconds(Clock::now() - t0));
    singleCpu.push_back(childrenCpu() - cpu0);

    for (int level = 1; level <= 21; ++level) {
      writeFile(levelScript(level), sweep[level - 1]);
      fs::remove(levelRecorder(level));
    }
    std::vector<pid_t> pids;
    cpu0 = childrenCpu();
    t0 = Clock::now();
    for (int level = 1; level <= 21; ++level) {
      pids.push_back(start(solver, levelScript(level)));
    }
    for (pid_t p : pids) waitpid(p, &status, 0);
    all.push_back(milliseconds(Clock::now() - t0));
    allCpu.push_back(childrenCpu() - cpu0);
  }

  // The example prints its estimated yield curvature; that goes nowhere.
  const fs::path example = reference.parent_path() / "ex21";
  std::vector<double> exampleRuns, exampleCpu;
  for (int run = 0; run < runs && fs::exists(example / "main.tcl"); ++run) {
    for (const char* file : {"main.tcl", "MomentCurvature.tcl"}) {
      fs::copy_file(example / file, file, fs::copy_options::overwrite_existing);
    }
    const double cpu0 = childrenCpu();
    const auto t0 = Clock::now();
    int status = 0;
    waitpid(start(solver, "main.tcl", true), &status, 0);
    exampleRuns.push_back(milliseconds(Clock::now() - t0));
    exampleCpu.push_back(childrenCpu() - cpu0);
  }

  marrowick::engine::initializeTcl(argv[0]);
  marrowick::engine::prepareTcl();
  std::FILE* quiet = std::fopen("/dev/null", "w");
  for (int run = 0; run < runs; ++run) {
    writeFile("os.tcl", defaultScript);
    const double cpu0 = processCpu();
    auto t0 = Clock::now();
    if (marrowick::engine::runScriptFile("os.tcl", quiet) != 0) {
      std::fprintf(stderr, "the default script failed in-process\n");
      return 1;
    }
    inProcess.push_back(milliseconds(Clock::now() - t0));
    inProcessCpu.push_back(processCpu() - cpu0);

    t0 = Clock::now();
    Tcl_Interp* interp = Tcl_CreateInterp();
    Tcl_DeleteInterp(interp);
    interpOnly.push_back(milliseconds(Clock::now() - t0));

    writeFile("os.tcl", tclScript);
    const double tclCpu0 = processCpu();
    t0 = Clock::now();
    if (marrowick::engine::runScriptFile("os.tcl", quiet) != 0) {
      std::fprintf(stderr, "the default script with a variable failed in-process\n");
      return 1;
    }
    underTcl.push_back(milliseconds(Clock::now() - t0));
    underTclCpu.push_back(processCpu() - tclCpu0);
  }
  std::fclose(quiet);
  fs::current_path(fs::temp_directory_path());
  fs::remove_all(work);

  std::printf("runs per figure: %d; medians of wall time and of CPU time (user + system)\n", runs);
  std::printf("(a) default moment-curvature script as a process:  %8.3f ms wall %8.3f ms cpu\n",
              median(single), median(singleCpu));
  std::printf("(b) 21 sweep scripts at once, until the last exits: %8.3f ms wall %8.3f ms cpu\n",
              median(all), median(allCpu));
  std::printf("(c) default script in-process, parse to exit:      %8.3f ms wall %8.3f ms cpu\n",
              median(inProcess), median(inProcessCpu));
  std::printf("    making and deleting an interpreter alone:      %8.3f ms wall\n",
              median(interpOnly));
  std::printf("(d) the same with one set and one $, under Tcl:   %8.3f ms wall %8.3f ms cpu\n",
              median(underTcl), median(underTclCpu));
  if (!exampleRuns.empty()) {
    std::printf("(e) OpenSees' Example 2.1 as a process:            %8.3f ms wall %8.3f ms cpu\n",
                median(exampleRuns), median(exampleCpu));
  }
  return 0;
}
