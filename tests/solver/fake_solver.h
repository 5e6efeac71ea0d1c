#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "solver/solver_process.h"
#include "support/file_bytes.h"

namespace marrowick::testing {

// The lines of a start record.
inline std::vector<std::string> RecordLines(const std::string& record) {
  std::vector<std::string> lines;
  std::istringstream in(record);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// This process's children, running or not yet reaped, as the kernel lists
// them: a start that failed must leave none behind.
inline std::string ChildProcesses() {
  return ReadBytes("/proc/self/task/" + std::to_string(::getpid()) + "/children");
}

inline void WriteExecutable(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
  std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

// A shell script standing in for the solver: it copies the script it was
// given as it found it and records how it was started (argument count, first
// argument, working directory, stdin, session, parent and open descriptors)
// into "<records>/<script>.start", renamed into place so a reader never sees
// half a record.
inline std::string RecordingSolverScript(const std::filesystem::path& records) {
  const std::string dir = records.string();
  return "#!/bin/sh\n"
         "PATH=/usr/bin:/bin\n"
         "cp \"$1\" \"" +
         dir +
         "/$1.seen\" 2>/dev/null\n"
         "{\n"
         "  echo \"$#\"\n"
         "  echo \"$1\"\n"
         "  pwd -P\n"
         "  readlink /proc/$$/fd/0\n"
         "  awk '{print $6}' /proc/$$/stat\n"
         "  awk '{print $4}' /proc/$$/stat\n"
         "  for f in /proc/$$/fd/*; do readlink \"$f\"; done\n"
         "} > \"" +
         dir +
         "/$1.tmp\"\n"
         "mv \"" +
         dir + "/$1.tmp\" \"" + dir + "/$1.start\"\n";
}

// Stands in for an installation: PATH holds only the directories a test asks
// for and the bundled solver is looked for in an empty directory, so that no
// real solver and no solver built beside the test binary is ever started.
// PATH and the bundled directory are restored afterwards.
class SolverEnvironment {
 public:
  SolverEnvironment() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "marrowick-solver-XXXXXX").string();
    root_ = mkdtemp(pattern.data());
    std::filesystem::create_directories(root_ / "bin");
    std::filesystem::create_directories(root_ / "bundled");
    std::filesystem::create_directories(root_ / "records");
    if (const char* path = std::getenv("PATH")) saved_path_ = path;
    setenv("PATH", (root_ / "empty-path-entry").c_str(), 1);
    SetBundledSolverDirectory((root_ / "bundled").string());
  }
  ~SolverEnvironment() {
    setenv("PATH", saved_path_.c_str(), 1);
    SetBundledSolverDirectory("");
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  SolverEnvironment(const SolverEnvironment&) = delete;
  SolverEnvironment& operator=(const SolverEnvironment&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  std::filesystem::path Records() const { return root_ / "records"; }

  // Puts a recording "opensees.exe" in bin/ and bin/ alone on PATH.
  void InstallRecordingSolver() {
    WriteExecutable(root_ / "bin" / "opensees.exe", RecordingSolverScript(Records()));
    setenv("PATH", (root_ / "bin").c_str(), 1);
  }

  // Waits, bounded, for the record of the solver started on script_file.
  bool WaitForStart(const std::string& script_file) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists(Records() / (script_file + ".start"))) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
  }

  std::string Record(const std::string& script_file) const {
    return ReadBytes(Records() / (script_file + ".start"));
  }
  std::string SeenScript(const std::string& script_file) const {
    return ReadBytes(Records() / (script_file + ".seen"));
  }

 private:
  std::filesystem::path root_;
  std::string saved_path_;
};

}  // namespace marrowick::testing
