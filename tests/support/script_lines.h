#pragma once

#include <string>
#include <string_view>

#include "core/text_file.h"

namespace marrowick::testing {

// The first line of a script that starts with `start`; empty when none does,
// so that the comparison that follows fails with both texts shown.
inline std::string LineStarting(const Lines& lines, std::string_view start) {
  for (const std::string& line : lines)
    if (line.starts_with(start)) return line;
  return {};
}

// The script's fiber lines, in their order.
inline Lines FiberLines(const Lines& lines) {
  Lines fibers;
  for (const std::string& line : lines)
    if (line.starts_with("fiber\t")) fibers.push_back(line);
  return fibers;
}

// The script with the first line that starts with `start` set to `line`.
inline Lines WithLine(Lines lines, std::string_view start, const std::string& line) {
  for (std::string& each : lines)
    if (each.starts_with(start)) return each = line, lines;
  return lines;
}

}  // namespace marrowick::testing
