#pragma once

#include <array>
#include <optional>
#include <string>

#include "section/section_input.h"

namespace marrowick {

// One key of a section file and the input N it stands for (EditN for the
// main window's).
struct SectionFileKey {
  const char* group;
  const char* key;
  int field;
  FieldRule rule;
  const char* choices = nullptr;  // a word's choices, "|"-separated
  bool optional = false;          // absent unless given: no default text
  FieldShape shape = FieldShape::Any;
};

inline constexpr std::size_t kSectionFileKeyCount = [] {
  std::size_t count = 0;
  for (const InputField& entry : kInputFields) count += entry.key != nullptr;
  return count;
}();

// Every key, in the order a file is written: the inputs of the table that a
// file holds (the bending angle only when it is not zero, see OmittedAtZero).
inline constexpr std::array<SectionFileKey, kSectionFileKeyCount> kSectionFileKeys = [] {
  std::array<SectionFileKey, kSectionFileKeyCount> keys{};
  std::size_t next = 0;
  for (const InputField& entry : kInputFields)
    if (entry.key)
      keys[next++] = {entry.file_group, entry.key,     FieldNumber(entry.id),
                      entry.rule,       entry.choices, entry.default_text == nullptr,
                      entry.shape};
  return keys;
}();

// The texts a section file gives: texts[n] for input n (EditN for the main
// window's twenty); none where the file has no key for the input.
using SectionTexts = std::array<std::optional<std::string>, kFieldSlots>;

// Reads a section file: INI text, UTF-8, "[group]" lines, "key=value" lines
// (blanks around either side ignored, a value may be double-quoted), and
// comment lines starting with ";" or "#". Every value must be a number by its
// field's rule with "." as the decimal point; reals come back with "." turned
// into `decimal`, ready for a field that follows the regional settings.
// All or nothing: an unreadable file fails with the file-open failure; an
// unknown group or key, a key given twice, a line that is neither, or a value
// that is not a number fails with a message naming the file, the line, the
// key and the value.
SectionTexts ReadSectionFile(const std::string& file_name, char decimal);

// What is wrong with a field's text by the field's rule, with `decimal` as
// the decimal symbol: "not a valid floating point value" (a real beyond the
// double range too) or "not a valid integer value"; none for a text that
// "输入数据" takes. The reader applies it with "." to what a file says.
std::optional<std::string> FieldTextFault(FieldRule rule, const std::string& text, char decimal);
// The same for a key's text, a word checked against the key's choices.
std::optional<std::string> FieldTextFault(const SectionFileKey& entry, const std::string& text,
                                          char decimal);

// Writes field_text(n) of every key's field as typed, with `decimal` (the
// regional symbol the texts were typed in) turned into "."; an optional
// input whose text is empty is absent and not written (nor its group when
// none of the group's keys is written). A text with
// blanks at its ends or control characters is written double-quoted, so that
// it reads back as it was. Every text is checked first, so that no file is
// saved that cannot be opened again: the first that is not a number by its
// field's rule fails naming the field (by field_caption(n) when given, and by
// its key) and the text, and nothing is written. Otherwise the file is
// replaced whole (ReplaceLines), and fails as that does.
void WriteSectionFile(const std::string& file_name, const FieldText& field_text, char decimal,
                      const FieldText& field_caption = {});

}  // namespace marrowick
