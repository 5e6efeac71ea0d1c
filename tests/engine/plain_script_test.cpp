// Which scripts run without Tcl, and that they end the same either way.

#include "interpreter/plain_script.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "engine_test_support.h"
#include "support/temp_dir.h"

namespace marrowick::engine {
namespace {

using testing::readText;
using testing::runScriptText;

bool isPlain(const std::string& script) {
  return isPlainScript(withTclLineEnds(script));
}

const std::string kModel =
    "wipe\r\nmodel basic -ndm 2 -ndf 3;\r\nnode 1 0 0; node 2 0 0\n"
    "fix 1 1 1 1  ;# the base\nfix 2 0 1 0\nuniaxialMaterial Elastic 1 1000\n";

TEST(PlainScript, OnlyScriptsInTheSolversOwnPlainWordsRunWithoutTcl) {
  const std::string reference =
      readText(std::filesystem::path(MARROWICK_ENGINE_DATA) / "reference/default-mk/os.tcl");
  const struct {
    const char* name;
    std::string script;
    bool plain;
  } cases[] = {
      {"reference script", reference, true},
      {"comments, ; and a body", kModel + "# fibers\nsection Fiber 1 {\n fiber 1 0 1 1\n}\n", true},
      {"pattern, puts, file delete",
       kModel + "pattern Plain 1 Linear { load 2 0 0 1 }\nputs done\nfile delete s.tcl\n", true},
      {"a $", kModel + "node 3 $x 0\n", false},
      {"a [", kModel + "puts [getTime]\n", false},
      {"a quoted word", kModel + "puts \"done\"\n", false},
      {"a quoted series", kModel + "pattern Plain 1 \"Linear -factor 2\" { load 2 0 0 1 }\n",
       false},
      {"a backslash", kModel + "node 3 0 \\\n 0\n", false},
      {"an unknown command", kModel + "nod 3 0 0\n", false},
      {"a proc", "proc f {} { wipe }\n" + kModel, false},
      {"a Tcl command", "set x 1\n" + kModel, false},
      {"a body with a $", kModel + "section Fiber 1 {\n fiber $y 0 1 1\n}\n", false},
      {"patches and layers",
       kModel +
           "section Fiber 1 {\n patch rect 1 2 2 -1 -1 1 1\n layer straight 1 2 0.5 -1 0 1 0\n}\n",
       true},
      {"a section in space with its torsional stiffness",
       "model basic -ndm 3 -ndf 6\nuniaxialMaterial Elastic 1 1\n"
       "section Fiber 1 -GJ 1e12 {\n fiber 1 2 1 1\n}\n",
       true},
      {"a section with another option",
       kModel + "section Fiber 1 -torsion 2 {\n fiber 1 0 1 1\n}\n", false},
      {"a body with another command", kModel + "section Fiber 1 { node 3 0 0 }\n", false},
      {"a braced word elsewhere", kModel + "node {3} 0 0\n", false},
      {"a body never closed", kModel + "section Fiber 1 {\n fiber 1 0 1 1\n", false},
      {"text after a body", kModel + "pattern Plain 1 Linear {load 2 0 0 1}x\n", false},
      {"file delete with an option", kModel + "file delete -force s.tcl\n", false},
      {"file delete of ~user", kModel + "file delete ~root/s.tcl\n", false},
      {"a byte beyond ASCII", kModel + "recorder Node -file \xc3\xa9.out -node 2 -dof 3 disp\n",
       false},
      // Numbers Tcl reads in forms of its own, or beyond a normal double.
      {"plain decimals", kModel + "node 3 -0 +.5e-3; node 4 1. -2.5E+006\n", true},
      {"an octal tag", kModel + "node 010 0 0\n", false},
      {"a hexadecimal tag", kModel + "node 0x1f 0 0\n", false},
      {"a 16-digit whole number", kModel + "node 3 1234567890123456 0\n", false},
      {"a value below the normal doubles", kModel + "node 3 1e-310 0\n", false},
      {"a file name that starts like a number", kModel + "recorder Node -file 2.out\n", false},
      {"a Concrete04 with tension",
       kModel + "uniaxialMaterial Concrete04 2 -39.74 -0.005247 -0.01782 27386.1 3.2 1.2e-4 0.1\n",
       true},
      {"an octal fiber tag", kModel + "section Fiber 1 {\n fiber 1 0 1 01\n}\n", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isPlain(c.script), c.plain) << c.name;
}

// A word's shape decides most of it; near the ends of the doubles only its
// value can, and the quick shape check must never admit what the reader
// refuses.
TEST(PlainScript, NumberWordsAreReadAsTclReadsThemOrLeftToTcl) {
  const struct {
    const char* word;
    bool plain;   // the script may stay plain
    bool number;  // read as a finite number without Tcl
    double value;
  } cases[] = {
      {"-2.824E+002", true, true, -282.4},
      {"-0", true, true, 0.0},  // a whole number to Tcl: +0
      {"-.5e-3", true, true, -0.0005},
      {"1e250", true, true, 1e250},
      {"9.99e307", true, true, 9.99e307},
      {"2.2250738585072014e-308", true, true, 2.2250738585072014e-308},
      {"1234567890123456789012345678901234567890.5", true, true,
       1234567890123456789012345678901234567890.5},
      {"0.00000000000000000000000000000000000000001e-250", true, true, 1e-291},
      {"1.8e308", false, false, 0},   // beyond the doubles
      {"2.2e-308", false, false, 0},  // below the normal doubles
      {"00.5", false, false, 0},
      {"1e5x", false, false, 0},
      {".", false, false, 0},
      {"Inf", true, false, 0},  // a finite number to neither
      {"-file", true, false, 0},
      {"-", true, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word);
    EXPECT_EQ(isPlainWord(c.word), c.plain);
    double value = 0.0;
    const bool number = readPlainReal(c.word, value);
    EXPECT_EQ(number, c.number);
    if (isPlainReal(c.word)) {
      EXPECT_TRUE(number);
    }
    if (!number) continue;
    EXPECT_EQ(value, c.value);
    EXPECT_EQ(std::signbit(value), std::signbit(c.value));
  }
}

// Plain scripts that fail: the same message, line and status without Tcl.
TEST(PlainScript, ErrorsReadAsUnderTcl) {
  marrowick::testing::ScopedTempDir dir;
  std::filesystem::create_directories("full/x");
  const std::string scripts[] = {
      "node 1 0 0\n",
      kModel + "node 3 a 0\n",
      kModel + "node 2 0 0\n",
      kModel + "section Fiber 1 {\n fiber 1 0 1 1\n fiber 2 0 1 9\n}\n",
      kModel + "pattern Plain 1 Linear {\n load 2 0 0 1\n load 7 0 0 1\n}\n",
      kModel + "section Fiber 1 { fiber 1 0 1 1 }\nsection Fiber 1 { fiber 1 0 1 1 }\n",
      kModel + "section Fiber 1 {\n fiber 1 0 1 1\n patch rect 1 2 2 0 0 0 1\n}\n",
      kModel + "fiber 1 0 1 1\n",
      kModel + "file delete full\n",
      kModel + "analyze 1\n",
      kModel + "node 2147483648 0 0\n",
      kModel + "node 1e5 0 0\n",
      kModel + "uniaxialMaterial Concrete04 2 -30 -0.002 -0.004 27000 3 0.001 0\n",
      kModel + "pattern Plain 1 Linear {\n load 2 0 0 1\n load 2 Inf 0 0\n}\n",
      "model basic -ndm 3 -ndf 6\nuniaxialMaterial Elastic 1 1\nsection Fiber 1 { fiber 1 2 1 1 "
      "}\n",
  };
  for (const std::string& script : scripts) {
    ASSERT_TRUE(isPlain(script)) << script;
    const auto plain = runScriptText(script, "s.tcl", Interpreter::WhenNeeded);
    const auto tcl = runScriptText(script, "s.tcl", Interpreter::Always);
    EXPECT_EQ(plain.status, 1) << script;
    EXPECT_EQ(plain.status, tcl.status) << script;
    EXPECT_EQ(plain.errors, tcl.errors) << script;
  }
}

}  // namespace
}  // namespace marrowick::engine
