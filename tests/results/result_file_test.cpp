#include "results/result_file.h"

#include <gtest/gtest.h>

#include <string>

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "support/expect_failure.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;

using testing::WriteBytes;

RecorderFields Split(const std::string& line) {
  RecorderFields fields;
  fields.fill("stale");
  SplitFields(fields, line);
  return fields;
}

TEST(SplitFields, CutsALineAtItsSpaces) {
  struct Case {
    std::string line;
    std::vector<std::string> fields;  // Fields[1] onwards; the rest empty
  };
  const Case cases[] = {
      {"1.5 0.002 ", {"1.5", "0.002"}},
      // OpenSees ends a line with its last value, no space after it.
      {"1.5 0.002", {"1.5", "0.002"}},
      {"1.5", {"1.5"}},
      {" 1.5 0.002 ", {"", "1.5", "0.002"}},
      {"1.5  0.002 ", {"1.5", "", "0.002"}},
      {"\t1.5 \t0.002\t ", {"1.5", "0.002"}},
      {"1.5\t0.002 ", {"1.5\t0.002"}},
      {"", {}},
      {"1 2 3 4 5 6 7 8 9 10 11 12 ", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
      // The tenth space ends the tenth field; what follows is never a field.
      {"1 2 3 4 5 6 7 8 9 10 11", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
      {"1 2 3 4 5 6 7 8 9 10", {"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}},
      {"\x01-2.5\x1f 3e-4\r ", {"-2.5", "3e-4"}},
      {"\xe9\xa0 \x05\x7f\x80 \x1f\x02 ", {"\xe9\xa0", "\x7f\x80"}},
  };
  for (const auto& c : cases) {
    const RecorderFields fields = Split(c.line);
    EXPECT_EQ(fields[0], "stale") << c.line;
    for (std::size_t k = 1; k <= 10; ++k) {
      const std::string expected = k <= c.fields.size() ? c.fields[k - 1] : "";
      EXPECT_EQ(fields[k], expected) << '"' << c.line << "\" field " << k;
    }
  }
}

class ReadResultFileTest : public ::testing::Test {
 protected:
  testing::ScopedTempDir dir_;
  AnalysisState state_;
};

TEST_F(ReadResultFileTest, FillsBothSeriesInLineOrder) {
  WriteBytes("mom_cur.out", "0 0 \r\n150.5 1e-6 \r\n-3.25 2.5e-6\r\n420 -1E-05 \r\n");
  state_.MomentSeries = {9, 9, 9, 9, 9, 9, 9, 9};
  const int32_t n = ReadResultFile(
      "mom_cur.out", {state_.SeriesCount, state_.MomentSeries, &state_.CurvatureSeries});
  EXPECT_EQ(n, 4);
  EXPECT_EQ(state_.SeriesCount, 4);
  EXPECT_EQ(state_.MomentSeries, (RealTable{9, 0, 150.5, -3.25, 420}));
  EXPECT_EQ(state_.CurvatureSeries, (RealTable{0, 0, 1e-6, 2.5e-6, -1e-5}));
}

TEST_F(ReadResultFileTest, ReadsAPointWhateverTheRegionalSymbol) {
  WriteBytes("mom_cur.out", "1.5 0.25 \n");
  SetRegionalDecimal(',');
  ReadResultFile("mom_cur.out", {state_.SeriesCount, state_.MomentSeries, &state_.CurvatureSeries});
  SetRegionalDecimal('.');
  EXPECT_EQ(state_.MomentSeries[1], 1.5);
  EXPECT_EQ(state_.CurvatureSeries[1], 0.25);
}

TEST_F(ReadResultFileTest, WithOneSeriesTheRestOfALineIsNotLookedAt) {
  WriteBytes("P3_mom_cur.out", "12.5 \n13 junk \n-4 1.0 2.0 x\n7");
  RealTable series;
  int32_t count = 0;
  EXPECT_EQ((ReadResultFile("P3_mom_cur.out", {count, series})), 4);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(series, (RealTable{0, 12.5, 13, -4, 7}));
}

TEST_F(ReadResultFileTest, AFileWithoutLinesGivesOneSlot) {
  WriteBytes("P1_mom_cur.out", "");
  RealTable series{1, 2, 3};
  int32_t count = 7;
  EXPECT_EQ((ReadResultFile("P1_mom_cur.out", {count, series})), 0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(series.size(), 1u);
}

TEST_F(ReadResultFileTest, AMissingFileChangesNothing) {
  state_.SeriesCount = 2;
  state_.MomentSeries = {0, 1, 2};
  const Failure failure = ExpectFailure(FailureKind::FileOpen, [&] {
    ReadResultFile("mom_cur.out",
                   {state_.SeriesCount, state_.MomentSeries, &state_.CurvatureSeries});
  });
  EXPECT_EQ(failure.Message(), "Cannot open file \"" + (dir_.Path() / "mom_cur.out").string() +
                                   "\". No such file or directory");
  EXPECT_EQ(state_.SeriesCount, 2);
  EXPECT_EQ(state_.MomentSeries, (RealTable{0, 1, 2}));
}

// A line that cannot be converted stops the read there, with the count and the
// sizes already set and the earlier values already stored.
TEST_F(ReadResultFileTest, AFailingLineLeavesTheStateReachedSoFar) {
  struct Case {
    std::string what;
    std::string third_line;
    std::string quoted;
    bool first_stored;
  };
  const Case cases[] = {
      {"empty line", "", "''", false},
      {"leading space", " 3.5 0.3 ", "''", false},
      {"second field not a number", "3.5 abc ", "'abc'", true},
      {"two spaces between the values", "3.5  0.3 ", "''", true},
      {"comma decimal", "3,5 0.3 ", "'3,5'", false},
  };
  for (const auto& c : cases) {
    WriteBytes("mom_cur.out", "1 0.1 \n2 0.2 \n" + c.third_line + "\n4 0.4 \n");
    AnalysisState state;
    state.MomentSeries = {0, 0, 0, -9, -9, -9, -9};
    ExpectFailure(FailureKind::RealConversion, c.quoted + " is not a valid floating point value",
                  [&] {
                    ReadResultFile("mom_cur.out",
                                   {state.SeriesCount, state.MomentSeries, &state.CurvatureSeries});
                  });
    EXPECT_EQ(state.SeriesCount, 4) << c.what;
    ASSERT_EQ(state.MomentSeries.size(), 5u) << c.what;
    ASSERT_EQ(state.CurvatureSeries.size(), 5u) << c.what;
    EXPECT_EQ(state.MomentSeries[1], 1) << c.what;
    EXPECT_EQ(state.MomentSeries[2], 2) << c.what;
    EXPECT_EQ(state.CurvatureSeries[2], 0.2) << c.what;
    EXPECT_EQ(state.MomentSeries[3], c.first_stored ? 3.5 : -9) << c.what;
  }
}

// Recorder files cut short: a solver killed or a disk filled while a line, or
// a number, was half written. The lines before the cut always read as
// written; the cut line itself reads as far as it goes or fails quoting its
// field.
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
      ReadResultFile("mom_cur.out",
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
      ReadResultFile(name, {count, first, c.two_columns ? &second : nullptr});
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
