#include "batch/batch_options.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

#include "core/failure.h"
#include "core/number_text.h"
#include "results/export.h"
#include "section/section_file.h"

namespace marrowick {

namespace {

// A week: a longer limit is a mistyped one, and deadlines stay far from the
// clock's range.
constexpr double kLongestTimeout = 7 * 24 * 3600;

// A grid beyond this many sections per file is a mistyped step.
constexpr std::size_t kMostVariants = 10'000'000;

template <typename Number>
std::optional<Number> ReadNumber(const std::string& text) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

SectionOutputs ReadOutputs(const std::string& list) {
  SectionOutputs outputs{false, false, false, false, false, false};
  std::size_t start = 0;
  bool none = false;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    const std::string kind = list.substr(start, comma == std::string::npos ? comma : comma - start);
    if (kind == "all") {
      outputs.recorders = outputs.csv = outputs.png = outputs.json = outputs.report = true;
    } else if (kind == "scripts") {
      outputs.scripts = true;
    } else if (kind == "recorders") {
      outputs.recorders = true;
    } else if (kind == "csv") {
      outputs.csv = true;
    } else if (kind == "png") {
      outputs.png = true;
    } else if (kind == "json") {
      outputs.json = true;
    } else if (kind == "report") {
      outputs.report = true;
    } else if (kind == "none") {
      none = true;
    } else {
      FailInvalidInput(
          "--outputs takes scripts, recorders, csv, png, json, report, all or none, not " +
          QuoteForMessage(kind));
    }
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (none && outputs.Any()) FailInvalidInput("--outputs none takes no other kind");
  return outputs;
}

const SectionFileKey* KeyNamed(const std::string& key) {
  for (const SectionFileKey& entry : kSectionFileKeys)
    if (key == entry.key) return &entry;
  return nullptr;
}

// A value of a --vary, checked by its key's rule.
std::string VaryValue(const std::string& key, const SectionFileKey& entry,
                      const std::string& text) {
  if (const auto fault = FieldTextFault(entry, text, '.'))
    FailInvalidInput("--vary " + key + ": " + QuoteForMessage(text) + " is " +
                     (entry.rule == FieldRule::Integer ? "not a whole number"
                      : entry.rule == FieldRule::Real  ? "not a number"
                                                       : *fault));
  return text;
}

// The digits after the point of a plain decimal text; none for an exponent.
std::optional<int> Decimals(const std::string& text) {
  if (text.find_first_of("eE") != std::string::npos) return std::nullopt;
  const std::size_t point = text.find('.');
  return point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

// FROM:TO:STEP, both ends included. Reals are written with the decimals of
// FROM and STEP, so that 0.1 steps read 0.3 and not 0.30000000000000004.
std::vector<std::string> VaryRange(const std::string& key, const SectionFileKey& entry,
                                   const std::string& range) {
  const std::size_t first = range.find(':');
  const std::size_t second = range.find(':', first + 1);
  const std::string texts[3] = {range.substr(0, first), range.substr(first + 1, second - first - 1),
                                range.substr(second + 1)};
  if (entry.rule == FieldRule::Word)
    FailInvalidInput("--vary " + key + ": a word takes a list of values, not a range");
  if (second == std::string::npos || texts[2].find(':') != std::string::npos)
    FailInvalidInput("--vary " + key + ": a range is FROM:TO:STEP, not " + QuoteForMessage(range));
  for (const std::string& text : texts) VaryValue(key, entry, text);
  const double from = ParseReal(texts[0], '.'), to = ParseReal(texts[1], '.'),
               step = ParseReal(texts[2], '.');
  if (!(step > 0) || from > to)
    FailInvalidInput("--vary " + key + ": " + QuoteForMessage(range) +
                     " needs FROM up to TO and a STEP above 0");
  // A hair's allowance, so that 0.1:0.3:0.1 reaches 0.3 whatever the rounding.
  const double steps = std::floor((to - from) / step * (1 + 1e-12) + 1e-9);
  if (steps >= static_cast<double>(kMostVariants))
    FailInvalidInput("--vary " + key + ": " + QuoteForMessage(range) + " has too many values");
  const std::optional<int> from_decimals = Decimals(texts[0]);
  const std::optional<int> step_decimals = Decimals(texts[2]);
  std::vector<std::string> values;
  for (int64_t i = 0; i <= static_cast<int64_t>(steps); ++i) {
    const double value = from + static_cast<double>(i) * step;
    if (entry.rule == FieldRule::Integer) {
      values.push_back(std::to_string(static_cast<int64_t>(std::llround(value))));
    } else if (from_decimals && step_decimals) {
      char text[64];
      std::snprintf(text, sizeof text, "%.*f", std::max(*from_decimals, *step_decimals), value);
      std::string written = text;
      if (written.find('.') != std::string::npos) {
        written.erase(written.find_last_not_of('0') + 1);
        if (written.back() == '.') written.pop_back();
      }
      values.push_back(written == "-0" ? "0" : written);
    } else {
      // Fifteen digits drop what the steps' rounding added.
      char text[64];
      std::snprintf(text, sizeof text, "%.15g", value);
      values.push_back(RoundTripText(ParseReal(text, '.')));
    }
  }
  return values;
}

Variation ReadVariation(const std::string& text) {
  const std::size_t equals = text.find('=');
  const std::string key = text.substr(0, equals);
  const SectionFileKey* entry = KeyNamed(key);
  if (equals == std::string::npos || entry == nullptr)
    FailInvalidInput(
        "--vary takes KEY=V1,V2,... or KEY=FROM:TO:STEP with a section-file key, "
        "not " +
        QuoteForMessage(text));
  Variation variation{key, entry->field, {}};
  const std::string values = text.substr(equals + 1);
  if (values.find(':') != std::string::npos) {
    variation.values = VaryRange(key, *entry, values);
    return variation;
  }
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = values.find(',', start);
    variation.values.push_back(VaryValue(
        key, *entry, values.substr(start, comma == std::string::npos ? comma : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return variation;
}

}  // namespace

std::size_t VariantCount(const std::vector<Variation>& vary) {
  std::size_t count = 1;
  for (const Variation& variation : vary) count *= variation.values.size();
  return count;
}

Variant VariantAt(const std::vector<Variation>& vary, std::size_t index) {
  Variant variant;
  std::size_t stride = VariantCount(vary);
  for (const Variation& variation : vary) {
    stride /= variation.values.size();
    const std::string& value = variation.values[index / stride % variation.values.size()];
    variant.suffix += (variant.suffix.empty() ? "@" : ",") + variation.key + "=" + value;
    variant.texts.emplace_back(variation.field, value);
  }
  return variant;
}

BatchOptions ReadBatchOptions(const std::vector<std::string>& arguments, int cores) {
  BatchOptions options;
  options.jobs = cores > 0 ? cores : 1;
  bool options_ended = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (options_ended || argument.size() < 2 || argument[0] != '-') {
      options.section_files.push_back(argument);
      continue;
    }
    if (argument == "--") {
      options_ended = true;
      continue;
    }
    if (argument == "--no-report") {
      options.report = false;
      continue;
    }
    if (argument == "-h" || argument == "--help") {
      options.help = true;
      continue;
    }
    if (argument == "--resume") {
      options.resume = true;
      continue;
    }
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    if (name != "--out" && name != "--jobs" && name != "--solver" && name != "--timeout" &&
        name != "--outputs" && name != "--vary")
      FailInvalidInput("unknown option " + QuoteForMessage(argument, "", ""));
    std::string value;
    if (equals != std::string::npos)
      value = argument.substr(equals + 1);
    else if (i + 1 < arguments.size())
      value = arguments[++i];
    else
      FailInvalidInput(name + " needs a value");

    if (name == "--out") {
      if (value.empty()) FailInvalidInput("--out needs a directory");
      options.out_directory = value;
    } else if (name == "--solver") {
      if (value.empty()) FailInvalidInput("--solver needs a program");
      options.solver = value;
    } else if (name == "--outputs") {
      options.outputs = ReadOutputs(value);
    } else if (name == "--vary") {
      Variation variation = ReadVariation(value);
      for (const Variation& earlier : options.vary)
        if (earlier.key == variation.key)
          FailInvalidInput("--vary " + variation.key + " is given twice");
      options.vary.push_back(std::move(variation));
      if (VariantCount(options.vary) > kMostVariants)
        FailInvalidInput("--vary gives more than " + std::to_string(kMostVariants) +
                         " sections per file");
    } else if (name == "--jobs") {
      const std::optional<int> jobs = ReadNumber<int>(value);
      if (!jobs || *jobs < 1)
        FailInvalidInput("--jobs takes a whole number of 1 or more, not " + QuoteForMessage(value));
      options.jobs = *jobs;
    } else {
      const std::optional<double> seconds = ReadNumber<double>(value);
      if (!seconds || !(*seconds > 0) || *seconds > kLongestTimeout)
        FailInvalidInput("--timeout takes a number of seconds above 0 and up to a week, not " +
                         QuoteForMessage(value));
      options.timeout_seconds = *seconds;
    }
  }
  if (options.section_files.empty() && !options.help) FailInvalidInput("no section file given");
  return options;
}

}  // namespace marrowick
