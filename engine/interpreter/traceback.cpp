#include "interpreter/traceback.h"

#include <vector>

namespace marrowick::engine {

namespace {

// Tcl starts every level of the traceback with one of these lines.
bool startsFrame(std::string_view line) {
  return line == "    while executing" || line == "    invoked from within";
}

}  // namespace

std::string shortTraceback(std::string_view errorInfo, std::size_t kept) {
  // Offsets where each frame's first line starts.
  std::vector<std::size_t> frames;
  std::size_t at = 0;
  while (at <= errorInfo.size()) {
    std::size_t end = errorInfo.find('\n', at);
    if (end == std::string_view::npos) end = errorInfo.size();
    if (at > 0 && startsFrame(errorInfo.substr(at, end - at))) frames.push_back(at);
    at = end + 1;
  }
  if (frames.size() <= 2 * kept) return std::string(errorInfo);

  const std::size_t innerEnd = frames[kept];
  const std::size_t outerStart = frames[frames.size() - kept];
  const std::size_t left = frames.size() - 2 * kept;
  std::string text(errorInfo.substr(0, innerEnd));
  text +=
      "    ... " + std::to_string(left) + (left == 1 ? " frame" : " frames") + " left out ...\n";
  text += errorInfo.substr(outerStart);
  return text;
}

}  // namespace marrowick::engine
