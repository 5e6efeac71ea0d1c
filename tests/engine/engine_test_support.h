#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "interpreter/commands.h"

extern char** environ;

namespace marrowick::engine::testing {

inline std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void writeText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline std::vector<std::string> readLines(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

struct RunResult {
  int status = -1;
  std::string errors;
  std::string output;  // the solver program's standard output
};

// Runs the solver program on a script in the current directory.
inline RunResult runSolver(const std::string& script, int stdinFd = -1) {
  const std::string errorsPath = script + ".stderr";
  const std::string outputPath = script + ".stdout";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorsPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (stdinFd >= 0) posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
  std::vector<char*> argv = {const_cast<char*>(MARROWICK_SOLVER), const_cast<char*>(script.c_str()),
                             nullptr};
  pid_t pid = 0;
  RunResult result;
  if (posix_spawn(&pid, MARROWICK_SOLVER, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  result.errors = readText(errorsPath);
  result.output = readText(outputPath);
  std::filesystem::remove(errorsPath);
  std::filesystem::remove(outputPath);
  return result;
}

// Runs a script text in-process, the way the program does.
inline RunResult runScriptText(const std::string& text, const std::string& name = "case.tcl",
                               Interpreter use = Interpreter::WhenNeeded) {
  writeText(name, text);
  initializeTcl(nullptr);
  std::FILE* errors = std::tmpfile();
  RunResult result;
  result.status = runScriptFile(name, errors, true, use);
  std::rewind(errors);
  char buffer[4096];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, errors)) > 0)
    result.errors.append(buffer, got);
  std::fclose(errors);
  return result;
}

// A plane model of one zero-length section between a fixed node 1 and node 2,
// which moves axially and rotates; the section body and the analysis follow.
inline std::string columnModel(const std::string& materials, const std::string& fibers) {
  return "model basic -ndm 2 -ndf 3\n"
         "node 1 0 0\nnode 2 0 0\nfix 1 1 1 1\nfix 2 0 1 0\n" +
         materials + "\nsection Fiber 1 {\n" + fibers +
         "}\n"
         "element zeroLengthSection 1 1 2 1\n";
}

}  // namespace marrowick::engine::testing
