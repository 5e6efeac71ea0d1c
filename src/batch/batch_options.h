#pragma once

#include <string>
#include <vector>

namespace marrowick {

inline constexpr char kBatchUsage[] =
    "usage: marrowick-batch [--out DIR] [--jobs N] [--solver PATH] [--timeout SECONDS] "
    "[--no-report] [--outputs LIST] [--resume] [--vary KEY=VALUES]... SECTION.ini...";

// What each section's folder gets (--outputs). Every kind but the scripts is
// today's default; with none of them a section has no folder at all and
// only its row in study.csv tells of it.
struct SectionOutputs {
  bool scripts = false;   // the scripts, left after their runs (each run deletes its own)
  bool recorders = true;  // the solver's recorder files and m-n.out
  bool csv = true;        // fibers.csv, moment-curvature.csv, interaction.csv, mx-my.csv
  bool png = true;        // section.png, moment-curvature.png, interaction.png, mx-my.png
  bool json = true;       // summary.json
  bool report = true;     // report.pdf (--no-report also leaves it out)
  bool Any() const { return scripts || recorders || csv || png || json || report; }
  // Whether the Mx–My contour's runs are wanted: their recorder files, the
  // contour's table and its chart. summary.json, the report and study.csv
  // do not show the contour, and its 24 runs in space cost more than the
  // section's other analyses together.
  bool Contour() const { return recorders || csv || png; }
};

// One --vary: an input by its section-file key and the texts it takes, in
// order ("." as decimal point).
struct Variation {
  std::string key;
  int field = 0;  // EditN
  std::vector<std::string> values;
};

// One point of the grid: "@KEY=VALUE,KEY=VALUE" to add to the section's
// name, and the texts it gives the fields.
struct Variant {
  std::string suffix;
  std::vector<std::pair<int, std::string>> texts;  // EditN, text with "."
};

struct BatchOptions {
  std::string out_directory = ".";
  int jobs = 0;        // solvers at once; 0 until read: one per core
  std::string solver;  // empty: the window's lookup
  double timeout_seconds = 300;
  std::vector<std::string> section_files;
  bool help = false;
  bool report = true;  // report.pdf in every section folder; --no-report leaves it out
  SectionOutputs outputs;
  bool resume = false;  // skip the sections study.csv says are done
  std::vector<Variation> vary;
};

// Reads the command line (argv[1] on). "--name VALUE" and "--name=VALUE" are
// both accepted, "--" ends the options. A missing file list, an unknown
// option, a missing or bad value, "--jobs 0" or a time-out that is not a
// positive number of seconds fails with the invalid-input failure, whose
// message says what is wrong (the caller adds the usage line).
// "--outputs LIST" and "--vary KEY=..." fail alike, naming the kind, key or
// value that is wrong.
BatchOptions ReadBatchOptions(const std::vector<std::string>& arguments, int cores);

// The cartesian product of the variations, the first varying slowest, one
// point at a time (a study need not hold its grid): how many points, and
// the point at an index. Without variations there is one point, without a
// suffix.
std::size_t VariantCount(const std::vector<Variation>& vary);
Variant VariantAt(const std::vector<Variation>& vary, std::size_t index);

}  // namespace marrowick
