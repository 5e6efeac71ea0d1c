// The plain reader of section bodies: what it takes from Tcl's hands, and
// what it must leave to Tcl because Tcl would read it otherwise.

#include "interpreter/fiber_lines.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

namespace marrowick::engine {
namespace {

struct BodyCase {
  const char* body;
  bool read;          // false: left to Tcl
  std::size_t count;  // fibers read
  FiberLine last;     // the last fiber read
};

TEST(FiberLines, ReadsOnlyWhatTclWouldReadAlike) {
  const BodyCase cases[] = {
      {"", true, 0, {}},
      {"\n  \n\t\n", true, 0, {}},
      {"fiber\t-2.824E+002\t-2.321E+002\t1.261E+003\t1\n", true, 1, {-282.4, -232.1, 1261.0, 1}},
      {"fiber 1 0 10 1\r\n  fiber +.5 -0 1. 12 \n", true, 2, {0.5, 0.0, 1.0, 12}},
      {"fiber 1 0 10 1\nfiber 2 0 10 2", true, 2, {2.0, 0.0, 10.0, 2}},
      {"fiber 1 0 10 -999999999", true, 1, {1.0, 0.0, 10.0, -999999999}},
      // Tcl reads "-0" as the whole number 0, "-0.0" as the double -0.
      {"fiber 1 -0 10 0", true, 1, {1.0, 0.0, 10.0, 0}},
      {"fiber 1 -0.0 10 0", true, 1, {1.0, -0.0, 10.0, 0}},
      {"fiber 1 0 1234567890123456 1", false, 0, {}},
      // Substitutions, quoting and comments are Tcl's.
      {"fiber $y 0 10 1", false, 0, {}},
      {"fiber [expr 1] 0 10 1", false, 0, {}},
      {"fiber {1} 0 10 1", false, 0, {}},
      {"fiber \"1\" 0 10 1", false, 0, {}},
      {"fiber 1 0 10 1 ;# note", false, 0, {}},
      {"# fiber 1 0 10 1", false, 0, {}},
      {"fiber 1 0 10 \\\n 1", false, 0, {}},
      // Other commands and other word counts.
      {"fibre 1 0 10 1", false, 0, {}},
      {"fiber 1 0 10", false, 0, {}},
      {"fiber 1 0 10 1 2", false, 0, {}},
      // Numbers Tcl reads its own way, or that the command refuses.
      {"fiber 1 0 10 010", false, 0, {}},
      {"fiber 1 0 10 0x1", false, 0, {}},
      {"fiber 1 0 10 1e3", false, 0, {}},
      {"fiber 1 0 10 1234567890", false, 0, {}},
      {"fiber 1 0 010 1", false, 0, {}},
      {"fiber 1e400 0 10 1", false, 0, {}},
      {"fiber 4.9e-324 0 10 1", false, 0, {}},
      {"fiber inf 0 10 1", false, 0, {}},
      {"fiber . 0 10 1", false, 0, {}},
      {"fiber 1e 0 10 1", false, 0, {}},
  };
  for (const BodyCase& c : cases) {
    SCOPED_TRACE(c.body);
    std::vector<FiberLine> fibers;
    ASSERT_EQ(readFiberLines(c.body, fibers), c.read);
    if (!c.read) continue;
    ASSERT_EQ(fibers.size(), c.count);
    if (c.count == 0) continue;
    EXPECT_EQ(fibers.back().y, c.last.y);
    EXPECT_EQ(std::signbit(fibers.back().z), std::signbit(c.last.z));
    EXPECT_EQ(fibers.back().area, c.last.area);
    EXPECT_EQ(fibers.back().materialTag, c.last.materialTag);
  }
}

// Every decimal the reader takes is the double from_chars rounds it to, bit
// for bit: the scripts' own forms, long mantissas, the edges of the exact
// powers of ten (10^22, 2^53 digits) and halfway cases.
TEST(FiberLines, ReadsEveryDecimalAsFromCharsRoundsIt) {
  std::vector<std::string> words = {"9007199254740993",
                                    "9007199254740992e1",
                                    "1e22",
                                    "1e23",
                                    "123456789012345678e-22",
                                    "0.000000000000000000001",
                                    "4.0000000000000002220446",
                                    "-5.204E-018",
                                    "1.0e-22"};
  std::mt19937_64 random(24);
  char text[64];
  for (int i = 0; i < 20000; ++i) {
    const double value =
        std::ldexp(static_cast<double>(random() >> 11), static_cast<int>(random() % 160) - 130);
    const char* forms[] = {"%.3E", "%.4E", "%.6e", "%.15g", "%.17g", "%.1f"};
    std::snprintf(text, sizeof text, forms[i % 6], i % 2 ? value : -value);
    words.emplace_back(text);
  }
  std::size_t read_count = 0;
  for (const std::string& word : words) {
    SCOPED_TRACE(word);
    double expected = 0.0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), expected,
                                              std::chars_format::general);
    double read = 0.0;
    if (!readPlainReal(word, read)) continue;  // a form left to Tcl
    ++read_count;
    ASSERT_TRUE(error == std::errc() && end == word.data() + word.size());
    EXPECT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << read << " " << expected;
  }
  EXPECT_GT(read_count, words.size() * 9 / 10);
}

}  // namespace
}  // namespace marrowick::engine
