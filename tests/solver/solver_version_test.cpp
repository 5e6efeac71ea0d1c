#include "solver/solver_version.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

namespace fs = std::filesystem;

// Stand-ins that talk as OpenSees does, say nothing, or hang on after their
// banner; the bundled solver is named without being run.
TEST(SolverVersion, TheBannerLineOrNothing) {
  const testing::ScopedTempDir dir;
  const struct {
    const char* name;
    const char* script;
    const char* line;
  } cases[] = {
      {"opensees",
       "echo '  OpenSees -- Open System For Earthquake Engineering Simulation' >&2\n"
       "echo '        Version 3.8.0 64-Bit ()  ' >&2\n",
       "Version 3.8.0 64-Bit ()"},
      {"quiet", "test -f version.tcl || echo 'Version of no script'\n", ""},
      {"hangs", "echo 'Version 2.5.0'\nexec sleep 30\n", "Version 2.5.0"},
      {"marrowick-solver", "exit 1\n", "Marrowick 自带求解器"},
  };
  for (const auto& test : cases) {
    const fs::path program = dir.Path() / test.name;
    testing::WriteBytes(program, std::string("#!/bin/sh\n") + test.script);
    fs::permissions(program, fs::perms::owner_all);
    EXPECT_EQ(SolverVersionLine(program.string()), test.line) << test.name;
  }
}

}  // namespace
}  // namespace marrowick
