#include "core/failure.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

namespace marrowick {
namespace {

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
  try {
    FailFileOpen("mom_cur.out", ENOENT);
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Kind(), FailureKind::FileOpen);
    EXPECT_EQ(failure.Message(),
              "Cannot open file \"" + here + "/mom_cur.out\". No such file or directory");
  }
  try {
    FailFileCreate("os.tcl", EACCES);
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Kind(), FailureKind::FileCreate);
    EXPECT_EQ(failure.Message(), "Cannot create file \"" + here + "/os.tcl\". Permission denied");
    EXPECT_EQ(FailureDisplayText(failure.Message()), failure.Message() + ".");
  }
  // A description that is blank after trimming leaves the message ending in
  // the blank after the period, which gets no further period.
  try {
    FailFileOpen("x", " .\r\n");
  } catch (const Failure& failure) {
    EXPECT_EQ(failure.Message(), "Cannot open file \"" + here + "/x\". ");
    EXPECT_EQ(FailureDisplayText(failure.Message()), failure.Message());
  }
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
