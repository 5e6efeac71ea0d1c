#include "results/result_file.h"

#include <gtest/gtest.h>

#include "core/decimal_symbol.h"
#include "core/failure.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

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
  const int32_t n =
      ReadResultFile("mom_cur.out", {state_.TextLines, state_.Fields},
                     {state_.SeriesCount, state_.MomentSeries, &state_.CurvatureSeries});
  EXPECT_EQ(n, 4);
  EXPECT_EQ(state_.SeriesCount, 4);
  EXPECT_EQ(state_.MomentSeries, (RealTable{9, 0, 150.5, -3.25, 420}));
  EXPECT_EQ(state_.CurvatureSeries, (RealTable{0, 0, 1e-6, 2.5e-6, -1e-5}));
  EXPECT_EQ(state_.TextLines.size(), 4u);
  EXPECT_EQ(state_.Fields[1], "420");
}

TEST_F(ReadResultFileTest, ReadsAPointWhateverTheRegionalSymbol) {
  WriteBytes("mom_cur.out", "1.5 0.25 \n");
  SetRegionalDecimal(',');
  ReadResultFile("mom_cur.out", {state_.TextLines, state_.Fields},
                 {state_.SeriesCount, state_.MomentSeries, &state_.CurvatureSeries});
  SetRegionalDecimal('.');
  EXPECT_EQ(state_.MomentSeries[1], 1.5);
  EXPECT_EQ(state_.CurvatureSeries[1], 0.25);
}

TEST_F(ReadResultFileTest, WithOneSeriesTheRestOfALineIsNotLookedAt) {
  WriteBytes("P3_mom_cur.out", "12.5 \n13 junk \n-4 1.0 2.0 x\n7");
  RealTable series;
  int32_t count = 0;
  EXPECT_EQ((ReadResultFile("P3_mom_cur.out", {state_.TextLines, state_.Fields}, {count, series})),
            4);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(series, (RealTable{0, 12.5, 13, -4, 7}));
}

TEST_F(ReadResultFileTest, AFileWithoutLinesGivesOneSlot) {
  WriteBytes("P1_mom_cur.out", "");
  RealTable series{1, 2, 3};
  int32_t count = 7;
  EXPECT_EQ((ReadResultFile("P1_mom_cur.out", {state_.TextLines, state_.Fields}, {count, series})),
            0);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(series.size(), 1u);
}

TEST_F(ReadResultFileTest, AMissingFileChangesNothingButTheBuffer) {
  state_.TextLines = {"old"};
  state_.SeriesCount = 2;
  state_.MomentSeries = {0, 1, 2};
  state_.Fields[1] = "kept";
  try {
    ReadResultFile("mom_cur.out", {state_.TextLines, state_.Fields},
                   {state_.SeriesCount, state_.MomentSeries, &state_.CurvatureSeries});
    ADD_FAILURE();
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Kind(), FailureKind::FileOpen);
    EXPECT_EQ(failure.Message(), "Cannot open file \"" + (dir_.Path() / "mom_cur.out").string() +
                                     "\". No such file or directory");
  }
  EXPECT_TRUE(state_.TextLines.empty());
  EXPECT_EQ(state_.SeriesCount, 2);
  EXPECT_EQ(state_.MomentSeries, (RealTable{0, 1, 2}));
  EXPECT_EQ(state_.Fields[1], "kept");
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
    try {
      ReadResultFile("mom_cur.out", {state.TextLines, state.Fields},
                     {state.SeriesCount, state.MomentSeries, &state.CurvatureSeries});
      ADD_FAILURE() << c.what;
    } catch (const Failure& failure) {
      EXPECT_EQ(failure.Kind(), FailureKind::RealConversion) << c.what;
      EXPECT_EQ(failure.Message(), c.quoted + " is not a valid floating point value") << c.what;
    }
    EXPECT_EQ(state.SeriesCount, 4) << c.what;
    ASSERT_EQ(state.MomentSeries.size(), 5u) << c.what;
    ASSERT_EQ(state.CurvatureSeries.size(), 5u) << c.what;
    EXPECT_EQ(state.MomentSeries[1], 1) << c.what;
    EXPECT_EQ(state.MomentSeries[2], 2) << c.what;
    EXPECT_EQ(state.CurvatureSeries[2], 0.2) << c.what;
    EXPECT_EQ(state.MomentSeries[3], c.first_stored ? 3.5 : -9) << c.what;
    RecorderFields expected;
    SplitFields(expected, c.third_line);
    EXPECT_EQ(state.Fields, expected) << c.what;
  }
}

}  // namespace
}  // namespace marrowick
