#include "section/section_file.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <string_view>
#include <utility>

#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_file.h"
#include "core/utf8_text.h"

namespace marrowick {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

class SectionFileReader {
 public:
  SectionFileReader(const std::string& file_name, char decimal)
      : file_name_(file_name), decimal_(decimal) {}

  SectionTexts Read() {
    // Read as raw bytes: the recorder files' reading stops at a NUL, which
    // here would silently drop every key after it.
    Lines lines = SplitAllLines(LoadBytes(file_name_));
    // Editors on some systems start UTF-8 text with a byte-order mark.
    if (!lines.empty() && lines[0].starts_with("\xEF\xBB\xBF")) lines[0].erase(0, 3);
    for (const std::string& line : lines) {
      ++line_number_;
      CheckText(line);
      ReadLine(TrimText(line));
    }
    CheckOutline();
    return texts_;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    FailInvalidInput("Section file \"" + AbsolutePath(file_name_) + "\", line " +
                     std::to_string(line_number_) + ": " + what);
  }

  // Only UTF-8 text is a section file: anything else (a NUL, a stray byte
  // of another encoding) is not what the engineer typed.
  void CheckText(const std::string& line) const {
    const std::size_t nul = line.find('\0');
    const std::size_t bad = std::min(nul, Utf8ValidLength(line));
    if (bad >= line.size()) return;
    const std::string column = std::to_string(bad + 1);
    if (bad == nul) Fail("a NUL byte at column " + column + "; a section file is UTF-8 text");
    const auto byte = static_cast<unsigned char>(line[bad]);
    Fail("byte 0x" + std::string{kHexDigits[byte / 16], kHexDigits[byte % 16]} + " at column " +
         column + " is not UTF-8 text");
  }

  // A key of the other outline's inputs (the width in a circle's file, the
  // diameter in a rectangle's) says the file is not what its shape says. An
  // unknown shape is left to 输入数据, which names it.
  void CheckOutline() {
    const auto& shape = texts_[static_cast<std::size_t>(FieldNumber(Field::SectionShape))];
    const std::optional<bool> circular = CircularShape(shape.value_or(""));
    if (!circular) return;
    for (const InputField& entry : kInputFields) {
      const auto field = static_cast<std::size_t>(FieldNumber(entry.id));
      if (!texts_[field] || FieldOfShape(entry, *circular)) continue;
      line_number_ = key_lines_[field];
      Fail(std::string("key ") + entry.key + " in [" + entry.file_group + "] belongs to " +
           (*circular ? "a rectangular" : "a circular") + " section, and this one is " +
           (*circular ? "circular (shape=circular)" : "rectangular (no shape=circular)"));
    }
  }

  void ReadLine(const std::string& line) {
    if (line.empty() || line[0] == ';' || line[0] == '#') return;
    if (line[0] == '[') {
      if (line.back() != ']')
        Fail(QuoteForMessage(line) + " is not a group heading such as [section]");
      group_ = TrimText(line.substr(1, line.size() - 2));
      bool known = false;
      for (const SectionFileKey& entry : kSectionFileKeys) known = known || group_ == entry.group;
      if (!known) Fail("unknown group " + QuoteForMessage(group_, "[", "]"));
      return;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos)
      Fail(QuoteForMessage(line) + " is neither [group] nor key=value");
    const std::string key = TrimText(line.substr(0, equals));
    const std::string value = Unquote(key, TrimText(line.substr(equals + 1)));
    if (group_.empty())
      Fail("key " + Named(key) + " = " + QuoteForMessage(value) + " comes before any [group]");

    const SectionFileKey* entry = nullptr;
    for (const SectionFileKey& candidate : kSectionFileKeys)
      if (group_ == candidate.group && key == candidate.key) entry = &candidate;
    if (!entry)
      Fail("unknown key " + Named(key) + " = " + QuoteForMessage(value) + " in [" + group_ + "]");
    std::optional<std::string>& text = texts_[static_cast<std::size_t>(entry->field)];
    if (text) Fail("key " + key + " in [" + group_ + "] is given twice");
    text = Checked(*entry, value);
    key_lines_[static_cast<std::size_t>(entry->field)] = line_number_;
  }

  // The value as the field gets it, once it is known to be a number.
  std::string Checked(const SectionFileKey& entry, std::string value) const {
    if (const auto fault = FieldTextFault(entry, value, '.'))
      Fail("[" + group_ + "] " + entry.key + " = " + QuoteForMessage(value) + ": " + *fault);
    if (entry.rule != FieldRule::Real) return value;
    for (char& c : value)
      if (c == '.') c = decimal_;
    return value;
  }

  // A double-quoted value keeps its blanks and may carry \" \\ and \xHH.
  std::string Unquote(const std::string& key, const std::string& value) const {
    if (value.empty() || value[0] != '"') return value;
    std::string text;
    std::size_t i = 1;
    for (; i < value.size() && value[i] != '"'; ++i) {
      if (value[i] != '\\') {
        text.push_back(value[i]);
        continue;
      }
      const char next = i + 1 < value.size() ? value[i + 1] : '\0';
      const std::string_view hex(kHexDigits);
      if (next == '"' || next == '\\') {
        text.push_back(next);
        i += 1;
      } else if (next == 'x' && i + 3 < value.size() &&
                 hex.find(value[i + 2]) != std::string_view::npos &&
                 hex.find(value[i + 3]) != std::string_view::npos) {
        text.push_back(static_cast<char>(hex.find(value[i + 2]) * 16 + hex.find(value[i + 3])));
        i += 3;
      } else {
        Fail("key " + Named(key) + " = " + Named(value) +
             ": an escape other than \\\", \\\\ or \\xHH");
      }
    }
    if (i + 1 != value.size())
      Fail("key " + Named(key) + " = " + Named(value) +
           ": a quoted value must end the line with its closing quote");
    return text;
  }

  // A key or a raw value, as long as the file gave it, in a message.
  static std::string Named(const std::string& text) { return QuoteForMessage(text, "", ""); }

  const std::string& file_name_;
  const char decimal_;
  int line_number_ = 0;
  std::string group_;
  SectionTexts texts_;
  std::array<int, kFieldSlots> key_lines_{};
};

std::string Quoted(const std::string& text) {
  const bool plain =
      text.empty() || (static_cast<unsigned char>(text.front()) > 32 &&
                       static_cast<unsigned char>(text.back()) > 32 && text.front() != '"');
  bool controls = false;
  for (const char c : text) controls = controls || static_cast<unsigned char>(c) < 32;
  if (plain && !controls) return text;

  std::string quoted = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 32) {
      quoted += "\\x";
      quoted += kHexDigits[byte / 16];
      quoted += kHexDigits[byte % 16];
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

}  // namespace

std::optional<std::string> FieldTextFault(FieldRule rule, const std::string& text, char decimal) {
  if (rule == FieldRule::Integer) {
    if (!ScanInteger(text)) return "not a valid integer value";
    return std::nullopt;
  }
  const std::optional<Extended> real = ScanReal(text, decimal);
  if (!real || std::fabs(*real) > DBL_MAX) return "not a valid floating point value";
  return std::nullopt;
}

std::optional<std::string> FieldTextFault(const SectionFileKey& entry, const std::string& text,
                                          char decimal) {
  if (entry.rule != FieldRule::Word) return FieldTextFault(entry.rule, text, decimal);
  if (!entry.choices) {
    if (text.empty()) return "an empty word";
    return std::nullopt;
  }
  std::string_view rest = entry.choices;
  for (;;) {
    const std::size_t bar = rest.find('|');
    if (rest.substr(0, bar) == text) return std::nullopt;
    if (bar == std::string_view::npos) break;
    rest.remove_prefix(bar + 1);
  }
  std::string choices = entry.choices;
  std::replace(choices.begin(), choices.end(), '|', ',');
  return "not one of " + choices;
}

SectionTexts ReadSectionFile(const std::string& file_name, char decimal) {
  return SectionFileReader(file_name, decimal).Read();
}

void WriteSectionFile(const std::string& file_name, const FieldText& field_text, char decimal,
                      const FieldText& field_caption) {
  // The other outline's inputs are no keys of this one's file; with a shape
  // it does not know, 输入数据 is left to say so.
  const std::optional<bool> circular = CircularShape(field_text(FieldNumber(Field::SectionShape)));
  const auto written = [&](const SectionFileKey& entry) {
    return !circular || entry.shape == FieldShape::Any ||
           entry.shape == (*circular ? FieldShape::Circular : FieldShape::Rectangular);
  };
  for (const SectionFileKey& entry : kSectionFileKeys) {
    if (!written(entry)) continue;
    const std::string text = field_text(entry.field);
    if (entry.optional && text.empty()) continue;
    const auto fault = FieldTextFault(entry, text, decimal);
    if (!fault) continue;
    std::string field = std::string("[") + entry.group + "] " + entry.key;
    if (field_caption) field = field_caption(entry.field) + " (" + field + ")";
    FailInvalidInput("The section is not saved: " + field + " = " + QuoteForMessage(text) + ": " +
                     *fault);
  }

  Lines lines;
  std::string_view group;
  for (const SectionFileKey& entry : kSectionFileKeys) {
    if (!written(entry)) continue;
    std::string text = field_text(entry.field);
    if (entry.optional && text.empty()) continue;
    if (OmittedAtZero(static_cast<Field>(entry.field)) && ParseReal(text, decimal) == 0) continue;
    if (group != entry.group) {
      if (!group.empty()) lines.emplace_back();
      group = entry.group;
      // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "[" + string.
      std::string header = "[";
      header.append(group).append("]");
      lines.push_back(std::move(header));
    }
    if (entry.rule == FieldRule::Real)
      for (char& c : text)
        if (c == decimal) c = '.';
    lines.push_back(std::string(entry.key) + "=" + Quoted(text));
  }
  ReplaceLines(lines, file_name);
}

}  // namespace marrowick
