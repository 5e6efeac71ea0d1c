// Recorder files cut short: a solver killed or a disk filled while a line, or
// a number, was half written. The lines before the cut always read as
// written; the cut line itself reads as far as it goes or fails quoting its
// field.
#include <gtest/gtest.h>

#include <string>

#include "core/failure.h"
#include "results/result_file.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using testing::WriteBytes;

const std::string kWhole = "0 0 \r\n150.25 1.5e-06 \r\n-300.5 2.25e-06 \r\n";
const RealTable kMoments = {0, 0, 150.25, -300.5};
const RealTable kCurvatures = {0, 0, 1.5e-06, 2.25e-06};

// Cut after every byte: each complete line keeps its values, and the count
// is the number of lines begun.
TEST(CutRecorderFile, EveryCutKeepsTheLinesBeforeIt) {
  testing::ScopedTempDir dir;
  for (std::size_t cut = 0; cut <= kWhole.size(); ++cut) {
    const std::string bytes = kWhole.substr(0, cut);
    WriteBytes("mom_cur.out", bytes);
    std::size_t begun = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
      if (bytes[i] != '\n' && (i == 0 || bytes[i - 1] == '\n')) ++begun;
    std::size_t complete = 0;
    for (char c : bytes) complete += c == '\r';  // a lone CR already ends a line

    AnalysisState state;
    try {
      ReadResultFile("mom_cur.out", {state.TextLines, state.Fields},
                     {state.SeriesCount, state.MomentSeries, &state.CurvatureSeries});
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Kind(), FailureKind::RealConversion) << cut;
    }
    EXPECT_EQ(state.SeriesCount, static_cast<int32_t>(begun)) << cut;
    for (std::size_t i = 1; i <= complete; ++i) {
      EXPECT_EQ(state.MomentSeries[i], kMoments[i]) << cut;
      EXPECT_EQ(state.CurvatureSeries[i], kCurvatures[i]) << cut;
    }
  }
}

// What the cut line gives. A number cut short is still a number, so a cut
// in the middle of a value reads a different value without a word; only a
// cut that leaves a field empty, or a sign alone, is refused.
TEST(CutRecorderFile, ACutLineReadsAsFarAsItGoesOrQuotesItsField) {
  struct Case {
    std::string last_line;  // after "0 0 \r\n"
    bool two_columns;       // "mom_cur.out", else a sweep level
    std::string refused;    // the quoted field, or empty when it reads
    double moment;
    double curvature;
  };
  const Case cases[] = {
      {"-300.5 2.25e-06 ", true, "", -300.5, 2.25e-06},
      {"-300.5 2.25e-06", true, "", -300.5, 2.25e-06},
      {"-300.5 2.25e-0", true, "", -300.5, 2.25},
      {"-300.5 2.25e-", true, "", -300.5, 2.25},
      {"-300.5 2.25e", true, "", -300.5, 2.25},
      {"-300.5 2.2", true, "", -300.5, 2.2},
      {"-300.5 2.", true, "", -300.5, 2},
      {"-300.5 ", true, "''", -300.5, 0},
      {"-300.5", true, "''", -300.5, 0},
      {"-300.", true, "''", -300, 0},
      {"-30", true, "''", -30, 0},
      {"-", true, "'-'", 0, 0},
      {"-300.5 2.2", false, "", -300.5, 0},
      {"-300.5 ", false, "", -300.5, 0},
      {"-30", false, "", -30, 0},
      {"-3", false, "", -3, 0},
      {"-", false, "'-'", 0, 0},
  };
  testing::ScopedTempDir dir;
  for (const Case& c : cases) {
    const std::string name = c.two_columns ? "mom_cur.out" : "P4_mom_cur.out";
    WriteBytes(name, "0 0 \r\n" + c.last_line);
    AnalysisState state;
    RealTable first;
    RealTable second;
    int32_t count = 0;
    std::string refused;
    try {
      ReadResultFile(name, {state.TextLines, state.Fields},
                     {count, first, c.two_columns ? &second : nullptr});
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Kind(), FailureKind::RealConversion) << c.last_line;
      refused = failure.Message().substr(0, failure.Message().find(" is not"));
    }
    EXPECT_EQ(refused, c.refused) << c.last_line;
    EXPECT_EQ(count, 2) << c.last_line;
    ASSERT_EQ(first.size(), 3u) << c.last_line;
    EXPECT_EQ(first[2], c.moment) << c.last_line;
    if (c.two_columns && c.refused.empty()) {
      EXPECT_EQ(second[2], c.curvature) << c.last_line;
    }
  }
}

}  // namespace
}  // namespace marrowick
