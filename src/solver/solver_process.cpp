#include "solver/solver_process.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "core/failure.h"

namespace marrowick {

namespace {

constexpr char kSolverName[] = "opensees.exe";
constexpr char kBundledSolverName[] = "marrowick-solver";
// The descriptor on which the solver's side reports a failed exec.
constexpr int kReportDescriptor = 3;

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
          std::filesystem::path(entry.empty() ? "." : std::string(entry)) / kSolverName;
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

namespace {

// Between fork and exec only async-signal-safe calls are allowed, since the
// window's other threads may hold locks that the copy can never release.
[[noreturn]] void ReportAndExit(int report_fd, int errno_value) {
  while (::write(report_fd, &errno_value, sizeof errno_value) < 0 && errno == EINTR) {
  }
  ::_exit(127);
}

[[noreturn]] void ExecSolver(const char* program, char* const argv[], int report_fd,
                             int descriptor_limit) {
  // Park the report pipe where closing the rest cannot touch it; it closes
  // itself when exec succeeds.
  if (report_fd != kReportDescriptor) {
    if (::dup2(report_fd, kReportDescriptor) < 0) ReportAndExit(report_fd, errno);
    report_fd = kReportDescriptor;
  }
  if (::fcntl(report_fd, F_SETFD, FD_CLOEXEC) < 0) ReportAndExit(report_fd, errno);

  // The solver reads nothing from a console; Marrowick's other descriptors
  // (open files, the window system's connection) are none of its business.
  const int null_fd = ::open("/dev/null", O_RDONLY);
  if (null_fd < 0) ReportAndExit(report_fd, errno);
  if (null_fd != STDIN_FILENO) {
    if (::dup2(null_fd, STDIN_FILENO) < 0) ReportAndExit(report_fd, errno);
    if (null_fd != report_fd) ::close(null_fd);
  }
  if (::close_range(kReportDescriptor + 1, ~0U, 0) != 0) {
    for (int fd = kReportDescriptor + 1; fd < descriptor_limit; ++fd) ::close(fd);
  }

  // Ignored signals and the signal mask survive exec; the solver starts clean.
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  struct sigaction default_action = {};
  default_action.sa_handler = SIG_DFL;
  for (int signal_number = 1; signal_number < NSIG; ++signal_number)
    ::sigaction(signal_number, &default_action, nullptr);

  ::execv(program, argv);
  ReportAndExit(report_fd, errno);
}

// Closes both ends of the report pipe on every way out.
class ReportPipe {
 public:
  ReportPipe() {
    if (::pipe2(fds_, O_CLOEXEC) != 0) fds_[0] = fds_[1] = -1;
  }
  ReportPipe(const ReportPipe&) = delete;
  ReportPipe& operator=(const ReportPipe&) = delete;
  ~ReportPipe() {
    CloseWriteEnd();
    if (fds_[0] >= 0) ::close(fds_[0]);
  }
  bool IsOpen() const { return fds_[0] >= 0; }
  int ReadEnd() const { return fds_[0]; }
  int WriteEnd() const { return fds_[1]; }
  void CloseWriteEnd() {
    if (fds_[1] >= 0) ::close(fds_[1]);
    fds_[1] = -1;
  }

 private:
  int fds_[2];
};

int DescriptorLimit() {
  struct rlimit limit;
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY ||
      limit.rlim_cur > 65536)
    return 65536;
  return static_cast<int>(limit.rlim_cur);
}

}  // namespace

void SetBundledSolverDirectory(const std::string& directory) {
  BundledDirectoryOverride() = directory;
}

void StartSolver(const std::string& script_file, const std::string& recorder_file) {
  const std::string command_line = std::string(kSolverName) + " " + script_file;
  const std::string program = LocateSolver();
  if (program.empty()) FailSolverStart(command_line, ENOENT);
  // unlink, not remove: a directory of that name is never the solver's file
  // and must not vanish because it happens to be empty.
  if (!recorder_file.empty() && ::unlink(recorder_file.c_str()) != 0 && errno != ENOENT)
    FailFileDelete(recorder_file, errno);

  // Everything the child processes use is prepared before forking.
  std::string argument0 = kSolverName;
  std::string argument1 = script_file;
  char* const argv[] = {argument0.data(), argument1.data(), nullptr};
  const int descriptor_limit = DescriptorLimit();
  ReportPipe report;
  if (!report.IsOpen()) FailSolverStart(command_line, errno);

  // Two forks: the intermediate process starts a new session (so closing
  // Marrowick's terminal or session does not stop the solver), forks the
  // solver and exits at once. Reaping it here leaves the solver an orphan that
  // the system reaps, so Marrowick never waits for it and leaves no zombie.
  const pid_t intermediate = ::fork();
  if (intermediate < 0) FailSolverStart(command_line, errno);
  if (intermediate == 0) {
    ::close(report.ReadEnd());
    ::setsid();
    const pid_t solver = ::fork();
    if (solver < 0) ReportAndExit(report.WriteEnd(), errno);
    if (solver > 0) ::_exit(0);
    ExecSolver(program.c_str(), argv, report.WriteEnd(), descriptor_limit);
  }
  report.CloseWriteEnd();

  // The pipe reaches end-of-file when the exec succeeded (close-on-exec) or
  // every process holding it has exited; an errno arrives first on failure.
  int child_errno = 0;
  std::size_t received = 0;
  while (received < sizeof child_errno) {
    const ssize_t count = ::read(report.ReadEnd(), reinterpret_cast<char*>(&child_errno) + received,
                                 sizeof child_errno - received);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    received += static_cast<std::size_t>(count);
  }
  while (::waitpid(intermediate, nullptr, 0) < 0 && errno == EINTR) {
  }
  if (received == sizeof child_errno) FailSolverStart(command_line, child_errno);
}

}  // namespace marrowick
