#include "core/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/extended_arithmetic.h"
#include "core/failure.h"
#include "support/expect_failure.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;

struct ExponentCase {
  Extended value;
  const char* four;
  const char* three;
};

TEST(FormatExponent, WorkedExamples) {
  const ExponentCase cases[] = {
      {35, "3.500E+001", "3.50E+001"},
      {-0.002, "-2.000E-003", "-2.00E-003"},
      {1000000, "1.000E+006", "1.00E+006"},
      {0.0, "0.000E+000", "0.00E+000"},
      {-0.0, "0.000E+000", "0.00E+000"},
      {123456, "1.235E+005", "1.23E+005"},
      {1.0625, "1.063E+000", "1.06E+000"},
      {-1234.5, "-1.235E+003", "-1.23E+003"},
      {12.5, "1.250E+001", "1.25E+001"},
      {1.125, "1.125E+000", "1.13E+000"},
      {9.99951, "1.000E+001", "1.00E+001"},
      {0.1 + 0.2, "3.000E-001", "3.00E-001"},
      {2.675, "2.675E+000", "2.67E+000"},
      {1e-10, "1.000E-010", "1.00E-010"},
      {9.9995, "9.999E+000", "1.00E+001"},
      {1e100, "1.000E+100", "1.00E+100"},
      {5, "5.000E+000", "5.00E+000"},
      {-5.204170e-18, "-5.204E-018", "-5.20E-018"},
      {std::numeric_limits<double>::max(), "1.798E+308", "1.80E+308"},
      {std::numeric_limits<double>::denorm_min(), "4.941E-324", "4.94E-324"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatExponent(c.value, 4, '.'), c.four) << static_cast<double>(c.value);
    EXPECT_EQ(FormatExponent(c.value, 3, '.'), c.three) << static_cast<double>(c.value);
  }
}

TEST(FormatExponent, TakesTheExtendedValueAsHandedOver) {
  // 0.00002 / 100 in extended precision, not rounded to double first.
  const Extended step = static_cast<Extended>(0.00002) / 100;
  EXPECT_EQ(FormatExponent(step, 4, '.'), "2.000E-007");
  // A value a hair below a tie whose 18-digit form is the tie: it rounds up.
  const Extended below_tie = 1.0625L - std::ldexp(1.0L, -63);
  ASSERT_LT(below_tie, 1.0625L);
  EXPECT_EQ(FormatExponent(below_tie, 4, '.'), "1.063E+000");
}

TEST(FormatExponent, WritesTheGivenDecimalSymbol) {
  EXPECT_EQ(FormatExponent(35, 4, ','), "3,500E+001");
  EXPECT_EQ(FormatExponent(0, 3, ','), "0,00E+000");
}

TEST(FormatTemplate, ReplacesEachPlaceholderInTurn) {
  EXPECT_EQ(FormatTemplate("%0.4E,%0.4E", {Extended{123.456}, Extended{-789}}, '.'),
            "1.235E+002,-7.890E+002");
  EXPECT_EQ(FormatTemplate("P%D_mom_cur.out", {int32_t{12}}, '.'), "P12_mom_cur.out");
  EXPECT_EQ(FormatTemplate("%D|%D|%D", {int32_t{-7}, int32_t{0}, int32_t{INT32_MIN}}, '.'),
            "-7|0|-2147483648");
  EXPECT_EQ(FormatTemplate("fiber\t%0.4E\t%D", {Extended{35}, int32_t{1}}, '.'),
            "fiber\t3.500E+001\t1");
  EXPECT_EQ(FormatTemplate("%0.3E", {Extended{0.5}}, ','), "5,00E-001");
  EXPECT_EQ(FormatTemplate("no placeholder {}%", {}, '.'), "no placeholder {}%");
}

struct RealCase {
  const char* text;
  double value;
};

TEST(ParseReal, AcceptsTheGrammar) {
  const RealCase cases[] = {
      {" 1.5 ", 1.5},
      {"1e3", 1000},
      {".", 0},
      {"-.", 0},
      {"+.", 0},
      {"5.", 5},
      {".5", 0.5},
      {"1E", 1},
      {"1e+", 1},
      {"35", 35},
      {"0.002", 0.002},
      {"-1000", -1000},
      {"0.00002", 0.00002},
      {"1E500", 0},
      {"1e-400", 0},
      {"-0", -0.0},
      {"2.5e-3", 0.0025},
      {"1.7976931348623157e308", 1.7976931348623157e308},
  };
  for (const auto& c : cases) {
    if (std::string(c.text) == "1E500") continue;  // overflow, below
    EXPECT_EQ(ParseReal(c.text, '.'), c.value) << c.text;
  }
  EXPECT_TRUE(std::signbit(ParseReal("-0", '.')));
  EXPECT_GT(ParseReal("1e-310", '.'), 0.0);  // subnormal, no message
}

TEST(ParseReal, RejectsWithTheWholeTextQuoted) {
  const char* rejected[] = {"",    "-",   "1,5",  "1.5.",   "1 000", "\t1",  "1\t", "- 1",
                            "INF", "NAN", "0x10", "1E5000", "e5",    "1e5x", "١",   "1.5e+-3"};
  for (const char* text : rejected) {
    const Failure failure =
        ExpectFailure(FailureKind::RealConversion, [&] { ParseReal(text, '.'); });
    EXPECT_EQ(failure.Message(), "'" + std::string(text) + "' is not a valid floating point value");
  }
}

TEST(ParseReal, OverflowFailsAtTheStoreNotAtTheConversion) {
  for (const char* text : {"1e400", "1E500", "-1e309"}) {
    ExpectFailure(FailureKind::Overflow, "Floating point overflow", [&] { ParseReal(text, '.'); });
  }
  // Beyond the extended range the conversion itself rejects the text.
  EXPECT_THROW(ParseReal("1e4999", '.'), Failure);
}

TEST(ParseReal, FollowsTheDecimalSymbolItIsGiven) {
  EXPECT_EQ(ParseReal("1,5", ','), 1.5);
  EXPECT_EQ(ParseReal(",", ','), 0);
  EXPECT_THROW(ParseReal("1.5", ','), Failure);
}

TEST(ParseInteger, Table) {
  const std::pair<const char*, int32_t> accepted[] = {
      {"$A", 10},
      {"-2147483648", INT32_MIN},
      {"2147483647", INT32_MAX},
      {"$FFFFFFFF", -1},
      {"-$10", -16},
      {"  -7", -7},
      {"+3", 3},
      {"007", 7},
      {"0", 0},
      {"0x1f", 31},
      {"X10", 16},
      {"$000000000001", 1},
      {"-$80000000", INT32_MIN},
  };
  for (const auto& [text, value] : accepted) EXPECT_EQ(ParseInteger(text), value) << text;

  const char* rejected[] = {"",           "   ",         "12 ", "10 ",  "1.0",        "4294967295",
                            "2147483648", "-2147483649", "$",   "0x",   "$100000000", "--1",
                            "+-1",        "1e3",         "$G",  " - 1", "20.5"};
  for (const char* text : rejected) {
    ExpectFailure(FailureKind::IntegerConversion,
                  "'" + std::string(text) + "' is not a valid integer value",
                  [&] { ParseInteger(text); });
  }
}

TEST(RoundToInteger, HalvesGoToTheEvenNeighbour) {
  const std::pair<Extended, int32_t> cases[] = {
      {0.5, 0},
      {1.5, 2},
      {2.5, 2},
      {3.5, 4},
      {-0.5, 0},
      {-1.5, -2},
      {2.4999, 2},
      {179.5, 180},
      {14.285714L, 14},
      {-2147483648.0L, INT32_MIN},
      {2147483647.4L, INT32_MAX},
  };
  for (const auto& [value, expected] : cases)
    EXPECT_EQ(RoundToInteger(value), expected) << static_cast<double>(value);
}

TEST(RoundToInteger, BeyondTheIntegerRangeIsAnInvalidOperation) {
  for (Extended value : {1e19L, -1e30L, 3e9L, static_cast<Extended>(NAN)}) {
    ExpectFailure(FailureKind::InvalidOperation, "Invalid floating point operation",
                  [&] { RoundToInteger(value); });
  }
}

TEST(Divide, RaisesTheTrappedCases) {
  EXPECT_EQ(Divide(1, 4), 0.25L);
  ExpectFailure(FailureKind::DivideByZero, "Floating point division by zero",
                [&] { Divide(1, 0); });
  const Failure failure = ExpectFailure(FailureKind::InvalidOperation, [&] { Divide(0, 0); });
}

TEST(TrimText, RemovesControlBytesAtBothEnds) {
  EXPECT_EQ(TrimText("\t x\r"), "x");
  EXPECT_EQ(TrimText(std::string("\0a b\n", 5)), "a b");
  EXPECT_EQ(TrimText("\x01\x1f"), "");
  EXPECT_EQ(TrimText("\xe7\x9f\xa9"), "\xe7\x9f\xa9");
  EXPECT_EQ(TrimText(""), "");
}

}  // namespace
}  // namespace marrowick
