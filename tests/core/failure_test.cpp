#include "core/failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "support/expect_failure.h"

namespace marrowick {
namespace {

using testing::ExpectFailure;

TEST(FailureDisplayText, AddsAPeriodOnlyAfterCharactersAbove0x2E) {
  const std::pair<const char*, const char*> cases[] = {
      {"'' is not a valid floating point value", "'' is not a valid floating point value."},
      {"'12 ' is not a valid integer value", "'12 ' is not a valid integer value."},
      {"Stream write error", "Stream write error."},
      {"Range check error", "Range check error."},
      {"", ""},
      {"ends in a period.", "ends in a period."},
      {"Cannot open file \"/x\". ", "Cannot open file \"/x\". "},
      {"ends in a hyphen-", "ends in a hyphen-"},
      {"ends in a comma,", "ends in a comma,"},
      {"ends in a quote\"", "ends in a quote\""},
      {"ends in a plus+", "ends in a plus+"},
      {"ends in a slash/", "ends in a slash/."},
      {"ends in a digit 0", "ends in a digit 0."},
      {"ends in a tab\t", "ends in a tab\t"},
      {"\xe7\x9f\xa9", "\xe7\x9f\xa9."},
  };
  for (const auto& [message, shown] : cases) EXPECT_EQ(FailureDisplayText(message), shown);
}

TEST(FileFailures, NameTheAbsolutePathAndTheSystemDescription) {
  const std::string here = std::filesystem::current_path().string();
  ExpectFailure(FailureKind::FileOpen,
                "Cannot open file \"" + here + "/mom_cur.out\". No such file or directory",
                [] { FailFileOpen("mom_cur.out", ENOENT); });
  const Failure create = ExpectFailure(
      FailureKind::FileCreate, "Cannot create file \"" + here + "/os.tcl\". Permission denied",
      [] { FailFileCreate("os.tcl", EACCES); });
  EXPECT_EQ(FailureDisplayText(create.Message()), create.Message() + ".");
  // A description that is blank after trimming leaves the message ending in
  // the blank after the period, which gets no further period.
  const Failure blank =
      ExpectFailure(FailureKind::FileOpen, "Cannot open file \"" + here + "/x\". ",
                    [] { FailFileOpen("x", " .\r\n"); });
  EXPECT_EQ(FailureDisplayText(blank.Message()), blank.Message());
}

TEST(SystemErrorDescription, DropsTrailingBlanksControlsAndPeriods) {
  EXPECT_EQ(SystemErrorDescription(ENOSPC), "No space left on device");
  EXPECT_EQ(SystemErrorDescription(EISDIR), "Is a directory");
}

TEST(Failures, CarryTheirKindsAndFixedTexts) {
  const std::pair<void (*)(), const char*> cases[] = {
      {[] { FailStreamWrite(); }, "Stream write error"},
      {[] { FailDivideByZero(); }, "Floating point division by zero"},
      {[] { FailInvalidOperation(); }, "Invalid floating point operation"},
      {[] { FailOverflow(); }, "Floating point overflow"},
      {[] { FailRangeCheck(); }, "Range check error"},
  };
  for (const auto& [raise, text] : cases) {
    try {
      raise();
      ADD_FAILURE();
    } catch (const Failure& failure) {
      EXPECT_STREQ(failure.what(), text);
    }
  }
}

}  // namespace
}  // namespace marrowick
