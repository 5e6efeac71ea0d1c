// The recorder file: its number format, its writing, and the lock that
// keeps Marrowick from reading a file the solver is still writing.

#include "model/recorder.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <limits>
#include <sstream>

#include "engine_test_support.h"
#include "model/domain.h"
#include "support/temp_dir.h"

namespace marrowick::engine {
namespace {

using testing::readLines;
using testing::writeText;

TEST(RecorderNumbers, WrittenAsAStreamWritesThemAtPrecision6) {
  const double cases[] = {69.0233412, 2e-07,
                          -265.892,   0.0,
                          -0.0,       1.0,
                          0.1 + 0.2,  123456789.0,
                          1e-300,     1e300,
                          -1e-5,      0.00014,
                          1234567.0,  std::numeric_limits<double>::infinity()};
  for (double value : cases) {
    std::ostringstream stream;
    stream.precision(6);
    stream << value;
    std::string ours;
    appendNumber(ours, value, 6);
    EXPECT_EQ(ours, stream.str()) << value;
  }
}

// Asks for a shared lock without waiting, as Marrowick's reader does.
bool sharedLockGranted(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY);
  if (fd < 0) return false;
  struct flock lock = {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  const bool granted = fcntl(fd, F_OFD_SETLK, &lock) == 0;
  ::close(fd);
  return granted;
}

TEST(NodeRecorder, TruncatesAtCreationAndHoldsTheLockUntilClosed) {
  marrowick::testing::ScopedTempDir dir;
  writeText("r.out", "old content\n");
  Domain domain;
  domain.addNode(2, 0.0, 0.0);
  {
    NodeRecorder recorder("r.out", true, {2}, {0, 2}, 6);
    EXPECT_TRUE(readLines("r.out").empty());
    EXPECT_FALSE(sharedLockGranted("r.out"));
    domain.findNode(2)->trialDisp = {0.5, 0.0, -2e-7};
    domain.applyLoads(1.5);
    domain.commit();
    recorder.record(domain);
    // Written when flushed (the solver flushes after each analyze): readable
    // before the recorder is done.
    recorder.flush();
    EXPECT_EQ(readLines("r.out"), std::vector<std::string>{"1.5 0.5 -2e-07 "});
    recorder.close();
    EXPECT_TRUE(sharedLockGranted("r.out"));
  }
}

TEST(NodeRecorder, UnwritablePlaceIsAModelError) {
  marrowick::testing::ScopedTempDir dir;
  EXPECT_THROW(NodeRecorder("no/such/dir/r.out", false, {1}, {0}, 6), std::runtime_error);
}

// The solver program holds the lock while it runs and lets go when it exits.
// The script waits on its standard input, so the test decides when it ends.
TEST(SolverProcess, RecorderFileIsLockedWhileTheSolverRuns) {
  marrowick::testing::ScopedTempDir dir;
  writeText("s.tcl", testing::columnModel("uniaxialMaterial Elastic 1 1000.0",
                                          "fiber -1 0 1 1\nfiber 1 0 1 1\n") +
                         "recorder Node -file r.out -time -node 2 -dof 1 disp\n"
                         "pattern Plain 1 Linear {\nload 2 10.0 0 0\n}\n"
                         "integrator LoadControl 0.5\nalgorithm Newton\n"
                         "test NormDispIncr 1e-12 10\nanalysis Static\nanalyze 1\n"
                         "gets stdin\nanalyze 1\n");
  int pipeFds[2];
  ASSERT_EQ(pipe(pipeFds), 0);
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    dup2(pipeFds[0], STDIN_FILENO);
    ::close(pipeFds[1]);
    execl(MARROWICK_SOLVER, MARROWICK_SOLVER, "s.tcl", static_cast<char*>(nullptr));
    _exit(127);
  }
  ::close(pipeFds[0]);
  // Wait for the first step's line (bounded: the solver needs milliseconds).
  for (int i = 0; i < 5000 && readLines("r.out").empty(); ++i) usleep(1000);
  EXPECT_EQ(readLines("r.out"), std::vector<std::string>{"0.5 0.0025 "});
  EXPECT_FALSE(sharedLockGranted("r.out"));

  ASSERT_EQ(write(pipeFds[1], "go\n", 3), 3);
  ::close(pipeFds[1]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(sharedLockGranted("r.out"));
  EXPECT_EQ(readLines("r.out").size(), 2u);
}

}  // namespace
}  // namespace marrowick::engine
