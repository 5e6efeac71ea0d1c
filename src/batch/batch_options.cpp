#include "batch/batch_options.h"

#include <charconv>
#include <cmath>
#include <optional>

#include "core/failure.h"

namespace marrowick {

namespace {

// A week: a longer limit is a mistyped one, and deadlines stay far from the
// clock's range.
constexpr double kLongestTimeout = 7 * 24 * 3600;

template <typename Number>
std::optional<Number> ReadNumber(const std::string& text) {
  Number value{};
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace

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
    const std::size_t equals = argument.find('=');
    const std::string name = argument.substr(0, equals);
    if (name != "--out" && name != "--jobs" && name != "--solver" && name != "--timeout")
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
