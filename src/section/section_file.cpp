#include "section/section_file.h"

#include <cfloat>
#include <cmath>
#include <string_view>
#include <utility>

#include "core/failure.h"
#include "core/number_text.h"
#include "core/text_file.h"

namespace marrowick {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

class SectionFileReader {
 public:
  SectionFileReader(const std::string& file_name, char decimal)
      : file_name_(file_name), decimal_(decimal) {}

  SectionTexts Read() {
    Lines lines;
    LoadLines(lines, file_name_);
    // Editors on some systems start UTF-8 text with a byte-order mark.
    if (!lines.empty() && lines[0].starts_with("\xEF\xBB\xBF")) lines[0].erase(0, 3);
    for (const std::string& line : lines) {
      ++line_number_;
      ReadLine(TrimText(line));
    }
    return texts_;
  }

 private:
  [[noreturn]] void Fail(const std::string& what) const {
    FailInvalidInput("Section file \"" + AbsolutePath(file_name_) + "\", line " +
                     std::to_string(line_number_) + ": " + what);
  }

  void ReadLine(const std::string& line) {
    if (line.empty() || line[0] == ';' || line[0] == '#') return;
    if (line[0] == '[') {
      if (line.back() != ']') Fail("'" + line + "' is not a group heading such as [section]");
      group_ = TrimText(line.substr(1, line.size() - 2));
      bool known = false;
      for (const SectionFileKey& entry : kSectionFileKeys) known = known || group_ == entry.group;
      if (!known) Fail("unknown group [" + group_ + "]");
      return;
    }
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos) Fail("'" + line + "' is neither [group] nor key=value");
    const std::string key = TrimText(line.substr(0, equals));
    const std::string value = Unquote(key, TrimText(line.substr(equals + 1)));
    if (group_.empty()) Fail("key " + key + " = '" + value + "' comes before any [group]");

    const SectionFileKey* entry = nullptr;
    for (const SectionFileKey& candidate : kSectionFileKeys)
      if (group_ == candidate.group && key == candidate.key) entry = &candidate;
    if (!entry) Fail("unknown key " + key + " = '" + value + "' in [" + group_ + "]");
    std::optional<std::string>& text = texts_[static_cast<std::size_t>(entry->field)];
    if (text) Fail("key " + key + " in [" + group_ + "] is given twice");
    text = Checked(*entry, value);
  }

  // The value as the field gets it, once it is known to be a number.
  std::string Checked(const SectionFileKey& entry, std::string value) const {
    const std::string where = "[" + group_ + "] " + entry.key + " = '" + value + "': ";
    if (entry.rule == FieldRule::Integer) {
      if (!ScanInteger(value)) Fail(where + "not a valid integer value");
      return value;
    }
    const std::optional<Extended> real = ScanReal(value, '.');
    if (!real || std::fabs(*real) > DBL_MAX) Fail(where + "not a valid floating point value");
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
        Fail("key " + key + " = " + value + ": an escape other than \\\", \\\\ or \\xHH");
      }
    }
    if (i + 1 != value.size())
      Fail("key " + key + " = " + value +
           ": a quoted value must end the line with its closing quote");
    return text;
  }

  const std::string& file_name_;
  const char decimal_;
  int line_number_ = 0;
  std::string group_;
  SectionTexts texts_;
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

SectionTexts ReadSectionFile(const std::string& file_name, char decimal) {
  return SectionFileReader(file_name, decimal).Read();
}

void WriteSectionFile(const std::string& file_name, const FieldText& field_text, char decimal) {
  Lines lines;
  std::string_view group;
  for (const SectionFileKey& entry : kSectionFileKeys) {
    if (group != entry.group) {
      if (!group.empty()) lines.emplace_back();
      group = entry.group;
      // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) about "[" + string.
      std::string header = "[";
      header.append(group).append("]");
      lines.push_back(std::move(header));
    }
    std::string text = field_text(entry.field);
    for (char& c : text)
      if (c == decimal) c = '.';
    lines.push_back(std::string(entry.key) + "=" + Quoted(text));
  }
  SaveLines(lines, file_name);
}

}  // namespace marrowick
