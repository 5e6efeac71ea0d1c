#include "solver/solver_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "core/failure.h"
#include "solver/fake_solver.h"
#include "support/expect_failure.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;

void ExpectStartFailure(const std::string& script_file, const std::string& message) {
  ExpectFailure(FailureKind::SolverStart, message, [&] { StartSolver(script_file); });
}

TEST(SolverProcess, StartsTheFirstSolverOnPathInASessionOfItsOwnInTheCurrentDirectory) {
  testing::SolverEnvironment environment;
  testing::ScopedTempDir dir;
  // Earlier PATH entries without a usable "opensees.exe" are passed over, a
  // later one is never reached, and the bundled solver is only a fallback.
  const auto not_executable = environment.Root() / "plain";
  const auto chosen = environment.Root() / "chosen";
  const auto later = environment.Root() / "later";
  for (const auto& d : {not_executable, chosen, later}) std::filesystem::create_directories(d);
  std::ofstream(not_executable / "opensees.exe") << "#!/bin/sh\n";
  std::filesystem::create_directories(environment.Root() / "bin" / "opensees.exe");
  testing::WriteExecutable(chosen / "opensees.exe",
                           testing::RecordingSolverScript(environment.Records()));
  testing::WriteExecutable(later / "opensees.exe", "#!/bin/sh\ntouch \"$1.later\"\n");
  testing::WriteExecutable(environment.Root() / "bundled" / "marrowick-solver",
                           "#!/bin/sh\ntouch \"$1.bundled\"\n");
  setenv("PATH",
         (not_executable.string() + ":" + (environment.Root() / "bin").string() + ":" +
          chosen.string() + ":" + later.string())
             .c_str(),
         1);

  // A descriptor Marrowick holds open must not leak into the solver.
  const auto marker = dir.Path() / "held-open-by-marrowick";
  const int held = ::open(marker.c_str(), O_WRONLY | O_CREAT, 0644);
  ASSERT_GE(held, 0);
  std::ofstream("os.tcl") << "wipe\r\n";

  SolverProcess solver = StartSolver("os.tcl");
  ::close(held);
  ASSERT_TRUE(environment.WaitForStart("os.tcl"));
  // A child of ours, watched until it ends, and reaped once.
  ASSERT_GE(solver.ExitDescriptor(), 0);
  pollfd ended{solver.ExitDescriptor(), POLLIN, 0};
  ASSERT_EQ(::poll(&ended, 1, 20000), 1);
  EXPECT_TRUE(solver.Ended());
  const pid_t pid = solver.Pid();
  EXPECT_EQ(solver.Reap(), std::optional<int>(0));
  EXPECT_EQ(::waitpid(pid, nullptr, WNOHANG), -1);

  const auto record = testing::RecordLines(environment.Record("os.tcl"));
  ASSERT_GE(record.size(), 6u);
  EXPECT_EQ(record[0], "1");  // the script's name is the one argument
  EXPECT_EQ(record[1], "os.tcl");
  EXPECT_EQ(record[2], std::filesystem::canonical(dir.Path()).string());
  EXPECT_EQ(record[3], "/dev/null");
  EXPECT_NE(record[4], std::to_string(::getsid(0)));  // a session of its own
  EXPECT_EQ(record[5], std::to_string(::getpid()));
  for (std::size_t i = 6; i < record.size(); ++i) EXPECT_NE(record[i], marker.string());
  EXPECT_EQ(environment.SeenScript("os.tcl"), "wipe\r\n");
  EXPECT_FALSE(std::filesystem::exists("os.tcl.later"));
  EXPECT_FALSE(std::filesystem::exists("os.tcl.bundled"));
}

TEST(SolverProcess, FallsBackToTheBundledSolver) {
  testing::SolverEnvironment environment;
  testing::ScopedTempDir dir;
  testing::WriteExecutable(environment.Root() / "bundled" / "marrowick-solver",
                           testing::RecordingSolverScript(environment.Records()));
  StartSolver("P7.tcl");
  ASSERT_TRUE(environment.WaitForStart("P7.tcl"));
  const auto record = testing::RecordLines(environment.Record("P7.tcl"));
  ASSERT_GE(record.size(), 3u);
  EXPECT_EQ(record[0], "1");
  EXPECT_EQ(record[1], "P7.tcl");
  EXPECT_EQ(record[2], std::filesystem::canonical(dir.Path()).string());
}

TEST(SolverProcess, ASolverThatCannotStartIsReportedWithItsCommandLine) {
  testing::SolverEnvironment environment;
  testing::ScopedTempDir dir;
  const std::string children = testing::ChildProcesses();
  ExpectStartFailure("os.tcl",
                     "Cannot start solver \"opensees.exe os.tcl\". No such file or directory");
  try {
    StartSolver("os.tcl");
  } catch (const Failure& failure) {
    EXPECT_EQ(FailureDisplayText(failure.Message()),
              "Cannot start solver \"opensees.exe os.tcl\". No such file or directory.");
  }

  // Found, but the system refuses to run it: the reason comes back from the
  // solver's side of the start.
  testing::WriteExecutable(environment.Root() / "bin" / "opensees.exe", "not a program\n");
  setenv("PATH", (environment.Root() / "bin").c_str(), 1);
  ExpectStartFailure("P2.tcl", "Cannot start solver \"opensees.exe P2.tcl\". Exec format error");
  testing::WriteExecutable(environment.Root() / "bin" / "opensees.exe", "#!/no/such/interpreter\n");
  ExpectStartFailure("P2.tcl",
                     "Cannot start solver \"opensees.exe P2.tcl\". No such file or directory");
  EXPECT_EQ(testing::ChildProcesses(), children);
}

// A start that cannot be made as asked starts nothing at all: a solver begun
// in another folder than its own would read and write another section's files.
TEST(SolverProcess, EveryStepOfAStartIsCheckedAndTheSolverIsCalledAsTheUserNamedIt) {
  testing::ScopedTempDir dir;
  const std::string solver = (dir.Path() / "solver").string();
  testing::WriteExecutable(solver, "#!/bin/sh\ntouch \"$1.started\"\n");
  std::ofstream("a-file") << "";
  const std::string children = testing::ChildProcesses();
  const struct {
    std::string program, name, directory, message;
  } cases[] = {
      {solver, "tools/solver", "no-such-folder",
       "Cannot start solver \"tools/solver os.tcl\". No such file or directory"},
      {solver, kSolverCommandName, "a-file",
       "Cannot start solver \"opensees.exe os.tcl\". Not a directory"},
      {solver + "-missing", "solver-missing", "",
       "Cannot start solver \"solver-missing os.tcl\". No such file or directory"},
  };
  for (const auto& c : cases)
    ExpectFailure(FailureKind::SolverStart, c.message, [&] {
      LaunchSolver(
          {.program = c.program, .name = c.name, .script = "os.tcl", .directory = c.directory});
    });
  EXPECT_EQ(testing::ChildProcesses(), children);
  EXPECT_FALSE(std::filesystem::exists("os.tcl.started"));
}

}  // namespace
}  // namespace marrowick
