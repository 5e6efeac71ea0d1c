#include "solver/solver_version.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_file.h"
#include "solver/solver_launcher.h"
#include "solver/solver_process.h"

namespace marrowick {

namespace {

constexpr auto kPatience = std::chrono::seconds(2);
// The banner comes first; a solver that talks on is cut off here.
constexpr std::size_t kOutputRead = 16384;

// A folder of its own, removed with whatever the run left in it.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "marrowick-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) FailFileCreate(pattern, errno);
    path_ = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::string SolverVersionLine(const std::string& program) {
  if (std::filesystem::path(program).filename() == "marrowick-solver")
    return "Marrowick 自带求解器";
  const ScratchFolder folder;
  SaveBytes("", (folder.Path() / "version.tcl").string());
  const Descriptor output(::memfd_create("solver-version", MFD_CLOEXEC));
  if (output.Get() < 0) FailSolverStart(program + " version.tcl", errno);
  SolverProcess solver = LaunchSolver({.program = program,
                                       .name = program,
                                       .script = "version.tcl",
                                       .directory = folder.Path().string(),
                                       .output_fd = output.Get()});
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!solver.Reap()) {
    if (std::chrono::steady_clock::now() >= deadline) {
      solver.KillAndReap();
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::string text(kOutputRead, '\0');
  const ssize_t count = ::pread(output.Get(), text.data(), text.size(), 0);
  text.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
  for (const std::string& line : SplitAllLines(text))
    if (line.find("Version") != std::string::npos) return TrimText(line);
  return {};
}

}  // namespace marrowick
