#pragma once

#include <string>
#include <vector>

namespace marrowick::engine {

class Domain;

// Writes one line per committed step: optionally the committed time, then the
// displacement of each listed node in each listed degree of freedom. Every
// value is followed by one space, so a reader that takes each value up to the
// next space reads the last one too.
//
// The file is created (emptied) when the recorder is made and is held under
// an exclusive open-file-description lock until close(): a reader that asks
// for a shared lock without waiting is refused while the file is still being
// written, and never sees half a result.
class NodeRecorder {
 public:
  // Throws ModelError when the file cannot be created or stays locked by
  // another program.
  NodeRecorder(const std::string& path, bool withTime, std::vector<int> nodeTags,
               std::vector<int> dofs, int precision);
  ~NodeRecorder();
  NodeRecorder(const NodeRecorder&) = delete;
  NodeRecorder& operator=(const NodeRecorder&) = delete;

  // Writes the line of the step just committed; throws ModelError when the
  // file cannot take it (a full disk must not pass for a finished run).
  void record(const Domain& domain);
  void close();
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
  bool withTime_;
  std::vector<int> nodeTags_;
  std::vector<int> dofs_;  // 0-based
  int precision_;
  std::string line_;
};

// A double as a C++ stream writes it at the given precision (printf "%g").
void appendNumber(std::string& out, double value, int precision);

}  // namespace marrowick::engine
