#include "solver/solver_process.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "core/failure.h"

namespace marrowick {

namespace {

constexpr char kBundledSolverName[] = "marrowick-solver";

std::string& BundledDirectoryOverride() {
  static std::string directory;
  return directory;
}

}  // namespace

void FailSolverStart(const std::string& command_line, int errno_value) {
  throw Failure(FailureKind::SolverStart, "Cannot start solver \"" + command_line + "\". " +
                                              SystemErrorDescription(errno_value));
}

namespace {

bool IsExecutableFile(const std::filesystem::path& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string LocateSolver() {
  if (const char* search_path = std::getenv("PATH")) {
    std::string_view rest = search_path;
    for (;;) {
      const std::size_t colon = rest.find(':');
      const std::string_view entry = rest.substr(0, colon);
      // An empty entry means the current directory, as for the shell.
      const std::filesystem::path candidate =
          std::filesystem::path(entry.empty() ? "." : std::string(entry)) / kSolverCommandName;
      if (IsExecutableFile(candidate)) return std::filesystem::absolute(candidate).string();
      if (colon == std::string_view::npos) break;
      rest.remove_prefix(colon + 1);
    }
  }

  std::filesystem::path directory = BundledDirectoryOverride();
  if (directory.empty()) {
    std::error_code error;
    directory = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
    if (error) return {};
  }
  const std::filesystem::path bundled = directory / kBundledSolverName;
  return IsExecutableFile(bundled) ? std::filesystem::absolute(bundled).string() : std::string();
}

bool IsBundledSolver(const std::string& program) {
  return program.empty() || std::filesystem::path(program).filename() == kBundledSolverName;
}

void SetBundledSolverDirectory(const std::string& directory) {
  BundledDirectoryOverride() = directory;
}

SolverProcess StartSolver(const std::string& script_file, const std::string& recorder_file) {
  const std::string program = LocateSolver();
  if (program.empty()) FailSolverStart(std::string(kSolverCommandName) + " " + script_file, ENOENT);
  // unlink, not remove: a directory of that name is never the solver's file
  // and must not vanish because it happens to be empty.
  if (!recorder_file.empty() && ::unlink(recorder_file.c_str()) != 0 && errno != ENOENT)
    FailFileDelete(recorder_file, errno);
  return LaunchSolver(
      {.program = program, .script = script_file, .directory = {}, .output_fd = -1});
}

}  // namespace marrowick
