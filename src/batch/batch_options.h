#pragma once

#include <string>
#include <vector>

namespace marrowick {

inline constexpr char kBatchUsage[] =
    "usage: marrowick-batch [--out DIR] [--jobs N] [--solver PATH] [--timeout SECONDS] "
    "[--no-report] SECTION.ini...";

struct BatchOptions {
  std::string out_directory = ".";
  int jobs = 0;        // solvers at once; 0 until read: one per core
  std::string solver;  // empty: the window's lookup
  double timeout_seconds = 300;
  std::vector<std::string> section_files;
  bool help = false;
  bool report = true;  // report.pdf in every section folder; --no-report leaves it out
};

// Reads the command line (argv[1] on). "--name VALUE" and "--name=VALUE" are
// both accepted, "--" ends the options. A missing file list, an unknown
// option, a missing or bad value, "--jobs 0" or a time-out that is not a
// positive number of seconds fails with the invalid-input failure, whose
// message says what is wrong (the caller adds the usage line).
BatchOptions ReadBatchOptions(const std::vector<std::string>& arguments, int cores);

}  // namespace marrowick
