#pragma once

#include <fcntl.h>

#include <string>
#include <vector>

namespace marrowick::engine {

class Domain;
struct SectionQuery;

// Writes one line per committed step: optionally the committed time, then
// the values of the recorded response. Every value is followed by one space,
// so a reader that takes each value up to the next space reads the last one
// too.
//
// The file is created (emptied) when the recorder is made and is held under
// an exclusive open-file-description lock until close(): a reader that asks
// for a shared lock without waiting is refused while the file is still being
// written, and never sees half a result. Lines are written a few kilobytes at
// a time and whenever flush() is called (the solver calls it at the end of
// each analyze): a write per step costs more than the step.
class Recorder {
 public:
  virtual ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Adds the line of the step just committed; throws ModelError when the
  // file cannot take the lines (a full disk must not pass for a finished run).
  void record(const Domain& domain);
  // Writes the lines not yet written and closes the file, throwing ModelError
  // as record() does. The destructor of a recorder never closed (only when
  // another failure cut the run short) writes what it can.
  void close();
  // Writes the lines that wait; throws as record() does.
  void flush();
  const std::string& path() const { return path_; }

 protected:
  // Throws ModelError when the file cannot be created or stays locked by
  // another program. A relative path names a file in `directory` (a
  // descriptor): a program running many scripts at once gives each its own
  // folder without changing its working directory.
  Recorder(const std::string& path, bool withTime, int precision, int directory);
  // Adds the response of the step after the time, value by value.
  virtual void addResponse(const Domain& domain) = 0;
  void add(double value);

 private:
  // Writes the lines that wait and closes the file: 0, or the first error.
  int finish();
  [[noreturn]] void fail(int error) const;

  std::string path_;
  int fd_ = -1;
  bool withTime_;
  int precision_;
  std::string pending_;  // lines not yet written
};

enum class NodeResponse { Disp, Reaction };

// The displacement (or the reaction) of each listed node in each listed
// degree of freedom.
class NodeRecorder final : public Recorder {
 public:
  NodeRecorder(const std::string& path, bool withTime, std::vector<int> nodeTags,
               std::vector<int> dofs, int precision, NodeResponse response = NodeResponse::Disp,
               int directory = AT_FDCWD);

 private:
  void addResponse(const Domain& domain) override;

  std::vector<int> nodeTags_;
  std::vector<int> dofs_;  // 0-based
  NodeResponse response_;
};

// A response of the section of each listed zero-length element.
class ElementRecorder final : public Recorder {
 public:
  ElementRecorder(const std::string& path, bool withTime, std::vector<SectionQuery> queries,
                  int precision, int directory = AT_FDCWD);

 private:
  void addResponse(const Domain& domain) override;

  std::vector<SectionQuery> queries_;
};

// A double as a C++ stream writes it at the given precision (printf "%g").
void appendNumber(std::string& out, double value, int precision);

}  // namespace marrowick::engine
