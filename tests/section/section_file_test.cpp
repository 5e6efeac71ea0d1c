#include "section/section_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "core/failure.h"
#include "support/expect_failure.h"
#include "support/file_bytes.h"
#include "support/temp_dir.h"

namespace marrowick {
namespace {

using namespace std::string_literals;
using testing::ExpectFailure;

using testing::ReadBytes;
using testing::WriteBytes;

// Field texts as typed in a window whose decimal symbol is a comma; blanks and
// a tab must come back exactly as typed.
std::string CommaText(int field) {
  switch (field) {
    case 2:
      return "0,002";
    case 7:
      return " 1,5e-4 ";
    case 11:
      return " 2";
    case 15:
      return "-1000";
    case 17:
      return "0,00002";
    default:
      return std::to_string(field * 10);
  }
}

TEST(SectionFile, SavedTextsComeBackAsTypedInEitherDecimalSymbol) {
  testing::ScopedTempDir dir;
  WriteSectionFile("comma.ini", CommaText, ',');
  const std::string bytes = ReadBytes("comma.ini");
  EXPECT_EQ(bytes.substr(0, 64),
            "[concrete]\r\npeak_strength_MPa=10\r\npeak_strain=0.002\r\nresidual_st");
  EXPECT_NE(bytes.find("\r\n\r\n[steel]\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("hardening_ratio=\" 1.5e-4 \"\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("bars_x=\" 2\"\r\n"), std::string::npos);

  const SectionTexts comma = ReadSectionFile("comma.ini", ',');
  const SectionTexts point = ReadSectionFile("comma.ini", '.');
  for (const SectionFileKey& entry : kSectionFileKeys) {
    const std::string typed = CommaText(entry.field);
    std::string with_point = typed;
    if (entry.rule == FieldRule::Real) std::replace(with_point.begin(), with_point.end(), ',', '.');
    EXPECT_EQ(comma[entry.field], typed) << entry.key;
    EXPECT_EQ(point[entry.field], with_point) << entry.key;
  }
  // A zero bending angle is left out, so such a file reads as before.
  WriteSectionFile(
      "zero.ini", [](int field) { return field == 16 ? std::string("0,0") : CommaText(field); },
      ',');
  EXPECT_EQ(ReadBytes("zero.ini").find("bending"), std::string::npos);
  EXPECT_FALSE(ReadSectionFile("zero.ini", ',')[16].has_value());
}

TEST(SectionFile, ASaveWithAFieldThatCannotBeReadBackWritesNothing) {
  testing::ScopedTempDir dir;
  const struct {
    int field;
    const char* text;
    char decimal;
    const char* after_field;  // the message after «The section is not saved: »
  } cases[] = {
      {1, "", '.', "[concrete] peak_strength_MPa = '': not a valid floating point value"},
      // A pasted line break used to be saved, and the file then could not be opened.
      {3, "1\n5", '.',
       "[concrete] residual_strength_MPa = '1\n5': not a valid floating point value"},
      {8, "1.5", ',', "[section] width_mm = '1.5': not a valid floating point value"},
      {11, "2,0", ',', "[section] bars_x = '2,0': not a valid integer value"},
  };
  for (const auto& test : cases) {
    WriteBytes("kept.ini", "[section]\nwidth_mm=450\n");
    ExpectFailure(FailureKind::InvalidInput,
                  std::string("The section is not saved: ") + test.after_field, [&] {
                    WriteSectionFile(
                        "kept.ini",
                        [&](int field) { return field == test.field ? test.text : "2"; },
                        test.decimal);
                  });
    EXPECT_EQ(ReadBytes("kept.ini"), "[section]\nwidth_mm=450\n") << test.text;
  }
}

// Every rule a key can have, as the reader and the save check apply it.
TEST(SectionFile, EachKeyRuleTakesOnlyItsOwnTexts) {
  const SectionFileKey real{"concrete", "peak_strain", 2, FieldRule::Real};
  const SectionFileKey integer{"section", "bars_x", 11, FieldRule::Integer};
  const SectionFileKey code{"design", "code", 21, FieldRule::Word, "GB50010|ACI318", true};
  const SectionFileKey name{"design", "note", 22, FieldRule::Word, nullptr, true};
  const struct {
    const SectionFileKey& key;
    const char* text;
    char decimal;
    std::optional<std::string> fault;
  } cases[] = {
      {real, "0,002", ',', std::nullopt},
      {real, "0,002", '.', "not a valid floating point value"},
      {real, "1e999", '.', "not a valid floating point value"},
      {integer, "12", '.', std::nullopt},
      {integer, "1.0", '.', "not a valid integer value"},
      {code, "ACI318", ',', std::nullopt},
      {code, "GB50010", '.', std::nullopt},
      {code, "gb50010", '.', "not one of GB50010,ACI318"},
      {code, "ACI", '.', "not one of GB50010,ACI318"},
      {name, "C30", '.', std::nullopt},
      {name, "", '.', "an empty word"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FieldTextFault(c.key, c.text, c.decimal), c.fault) << c.text;
}

TEST(SectionFile, RefusesWhatIsNotUtf8TextAndQuotesLongValuesShort) {
  testing::ScopedTempDir dir;
  const std::string sevens(1000000, '7');
  std::string chars;  // 40 three-byte characters
  for (int i = 0; i < 40; ++i) chars += "\xE7\x9F\xA9";
  const std::pair<std::string, std::string> cases[] = {
      // The NUL used to end the file, and the bad width after it went unseen.
      {"[section]\nwidth_mm=450\n\0width_mm=abc\n"s,
       "line 3: a NUL byte at column 1; a section file is UTF-8 text"},
      {"; \xE7\x9F\xA9\n[section]\nwidth_mm=5\xFF\n",
       "line 3: byte 0xFF at column 11 is not UTF-8 text"},
      {"[section]\nwidth_mm=\xC0\xB5\n", "line 2: byte 0xC0 at column 10 is not UTF-8 text"},
      {"[section]\nwidth_mm=5\xE7\x9F", "line 2: byte 0xE7 at column 11 is not UTF-8 text"},
      {"[section]\nwidth_mm=" + sevens + "\n",
       "line 2: [section] width_mm = '" + sevens.substr(0, 80) +
           "…' (1000000 bytes): not a valid floating point value"},
      {"[section]\n" + chars + "=1\n",
       "line 2: unknown key " + chars.substr(0, 78) + "… (120 bytes) = '1' in [section]"},
  };
  for (const auto& [text, after_file] : cases) {
    WriteBytes("bad.ini", text);
    ExpectFailure(FailureKind::InvalidInput,
                  "Section file \"" + (dir.Path() / "bad.ini").string() + "\", " + after_file,
                  [&] { ReadSectionFile("bad.ini", '.'); });
  }
}

TEST(SectionFile, ReadsCommentsBlanksAndAbsentKeys) {
  testing::ScopedTempDir dir;
  WriteBytes("part.ini",
             "\xEF\xBB\xBF; a column of the second floor\n"
             "# widths in mm\r\n"
             "  [ section ]  \n"
             "width_mm = 450\n"
             "bars_x=$A\n"
             "\n"
             "[analysis]\n"
             "axial_force_kN=\"-2.5E3\"\n");
  const SectionTexts texts = ReadSectionFile("part.ini", ',');
  for (int field = 1; field <= 20; ++field) {
    const char* expected = field == 8 ? "450" : field == 11 ? "$A" : field == 15 ? "-2,5E3" : "";
    EXPECT_EQ(texts[field].value_or(""), expected) << "Edit" << field;
    EXPECT_EQ(texts[field].has_value(), *expected != '\0') << "Edit" << field;
  }
}

TEST(SectionFile, ABadFileNamesTheFileLineKeyAndValue) {
  testing::ScopedTempDir dir;
  const struct {
    const char* text;
    const char* after_file;  // the message after «Section file "PATH", »
  } cases[] = {
      {"[foo]\nx=1\n", "line 1: unknown group [foo]"},
      {"[concrete]\nwidth_mm=500\n", "line 2: unknown key width_mm = '500' in [concrete]"},
      {"[section]\nwidth_mm=5OO\n",
       "line 2: [section] width_mm = '5OO': not a valid floating point value"},
      {"[section]\nwidth_mm=1,5\n",
       "line 2: [section] width_mm = '1,5': not a valid floating point value"},
      {"[section]\nwidth_mm=1e400\n",
       "line 2: [section] width_mm = '1e400': not a valid floating point value"},
      {"[section]\nwidth_mm=\n",
       "line 2: [section] width_mm = '': not a valid floating point value"},
      {"[section]\nbars_x=2.5\n", "line 2: [section] bars_x = '2.5': not a valid integer value"},
      {"[section]\nwidth_mm=5\nwidth_mm=6\n", "line 3: key width_mm in [section] is given twice"},
      {"width_mm=5\n", "line 1: key width_mm = '5' comes before any [group]"},
      {"[section]\nwidth_mm 500\n", "line 2: 'width_mm 500' is neither [group] nor key=value"},
      {"[section\n", "line 1: '[section' is not a group heading such as [section]"},
      {"[section]\nwidth_mm=\"5\n",
       "line 2: key width_mm = \"5: a quoted value must end the line with its closing quote"},
      {"[section]\nwidth_mm=\"5\\n\"\n",
       "line 2: key width_mm = \"5\\n\": an escape other than \\\", \\\\ or \\xHH"},
  };
  for (const auto& test : cases) {
    WriteBytes("bad.ini", test.text);
    const Failure failure =
        ExpectFailure(FailureKind::InvalidInput, [&] { ReadSectionFile("bad.ini", '.'); });
    EXPECT_EQ(failure.Message(),
              "Section file \"" + (dir.Path() / "bad.ini").string() + "\", " + test.after_file);
  }
  const Failure failure =
      ExpectFailure(FailureKind::FileOpen, [&] { ReadSectionFile("missing.ini", '.'); });
  EXPECT_NE(failure.Message().find((dir.Path() / "missing.ini").string()), std::string::npos);
}

// A circle's file holds its own keys only, and a key of the other outline
// is refused where it stands, whichever outline the file has.
TEST(SectionFile, EachOutlineHasItsOwnKeys) {
  testing::ScopedTempDir dir;
  const auto circle = [](int field) {
    if (field == FieldNumber(Field::SectionShape)) return std::string("circular");
    const char* text = kDefaultFieldTexts.at(static_cast<std::size_t>(field));
    return std::string(text ? text : "");
  };
  WriteSectionFile("circle.ini", circle, '.');
  EXPECT_NE(ReadBytes("circle.ini")
                .find("[section]\r\nshape=circular\r\ndiameter_mm=600\r\ncover_mm=35\r\nbars=8\r\n"
                      "bar_diameter_mm=20\r\nfiber_size_mm=35\r\n\r\n"),
            std::string::npos);
  EXPECT_EQ(ReadSectionFile("circle.ini", '.')[FieldNumber(Field::CircleBarCount)], "8");

  const struct {
    const char* text;
    const char* after_file;
  } cases[] = {
      {"[section]\nshape=circular\nwidth_mm=500\n",
       "line 3: key width_mm in [section] belongs to a rectangular section, and this one is "
       "circular (shape=circular)"},
      {"[confinement]\nhoop_legs_x=4\n[section]\nshape=circular\n",
       "line 2: key hoop_legs_x in [confinement] belongs to a rectangular section, and this one is "
       "circular (shape=circular)"},
      {"[section]\nwidth_mm=500\nbars=8\n",
       "line 3: key bars in [section] belongs to a circular section, and this one is rectangular "
       "(no shape=circular)"},
      {"[section]\nshape=rectangular\n[confinement]\ntransverse=spiral\n",
       "line 4: key transverse in [confinement] belongs to a circular section, and this one is "
       "rectangular (no shape=circular)"},
  };
  for (const auto& test : cases) {
    WriteBytes("mixed.ini", test.text);
    const Failure failure =
        ExpectFailure(FailureKind::InvalidInput, [&] { ReadSectionFile("mixed.ini", '.'); });
    EXPECT_EQ(failure.Message(),
              "Section file \"" + (dir.Path() / "mixed.ini").string() + "\", " + test.after_file);
  }
}

}  // namespace
}  // namespace marrowick
